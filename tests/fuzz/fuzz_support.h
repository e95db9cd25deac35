// Pieces shared by the fuzz targets and by the test that replays their
// findings: how an input turns into log files and feeding patterns, and how
// a broken invariant stops the run.
//
// An input is one option byte, one fault byte, then up to kMaxFiles log
// files separated by kFileSeparator. Each file's first byte picks its name
// from kFileNames; the rest is its content. The separator is two bytes that
// Shift_JIS text never holds, so a real log pasted after the three leading
// bytes is a valid input.
#ifndef LEDGERWISE_TESTS_FUZZ_FUZZ_SUPPORT_H_
#define LEDGERWISE_TESTS_FUZZ_FUZZ_SUPPORT_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_parser.h"

namespace ledgerwise {
namespace fuzz {

// A broken invariant must stop the fuzzer and leave the input behind, and
// must fail a replaying test even in a build without sanitizers.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::fflush(stderr);
  __builtin_trap();
}

#define LW_CHECK(condition) \
  ((condition) ? (void)0 : ::ledgerwise::fuzz::Fail(#condition, __FILE__, __LINE__))

constexpr std::string_view kFileSeparator = "\xff\xfe";
constexpr size_t kMaxFiles = 8;

// Names that reach every branch of the date reader: plain dates, dates that
// carry, no date, signs and blanks, paths with either separator.
constexpr std::string_view kFileNames[] = {
    "20050504.log",  "20050505.log", "20051231.log",  "20060101.log",     "abc.log",
    "20051339.log",  "00000000.log", "-001-1-1.log",  "dir/20050504.log", "C:\\x\\20050506.LOG",
    " 2005 5 4.log", "99999999.log", "+2005+5+4.log", "2005.log",         "200505.log",
    "20050230.log",
};
constexpr size_t kFileNameCount = sizeof kFileNames / sizeof kFileNames[0];

struct LogFile {
  std::string_view name;
  std::string_view content;
};

struct Input {
  uint8_t options = 0;
  uint8_t faults = 0;
  std::vector<LogFile> files;
};

inline Input SplitInput(const uint8_t* data, size_t size) {
  Input input;
  input.options = size > 0 ? data[0] : 0;
  input.faults = size > 1 ? data[1] : 0;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  rest.remove_prefix(std::min<size_t>(size, 2));
  for (size_t cut = 0; cut != std::string_view::npos && (!rest.empty() || input.files.empty());) {
    cut = input.files.size() + 1 < kMaxFiles ? rest.find(kFileSeparator) : std::string_view::npos;
    std::string_view piece = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view()
                                         : rest.substr(cut + kFileSeparator.size());
    size_t name = piece.empty() ? 0 : static_cast<uint8_t>(piece[0]) % kFileNameCount;
    input.files.push_back({kFileNames[name], piece.substr(std::min<size_t>(piece.size(), 1))});
  }
  return input;
}

// Chunk sizes that come from the input, not from the clock, so a finding
// replays exactly. Sizes cluster around the places the parser cares about:
// empty feeds, single bytes (a CR and its LF apart) and the line-piece limit.
class ChunkSizes {
 public:
  explicit ChunkSizes(uint64_t seed) : state_(seed * 0x9e3779b97f4a7c15ULL + 1) {}
  size_t Next() {
    // Empty, one byte, a few, around a 1023-byte line piece, up to 4096, and
    // (three times as often) up to 64.
    constexpr size_t kBase[] = {0, 1, 2, 1021, 1, 1, 1, 1},
                     kSpan[] = {1, 1, 6, 5, 4096, 64, 64, 64};
    uint64_t r = Random();
    return kBase[r % 8] + (r >> 8) % kSpan[r % 8];
  }

 private:
  uint64_t Random() {  // splitmix64
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  uint64_t state_;
};

// Feeds one file in pieces: seed 0 means one piece, as a small file is
// read, kByteByByte the harshest split. Empty pieces point into the file,
// never at null, as a reader's buffer would.
constexpr uint64_t kByteByByte = ~uint64_t{0};

inline void FeedFile(VsLogBook& book, const LogFile& file, uint64_t seed) {
  LogDigest digest;
  LogFileParser parser(file.name, &digest);
  // The book takes the pieces after every chunk, as a large file's reader
  // hands them over in batches.
  std::string_view lastName;
  ChunkSizes sizes(seed);
  for (size_t at = 0, n = 0; at < file.content.size(); at += n) {
    n = seed == 0 ? file.content.size() : seed == kByteByByte ? 1 : sizes.Next();
    n = std::min(n, file.content.size() - at);
    parser.Feed(file.content.data() + at, n);
    ApplyLogDigest(book, digest, &lastName);
    digest.NextBatch();
  }
  parser.Finish();
  ApplyLogDigest(book, digest, &lastName);
}

// The fuzz entry points, callable from a test that replays kept inputs.
void RunParserCase(const uint8_t* data, size_t size);
void RunPipelineCase(const uint8_t* data, size_t size);

}  // namespace fuzz
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_FUZZ_FUZZ_SUPPORT_H_
