#include "log/line_fields.h"

#include <cstring>
#include <limits>

#include "log/log_phrases.h"

namespace ledgerwise {

namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text after the last "(" of the line; false when the line has none.
bool AfterLastParen(std::string_view line, std::string_view* rest) {
  size_t paren = line.rfind('(');
  if (paren == std::string_view::npos) return false;
  *rest = line.substr(paren + 1);
  return true;
}

// The number right after the first `token` of `line`; false when it is missing.
bool NumberAfter(std::string_view line, std::string_view token, int32_t* out) {
  size_t at = FindBytes(line, token);
  if (at == std::string_view::npos) return false;
  *out = LeadingInteger(line.substr(at + token.size()));
  return true;
}

}  // namespace

size_t FindBytes(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  if (needle.size() > text.size()) return std::string_view::npos;
  // memchr on the first byte, then compare: the tokens are short and their
  // lead bytes rare, so this beats a general substring search here.
  const char* p = text.data();
  const char* end = text.data() + text.size() - needle.size() + 1;
  const char first = needle[0];
  while (p < end) {
    p = static_cast<const char*>(std::memchr(p, first, end - p));
    if (p == nullptr) return std::string_view::npos;
    if (std::memcmp(p + 1, needle.data() + 1, needle.size() - 1) == 0) {
      return p - text.data();
    }
    ++p;
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
  size_t paren = line.rfind('(');
  if (paren == std::string_view::npos || paren < 10) return {};
  return line.substr(10, paren - 10);
}

void GradeOf(std::string_view line, MatchRecord& match) {
  std::string_view rest;
  if (!HasTimePrefix(line) || !AfterLastParen(line, &rest)) return;
  // The table order decides, not the position in the line.
  for (int32_t grade = 0; grade < kUnknownGrade; ++grade) {
    if (FindBytes(rest, phrase::kGradeWords[grade]) != std::string_view::npos) {
      match.grade = grade;
      return;
    }
  }
  match.grade = kUnknownGrade;
}

void ShownRecordOf(std::string_view line, MatchRecord& match) {
  std::string_view rest;
  if (!HasTimePrefix(line) || !AfterLastParen(line, &rest)) return;
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

void RatingOf(std::string_view line, MatchRecord& match) {
  if (HasTimePrefix(line)) NumberAfter(line, phrase::kRating, &match.rating);
}

void DisconnectRateOf(std::string_view line, MatchRecord& match) {
  if (HasTimePrefix(line)) NumberAfter(line, phrase::kDisconnectRate, &match.disconnectRate);
}

void MaxChainOf(std::string_view line, MatchRecord& match) {
  if (HasTimePrefix(line)) NumberAfter(line, phrase::kMaxChain, &match.maxChain);
}

void ReadMatchStartFields(MatchRecord& match, std::string_view line) {
  if (!HasTimePrefix(line)) return;
  SecondOfDay(line, match.startSecond);
  GradeOf(line, match);
  ShownRecordOf(line, match);
  RatingOf(line, match);
  DisconnectRateOf(line, match);
  MaxChainOf(line, match);
}

}  // namespace ledgerwise
