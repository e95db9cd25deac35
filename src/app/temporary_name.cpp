#include "app/temporary_name.h"

namespace ledgerwise {

namespace {

constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kDigits = 16;

}  // namespace

std::string TemporaryPath(const std::string& path, uint64_t random) {
  static const char kHex[] = "0123456789abcdef";
  std::string temporary = path + '.';
  for (int shift = 60; shift >= 0; shift -= 4) temporary += kHex[(random >> shift) & 0xF];
  return temporary += kSuffix;
}

std::string_view TemporaryBase(std::string_view name) {
  constexpr size_t kTail = 1 + kDigits + kSuffix.size();
  if (name.size() <= kTail || name.substr(name.size() - kSuffix.size()) != kSuffix) return {};
  std::string_view digits = name.substr(name.size() - kTail + 1, kDigits);
  if (name[name.size() - kTail] != '.') return {};
  for (char c : digits) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return {};
  }
  return name.substr(0, name.size() - kTail);
}

}  // namespace ledgerwise
