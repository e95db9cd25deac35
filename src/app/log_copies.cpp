#include "app/log_copies.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace ledgerwise {

namespace {

// A 64-bit digest of a file's bytes, taken eight at a time whatever sizes
// the reads come in; false when the file cannot be read whole. Copies are
// told by size and digest: two different logs of one size sharing a digest
// is too unlikely to guard against.
bool EndsWithLogSuffix(const std::string& name) {
  std::string suffix = name.substr(name.size() - 4);
  for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return suffix == ".log";
}

bool Digest(Env& env, const std::string& path, uint64_t* digest) {
  LogOpen status;
  std::unique_ptr<LogSource> source = env.OpenLog(path, &status);
  if (!source) return false;
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
  uint64_t h = 0;
  std::vector<char> buffer(1 << 16);
  size_t held = 0;  // bytes of a word begun by the last read
  for (;;) {
    int64_t got = source->Read(buffer.data() + held, buffer.size() - held);
    if (got < 0) return false;
    size_t n = held + static_cast<size_t>(got), i = 0;
    for (; i + 8 <= n; i += 8) {
      uint64_t word;
      std::memcpy(&word, buffer.data() + i, 8);
      h = (h ^ word) * kMultiplier;
      h ^= h >> 29;
    }
    held = n - i;
    std::memmove(buffer.data(), buffer.data() + i, held);
    if (got == 0) break;
  }
  for (size_t i = 0; i < held; ++i) h = (h ^ static_cast<unsigned char>(buffer[i])) * kMultiplier;
  *digest = h;
  return true;
}

// The game's own name for a day's log: eight digits and ".log".
bool IsPlainDayName(const std::string& name) {
  if (name.size() != 12 || !EndsWithLogSuffix(name)) return false;
  return std::all_of(name.begin(), name.begin() + 8, [](char c) { return c >= '0' && c <= '9'; });
}

// Which of two identical logs is read: the game's own name, then the
// shorter name, then the first in name order.
bool Preferred(const std::string& a, const std::string& b) {
  if (IsPlainDayName(a) != IsPlainDayName(b)) return IsPlainDayName(a);
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::vector<CopyGroup> FindCopies(Env& env, const std::string& folder,
                                  const std::vector<LogFileInfo>& logs) {
  std::map<int64_t, std::vector<const LogFileInfo*>> bySize;
  for (const LogFileInfo& log : logs) bySize[log.size].push_back(&log);
  std::map<std::pair<int64_t, uint64_t>, std::vector<std::string>> byBytes;
  for (const auto& [size, sameSize] : bySize) {
    if (sameSize.size() < 2) continue;
    for (const LogFileInfo* log : sameSize) {
      uint64_t digest = 0;
      if (Digest(env, folder + env.Separator() + log->name, &digest)) {
        byBytes[{size, digest}].push_back(log->name);
      }
    }
  }
  std::vector<CopyGroup> groups;
  for (auto& [key, names] : byBytes) {
    if (names.size() < 2) continue;
    std::sort(names.begin(), names.end(), Preferred);
    groups.push_back({names.front(), std::vector<std::string>(names.begin() + 1, names.end())});
    std::sort(groups.back().copies.begin(), groups.back().copies.end());
  }
  std::sort(groups.begin(), groups.end(),
            [](const CopyGroup& a, const CopyGroup& b) { return a.kept < b.kept; });
  return groups;
}

}  // namespace ledgerwise
