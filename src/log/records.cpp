#include "log/records.h"

#include <cstdarg>
#include <cstdio>

namespace ledgerwise {

OpponentRecord* VsLogBook::FindOpponent(std::string_view name) {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &opponents[it->second];
}

const OpponentRecord* VsLogBook::FindOpponent(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &opponents[it->second];
}

MatchRecord& VsLogBook::OpenMatch(std::string_view name) {
  auto it = index_.find(name);
  if (it == index_.end()) {
    opponents.emplace_back();
    opponents.back().name.assign(name);
    // The key views the record's own name, which never moves.
    it = index_.emplace(opponents.back().name, opponents.size() - 1).first;
  }
  currentOpponent_ = it->second;
  OpponentRecord& opponent = opponents[currentOpponent_];
  opponent.matches.emplace_back();
  return opponent.matches.back();
}

OpponentRecord* VsLogBook::currentOpponent() {
  return currentOpponent_ == kNone ? nullptr : &opponents[currentOpponent_];
}

MatchRecord* VsLogBook::currentMatch() {
  OpponentRecord* opponent = currentOpponent();
  return opponent ? &opponent->matches.back() : nullptr;
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
