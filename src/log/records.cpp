#include "log/records.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>

namespace ledgerwise {

namespace {

constexpr size_t kNameBlock = 64 * 1024;

}  // namespace

size_t VsLogBook::Slot(std::string_view name) const {
  size_t mask = index_.size() - 1;
  size_t slot = std::hash<std::string_view>()(name) & mask;
  while (index_[slot] != kEmpty && opponents[index_[slot]].name != name) slot = (slot + 1) & mask;
  return slot;
}

void VsLogBook::GrowIndex() {
  std::vector<uint32_t> old;
  old.swap(index_);
  index_.assign(old.empty() ? 1024 : old.size() * 2, kEmpty);
  for (uint32_t position : old) {
    if (position != kEmpty) index_[Slot(opponents[position].name)] = position;
  }
}

std::string_view VsLogBook::StoreName(std::string_view name) {
  if (name.size() > nameRoom_) {
    size_t size = name.size() > kNameBlock ? name.size() : kNameBlock;
    nameBlocks_.emplace_back(new char[size]);
    nameNext_ = nameBlocks_.back().get();
    nameRoom_ = size;
  }
  if (!name.empty()) std::memcpy(nameNext_, name.data(), name.size());
  std::string_view stored(nameNext_, name.size());
  nameNext_ += name.size();
  nameRoom_ -= name.size();
  return stored;
}

uint32_t VsLogBook::FindOpponent(std::string_view name) const {
  return index_.empty() ? kNoOpponent : index_[Slot(name)];
}

MatchRecord& VsLogBook::OpenMatch(std::string_view name) {
  // Rematches are common: the opponent of the last match needs no lookup.
  if (current_ == nullptr || current_->name != name) {
    uint32_t position = FindOpponent(name);
    if (position == kNoOpponent) {
      if ((opponents.size() + 1) * 2 > index_.size()) GrowIndex();
      position = static_cast<uint32_t>(opponents.size());
      index_[Slot(name)] = position;
      opponents.emplace_back();
      opponents.back().name = StoreName(name);
    }
    current_ = &opponents[position];
    openOrder.push_back(position);
  } else {
    openOrder.push_back(openOrder.back());
  }
  return current_->matches.emplace_back(matchPool_);
}

void VsLogBook::FormatErrorText(const char* format, ...) {
  if (format == nullptr) {
    errorText_.clear();
    return;
  }
  // Sized to the message: a path of any length must reach the console whole.
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  errorText_.assign(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\0');
  if (n > 0) std::vsnprintf(&errorText_[0], errorText_.size(), format, again);
  va_end(again);
  errorText_.resize(n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace ledgerwise
