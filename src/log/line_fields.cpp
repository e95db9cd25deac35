#include "log/line_fields.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "log/log_phrases.h"
#include "log/phrase_match_scan.h"  // for its SSE2 test and LowestBit

namespace ledgerwise {

namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithAt(std::string_view text, size_t at, std::string_view token) {
  return text.size() - at >= token.size() &&
         std::memcmp(text.data() + at, token.data(), token.size()) == 0;
}

// The number right after `token` found at `at`; nothing when `at` is npos.
void NumberAt(std::string_view line, size_t at, std::string_view token, int32_t* out) {
  if (at != std::string_view::npos) *out = LeadingInteger(line.substr(at + token.size()));
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
  // Most figures are a few plain digits: up to nine of them cannot overflow.
  int32_t plain = 0;
  size_t digits = 0;
  for (; digits < text.size() && digits < 9 && IsDigit(text[digits]); ++digits) {
    plain = plain * 10 + (text[digits] - '0');
  }
  if (digits > 0 && (digits == text.size() || !IsDigit(text[digits]))) return plain;
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

namespace {

// The two bytes at `at` as a number. Every match line and end line has a
// time, nearly always plain digits, read here without the general reader.
int32_t TwoDigits(std::string_view line, size_t at) {
  char tens = line[at], ones = line[at + 1];
  if (tens >= '0' && tens <= '9' && ones >= '0' && ones <= '9')
    return (tens - '0') * 10 + (ones - '0');
  return LeadingInteger(line.substr(at, 2));
}

}  // namespace

bool HasTimePrefix(std::string_view line) {
  return line.size() >= 10 && line[0] == '[' && line[9] == ']';
}

void SecondOfDay(std::string_view line, int32_t& out) {
  if (!HasTimePrefix(line)) return;
  int32_t hours = TwoDigits(line, 1);
  int32_t minutes = TwoDigits(line, 4);
  int32_t seconds = TwoDigits(line, 7);
  out = hours * 3600 + minutes * 60 + seconds;
}

namespace {

// What a byte can be the second byte of, "(" aside. Keyed on the second
// byte, as the first bytes (0x82 above all) stand in most of the line's
// text and these second bytes in little of it; every other byte is passed
// over at the cost of one load.
enum ByteKind : unsigned char {
  kOther,
  kParen,
  kDanByte,
  kKyuByte,
  kRatingByte,
  kChainByte,
  kDisconnectByte
};

struct ByteKinds {
  unsigned char kind[256];
};

constexpr ByteKinds MakeByteKinds() {
  ByteKinds k{};
  k.kind[static_cast<unsigned char>('(')] = kParen;
  k.kind[static_cast<unsigned char>(phrase::kDan[1])] = kDanByte;
  k.kind[static_cast<unsigned char>(phrase::kKyu[1])] = kKyuByte;
  k.kind[static_cast<unsigned char>(phrase::kRating[1])] = kRatingByte;
  k.kind[static_cast<unsigned char>(phrase::kMaxChain[1])] = kChainByte;
  k.kind[static_cast<unsigned char>(phrase::kDisconnectRate[1])] = kDisconnectByte;
  return k;
}

constexpr ByteKinds kByteKinds = MakeByteKinds();

// The first byte at or after `i` of another kind than kOther, or `n`.
inline size_t SkipPlain(const unsigned char* bytes, size_t i, size_t n) {
#if LEDGERWISE_HAVE_SSE2
  // Sixteen at a time, then the table for the last few.
  auto same = [](__m128i v, unsigned char c) {
    return _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(c)));
  };
  for (; n - i >= 16; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    __m128i hit = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(same(v, '('), same(v, phrase::kDan[1])),
                     same(v, phrase::kKyu[1])),
        _mm_or_si128(_mm_or_si128(same(v, phrase::kRating[1]), same(v, phrase::kMaxChain[1])),
                     same(v, phrase::kDisconnectRate[1])));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return i + phrase_scan_internal::LowestBit(mask);
  }
#endif
  const unsigned char* kind = kByteKinds.kind;
  while (n - i >= 4 &&
         (kind[bytes[i]] | kind[bytes[i + 1]] | kind[bytes[i + 2]] | kind[bytes[i + 3]]) == 0) {
    i += 4;
  }
  while (i < n && kind[bytes[i]] == kOther) ++i;
  return i;
}

// What the pass has seen of a grade word after the last "(" so far.
struct GradeState {
  size_t rest = 0;  // where the text after the last "(" starts
  int32_t best = kUnknownGrade;
  size_t firstDan = std::string_view::npos;
  size_t firstKyu = std::string_view::npos;
};

