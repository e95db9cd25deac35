// The one-pass line scan, SIMD and portable, against a plain line-by-line
// search for every phrase on random text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "log/log_phrases.h"
#include "log/phrase_match_scan.h"

namespace ledgerwise {
namespace {

// Per line begin, end, phrase bits, NUL; then the start of the unended line.
using Found = std::vector<std::tuple<size_t, size_t, unsigned, bool>>;

// Every complete line, searched for each phrase in turn.
Found SlowScan(std::string_view text) {
  // clang-format off
  const std::pair<std::string_view, unsigned> kPhrases[] = {
      {phrase::kMatchStart, kMatchStartBit}, {phrase::kWin, kWinBit}, {phrase::kLoss, kLossBit},
      {phrase::kReplaySaved, kSaveBit}, {phrase::kSaveFailed, kSaveBit},
      {phrase::kError, kErrorBit}, {phrase::kLogout, kLogoutBit}};
  // clang-format on
  Found found;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != text.npos; start = lf + 1) {
    std::string_view line(text.data() + start, lf + 1 - start);
    unsigned bits = 0;
    for (const auto& p : kPhrases) bits |= line.find(p.first) != line.npos ? p.second : 0;
    if (bits != 0) found.emplace_back(start, lf + 1, bits, line.find('\0') != line.npos);
  }
  found.emplace_back(start, 0, 0, false);
  return found;
}

std::string Altered(std::string_view phrase, size_t at) {
  std::string text(phrase);
  text[at] = 'x';
  return text;
}

std::string RandomText(std::mt19937& random) {
  // clang-format off
  const std::string kPieces[] = {
      // Near misses that differ from a phrase away from its anchors' keys.
      Altered(phrase::kReplaySaved, 17), Altered(phrase::kSaveFailed, 35),
      Altered(phrase::kSaveFailed, 47),
      std::string(phrase::kMatchStart), std::string(phrase::kWin), std::string(phrase::kLoss),
      std::string(phrase::kReplaySaved), std::string(phrase::kSaveFailed),
      std::string(phrase::kError), std::string(phrase::kLogout),
      std::string(phrase::kSaveFailed.substr(0, 22)), std::string(phrase::kWin.substr(2)),
      "\n", "\n", "\r\n", std::string(1, '\0'), "\x82", "\xbd", "\x82\xbd", "\x82\xb5\x82\xbd",
      "[00:01:02]", "x", std::string(61, 'y')};
  // clang-format on
  std::string text;
  for (size_t n = random() % 120; n > 0; --n) text += kPieces[random() % std::size(kPieces)];
  return text;
}

// The bytes around `text` hold phrase pieces too: none may be taken in.
template <typename Scan>
Found FastScan(std::string_view text, Scan scan) {
  Found found;
  const char* base = text.data();
  const char* rest = scan(base, base + text.size(), [&](const PhraseLine& line) {
    found.emplace_back(line.begin - base, line.end - base, line.phrases, line.hasNul);
  });
  found.emplace_back(rest - base, 0, 0, false);
  return found;
}

TEST(ScanTest, BothWaysFindWhatALineByLineSearchFinds) {
  std::mt19937 random(20050504);
  for (int round = 0; round < 20000; ++round) {
    std::string whole = RandomText(random);
    size_t from = random() % (whole.size() + 1);
    std::string_view text = std::string_view(whole).substr(from, random() % (whole.size() + 1));
    Found slow = SlowScan(text);
    auto portable = [](const char* b, const char* e, auto on) {
      return ScanPhraseLinesPortable(b, e, on);
    };
    ASSERT_EQ(FastScan(text, portable), slow) << "round " << round;
#if LEDGERWISE_HAVE_SSE2
    auto sse2 = [](const char* b, const char* e, auto on) { return ScanPhraseLinesSse2(b, e, on); };
    ASSERT_EQ(FastScan(text, sse2), slow) << "round " << round;
#endif
  }
}

}  // namespace
}  // namespace ledgerwise
