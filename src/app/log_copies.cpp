#include "app/log_copies.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>

#include "log/calendar.h"

namespace ledgerwise {

namespace {

// A 64-bit digest of a file's bytes, taken eight at a time whatever sizes
// the reads come in; false when the file cannot be read whole. Copies are
// told by size and digest: two different logs of one size sharing a digest
// is too unlikely to guard against.
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

// Which of two identical logs is read: the shorter name (of one date, the
// game's own YYYYMMDD.log is the shortest), then the first in name order.
bool Preferred(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::vector<CopyGroup> FindCopies(Env& env, const std::string& folder,
                                  const std::vector<LogFileInfo>& logs) {
  // A copy keeps its original's date in its name; logs of two days that
  // happen to hold the same lines are two days, and both count.
  using Key = std::tuple<int32_t, int32_t, int32_t, int64_t>;  // date, size
  std::map<Key, std::vector<const LogFileInfo*>> candidates;
  for (const LogFileInfo& log : logs) {
    int32_t year, month, day;
    DateFromFileName(log.name, year, month, day);
    candidates[{year, month, day, log.size}].push_back(&log);
  }
  std::map<std::pair<Key, uint64_t>, std::vector<std::string>> byBytes;
  for (const auto& [key, alike] : candidates) {
    if (alike.size() < 2) continue;
    for (const LogFileInfo* log : alike) {
      uint64_t digest = 0;
      if (Digest(env, folder + env.Separator() + log->name, &digest)) {
        byBytes[{key, digest}].push_back(log->name);
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