bool PrecededBy(std::string_view rest, size_t at, std::string_view lead) {
  return at >= lead.size() &&
         std::memcmp(rest.data() + at - lead.size(), lead.data(), lead.size()) == 0;
}

// A "きゅう" at `at` of the text after the last "(": the grade of the word
// it ends, 0 for "１０きゅう", 10 - n for "ｎきゅう".
void TakeKyu(std::string_view rest, size_t at, GradeState& g) {
  if (g.firstKyu == std::string_view::npos) g.firstKyu = at;
  if (PrecededBy(rest, at, phrase::kFullWidthTen)) g.best = std::min(g.best, 0);
  int digit = FullWidthDigitBefore(rest, at);
  if (digit >= 1) g.best = std::min(g.best, 10 - digit);
}

// A "だん": しょだん 10, ｎだん 9 + n from ２だん, １０だん 19.
void TakeDan(std::string_view rest, size_t at, GradeState& g) {
  if (g.firstDan == std::string_view::npos) g.firstDan = at;
  if (PrecededBy(rest, at, phrase::kSho)) g.best = std::min(g.best, 10);
  int digit = FullWidthDigitBefore(rest, at);
  if (digit >= 2) g.best = std::min(g.best, 9 + digit);
  if (PrecededBy(rest, at, phrase::kFullWidthTen)) g.best = std::min(g.best, 19);
}

// The shown record after the first "だん", or failing that the first
// "きゅう": wins up to "勝", losses after it. Nothing without "勝".
void ShownRecordIn(std::string_view rest, const GradeState& g, MatchRecord& match) {
  size_t word = g.firstDan != std::string_view::npos   ? g.firstDan + phrase::kDan.size()
                : g.firstKyu != std::string_view::npos ? g.firstKyu + phrase::kKyu.size()
                                                       : std::string_view::npos;
  if (word == std::string_view::npos) return;
  std::string_view wins = rest.substr(word);
  size_t mark = FindBytes(wins, phrase::kWinMark);
  if (mark == std::string_view::npos) return;
  match.shownWins = LeadingInteger(wins);
  match.shownLosses = LeadingInteger(wins.substr(mark + phrase::kWinMark.size()));
}

// The first occurrence of `token` noted in `*at`, when it starts at `i`.
void NoteFirst(std::string_view line, size_t i, std::string_view token, size_t* at) {
  if (*at == std::string_view::npos && StartsWithAt(line, i, token)) *at = i;
}

}  // namespace

// One pass over the line, each byte classed by a table: the first of each
// token anywhere is noted (when its second byte goes by), and the grade words after the latest "("
// are weighed as they go by (a later "(" starts them over). Only the shown record is read
// afterwards, from where its word stands.
size_t ReadMatchStartFields(MatchRecord& match, std::string_view line) {
  constexpr size_t kNone = std::string_view::npos;
  size_t paren = kNone, rating = kNone, disconnect = kNone, chain = kNone;
  if (!HasTimePrefix(line)) return kNone;
  SecondOfDay(line, match.startSecond);
  GradeState grade;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const size_t n = line.size();
  for (size_t i = SkipPlain(bytes, 0, n); i < n; i = SkipPlain(bytes, i + 1, n)) {
    const size_t at = i - 1;  // where a token whose second byte this is starts
    switch (kByteKinds.kind[bytes[i]]) {
      case kOther:
        break;
      case kParen:
        paren = i;
        grade = GradeState{i + 1};
        break;
      case kDanByte:
        if (paren != kNone && at > paren && StartsWithAt(line, at, phrase::kDan)) {
          TakeDan(line.substr(grade.rest), at - grade.rest, grade);
        }
        break;
      case kKyuByte:
        if (paren != kNone && at > paren && StartsWithAt(line, at, phrase::kKyu)) {
          TakeKyu(line.substr(grade.rest), at - grade.rest, grade);
        }
        break;
      case kRatingByte:
        if (i > 0) NoteFirst(line, at, phrase::kRating, &rating);
        break;
      case kChainByte:
        if (i > 0) NoteFirst(line, at, phrase::kMaxChain, &chain);
        break;
      case kDisconnectByte:
        if (i > 0) NoteFirst(line, at, phrase::kDisconnectRate, &disconnect);
        break;
    }
  }
  if (paren != kNone) {
    match.grade = grade.best;
    ShownRecordIn(line.substr(grade.rest), grade, match);
  }
  NumberAt(line, rating, phrase::kRating, &match.rating);
  NumberAt(line, disconnect, phrase::kDisconnectRate, &match.disconnectRate);
  NumberAt(line, chain, phrase::kMaxChain, &match.maxChain);
  return paren;
}

}  // namespace ledgerwise
