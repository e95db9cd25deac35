#include "log/line_fields.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "log/log_phrases.h"
#include "log/phrase_match.h"

namespace ledgerwise {

namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

size_t LastParen(std::string_view line) {
  const char* paren = FindLastByte(line.data(), line.data() + line.size(), '(');
  return paren ? static_cast<size_t>(paren - line.data()) : std::string_view::npos;
}

bool StartsWithAt(std::string_view text, size_t at, std::string_view token) {
  return text.size() - at >= token.size() && std::memcmp(text.data() + at, token.data(), token.size()) == 0;
}

// The number right after `token` found at `at`; nothing when `at` is npos.
void NumberAt(std::string_view line, size_t at, std::string_view token, int32_t* out) {
  if (at != std::string_view::npos) *out = LeadingInteger(line.substr(at + token.size()));
}

// The next occurrence of `needle` after the one at `at`.
size_t NextBytes(std::string_view text, std::string_view needle, size_t at) {
  size_t next = FindBytes(text.substr(at + 1), needle);
  return next == std::string_view::npos ? next : at + 1 + next;
}

// 1 to 9 when the two bytes before `at` are a full-width digit "１" to "９";
// 0 for "０" and -1 for anything else.
int FullWidthDigitBefore(std::string_view text, size_t at) {
  if (at < 2 || text[at - 2] != '\x82') return -1;
  unsigned char trail = static_cast<unsigned char>(text[at - 1]);
  return trail >= 0x4f && trail <= 0x58 ? trail - 0x4f : -1;
}

}  // namespace

size_t FindBytes(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  if (needle.size() > text.size()) return std::string_view::npos;
  // The first byte, then the rest: the texts searched are single lines and
  // the tokens short, too short for a call to the C runtime's memchr (a byte
  // loop itself on some systems) to pay.
  const char* end = text.data() + text.size() - needle.size() + 1;
  const char first = needle[0];
  for (const char* p = text.data(); p < end; ++p) {
    if (*p == first && std::memcmp(p + 1, needle.data() + 1, needle.size() - 1) == 0) {
      return p - text.data();
    }
  }
  return std::string_view::npos;
}

int32_t LeadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsAsciiSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;  // saturate, keep consuming digits
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(value > kLimit - 1 ? kLimit - 1 : value);
}

bool HasTimePrefix(std::string_view line) {
  return line.size() >= 10 && line[0] == '[' && line[9] == ']';
}

void SecondOfDay(std::string_view line, int32_t& out) {
  if (!HasTimePrefix(line)) return;
  int32_t hours = LeadingInteger(line.substr(1, 2));
  int32_t minutes = LeadingInteger(line.substr(4, 2));
  int32_t seconds = LeadingInteger(line.substr(7, 2));
  out = hours * 3600 + minutes * 60 + seconds;
}

std::string_view OpponentNameOf(std::string_view line) {
  size_t paren = LastParen(line);
  if (paren == std::string_view::npos || paren < 10) return {};
  return line.substr(10, paren - 10);
}

namespace {

// The first grade word in table order that occurs after the last "(".
// Rather than search the text twenty times, look at each occurrence of the
// two word endings, "きゅう" and "だん", and at the bytes before it: the
// words differ only there.
int32_t GradeIn(std::string_view rest) {
  int32_t best = kUnknownGrade;
  auto before = [&](size_t at, std::string_view lead) {
    return at >= lead.size() && rest.compare(at - lead.size(), lead.size(), lead) == 0;
  };
  for (size_t at = FindBytes(rest, phrase::kKyu); at != std::string_view::npos;
       at = NextBytes(rest, phrase::kKyu, at)) {
    if (before(at, phrase::kFullWidthTen)) best = std::min(best, 0);  // １０きゅう
    int digit = FullWidthDigitBefore(rest, at);
    if (digit >= 1) best = std::min(best, 10 - digit);  // ９きゅう = 1 ... １きゅう = 9
  }
  for (size_t at = FindBytes(rest, phrase::kDan); at != std::string_view::npos;
       at = NextBytes(rest, phrase::kDan, at)) {
    if (before(at, phrase::kSho)) best = std::min(best, 10);            // しょだん
    int digit = FullWidthDigitBefore(rest, at);
    if (digit >= 2) best = std::min(best, 9 + digit);                   // ２だん = 11 ...
    if (before(at, phrase::kFullWidthTen)) best = std::min(best, 19);  // １０だん
  }
  return best;
}

// The shown record after the first "だん", or failing that the first
// "きゅう": wins up to "勝", losses after it. Nothing without "勝".
void ShownRecordIn(std::string_view rest, MatchRecord& match) {
  size_t word = FindBytes(rest, phrase::kDan);
  size_t wordSize = phrase::kDan.size();
  if (word == std::string_view::npos) {
    word = FindBytes(rest, phrase::kKyu);
    wordSize = phrase::kKyu.size();
  }
  if (word == std::string_view::npos) return;
  std::string_view wins = rest.substr(word + wordSize);
  size_t mark = FindBytes(wins, phrase::kWinMark);
  if (mark == std::string_view::npos) return;
  match.shownWins = LeadingInteger(wins);
  match.shownLosses = LeadingInteger(wins.substr(mark + phrase::kWinMark.size()));
}

}  // namespace

// One pass over the line: the last "(" and the first of each token are noted
// as the bytes go by, then each field is read from where its token stands.
void ReadMatchStartFields(MatchRecord& match, std::string_view line) {
  if (!HasTimePrefix(line)) return;
  SecondOfDay(line, match.startSecond);
  constexpr size_t kNone = std::string_view::npos;
  size_t paren = kNone, rating = kNone, disconnect = kNone, chain = kNone;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '(') {
      paren = i;
    } else if (c == phrase::kRating[0]) {
      if (rating == kNone && StartsWithAt(line, i, phrase::kRating)) rating = i;
    } else if (c == phrase::kDisconnectRate[0]) {
      if (disconnect == kNone && StartsWithAt(line, i, phrase::kDisconnectRate)) disconnect = i;
    } else if (c == phrase::kMaxChain[0]) {
      if (chain == kNone && StartsWithAt(line, i, phrase::kMaxChain)) chain = i;
    }
  }
  if (paren != kNone) {
    std::string_view rest = line.substr(paren + 1);
    match.grade = GradeIn(rest);
    ShownRecordIn(rest, match);
  }
  NumberAt(line, rating, phrase::kRating, &match.rating);
  NumberAt(line, disconnect, phrase::kDisconnectRate, &match.disconnectRate);
  NumberAt(line, chain, phrase::kMaxChain, &match.maxChain);
}

}  // namespace ledgerwise
