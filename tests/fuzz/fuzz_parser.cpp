// The parser and the field readers over arbitrary bytes. Beyond not
// crashing, the parser must give the same book whatever the chunking of its
// input, the same book as a plain restatement of the rules
// (reference_parser.h), and the readers must agree with the C library
// functions they imitate.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "log/calendar.h"
#include "log/line_fields.h"
#include "log/log_parser.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/reference_parser.h"

namespace ledgerwise {
namespace fuzz {

namespace {

// strtoll reads exactly the syntax LeadingInteger documents (C locale white
// space, one sign, decimal digits), so the reference's ReferenceInteger is
// an independent oracle; only the clamp to int32 is ours.
void CheckLeadingInteger(std::string_view text) {
  if (LeadingInteger(text) != ReferenceInteger(text)) {
    std::fprintf(stderr, "LeadingInteger(\"%s\") = %" PRId32 ", strtoll says %" PRId32 "\n",
                 std::string(text).c_str(), LeadingInteger(text), ReferenceInteger(text));
    LW_CHECK(!"LeadingInteger disagrees with strtoll");
  }
}

// The name reader promises "%04d%02d%02d" with scanf rules on the base name;
// sscanf is the reference.
void CheckDateFromFileName(std::string_view path) {
  int32_t year = -1, month = -1, day = -1;
  DateFromFileName(path, year, month, day);
  size_t slash = path.find_last_of("/\\");
  std::string base(slash == std::string_view::npos ? path : path.substr(slash + 1));
  int y = 0, m = 0, d = 0;
  std::sscanf(base.c_str(), "%4d%2d%2d", &y, &m, &d);
  LW_CHECK(year == y && month == m && day == d);
}

void CheckOpponentName(std::string_view line) {
  std::string_view name = OpponentNameOf(line);
  size_t paren = line.rfind('(');
  if (name.empty()) return;
  // A name is a view into the line from byte 10 up to its last "(".
  LW_CHECK(name.data() == line.data() + 10);
  LW_CHECK(paren != std::string_view::npos && paren == 10 + name.size());
}

MatchRecord Filled(int32_t value) {
  MatchRecord m;
  m.grade = m.shownWins = m.shownLosses = m.rating = m.maxChain = m.disconnectRate = value;
  m.startSecond = value;
  return m;
}

// Reading the same line over two differently filled records tells a field
// the reader wrote (same value in both) from one it left alone (the fills).
struct Written {
  bool grade, wins, losses, rating, chain, disconnect, second;
};

Written FieldsWritten(std::string_view line) {
  constexpr int32_t kFillA = 0x5a5a5a5a, kFillB = -0x2b2b2b2b;
  MatchRecord a = Filled(kFillA), b = Filled(kFillB);
  ReadMatchStartFields(a, line);
  ReadMatchStartFields(b, line);
  return {a.grade == b.grade,     a.shownWins == b.shownWins, a.shownLosses == b.shownLosses,
          a.rating == b.rating,   a.maxChain == b.maxChain,   a.disconnectRate == b.disconnectRate,
          a.startSecond == b.startSecond};
}

void CheckMatchStartFields(std::string_view line) {
  Written w = FieldsWritten(line);
  if (!HasTimePrefix(line)) {
    // Without the time prefix the line is not a match-start line to read.
    LW_CHECK(!w.grade && !w.wins && !w.losses && !w.rating && !w.chain && !w.disconnect && !w.second);
    int32_t second = 12345;
    SecondOfDay(line, second);
    LW_CHECK(second == 12345);
    return;
  }
  LW_CHECK(w.second);
  MatchRecord m;
  ReadMatchStartFields(m, line);
  // Two bytes per part, each at most "99" or "-9".
  LW_CHECK(m.startSecond >= -(9 * 3600 + 9 * 60 + 9) && m.startSecond <= 99 * 3600 + 99 * 60 + 99);
  // The grade and the shown record are read after the last "(" only; the
  // grade always is (as unknown at worst) when there is one.
  bool paren = line.find('(') != std::string_view::npos;
  LW_CHECK(w.grade == paren);
  if (!paren) LW_CHECK(!w.wins && !w.losses);
  if (paren) LW_CHECK(m.grade >= 0 && m.grade <= kUnknownGrade);
  // The two shown counts are read together or not at all.
  LW_CHECK(w.wins == w.losses);
}

// The one-pass reader of a match-start line against the token-by-token one.
void CheckStartFieldsAgainstReference(std::string_view line) {
  for (int32_t fill : {0, 0x5a5a5a5a}) {
    MatchRecord real = Filled(fill), reference = Filled(fill);
    ReadMatchStartFields(real, line);
    ReferenceStartFields(reference, line);
    LW_CHECK(SameMatch(real, reference));
  }
}

void CheckFieldReaders(const Input& input) {
  for (const LogFile& file : input.files) {
    CheckDateFromFileName(file.name);
    CheckDateFromFileName(file.content.substr(0, 32));
    std::string_view rest = file.content;
    for (int lines = 0; lines < 32 && !rest.empty(); ++lines) {
      size_t lf = rest.find('\n');
      std::string_view line = rest.substr(0, lf);
      rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
      CheckOpponentName(line);
      CheckMatchStartFields(line);
      CheckStartFieldsAgainstReference(line);
      CheckLeadingInteger(line);
      // The numbers follow tokens anywhere in a line, so every start counts.
      for (size_t at = 1; at < line.size() && at < 24; ++at) CheckLeadingInteger(line.substr(at));
    }
  }
}

// Matches started in a file carry that file's day, whatever came before.
void CheckDays(const Input& input) {
  VsLogBook book;
  for (const LogFile& file : input.files) {
    std::vector<size_t> before;
    for (const OpponentRecord& o : book.opponents) before.push_back(o.matches.size());
    FeedFile(book, file, 0);
    int32_t y, m, d;
    DateFromFileName(file.name, y, m, d);
    int32_t day = DayNumberFromDate(y, m, d);
    for (size_t i = 0; i < book.opponents.size(); ++i) {
      const OpponentRecord& o = book.opponents[i];
      for (size_t j = i < before.size() ? before[i] : 0; j < o.matches.size(); ++j) {
        LW_CHECK(o.matches[j].day == day);
      }
    }
  }
}

}  // namespace

void RunParserCase(const uint8_t* data, size_t size) {
  Input input = SplitInput(data, size);

  VsLogBook whole;
  for (const LogFile& file : input.files) FeedFile(whole, file, 0);
  CheckBookShape(whole);

  VsLogBook reference;
  for (const LogFile& file : input.files) ReferenceParser(reference, file.name).ReadFile(file.content);
  LW_CHECK(SameBook(whole, reference));

  VsLogBook chunked;
  for (size_t i = 0; i < input.files.size(); ++i) FeedFile(chunked, input.files[i], input.options * 16 + i + 1);
  LW_CHECK(SameBook(whole, chunked));

  // Byte by byte is the harshest chunking; kept to small inputs for speed.
  if (size <= 2048) {
    VsLogBook bytes;
    for (const LogFile& file : input.files) {
      LogFileParser parser(bytes, file.name);
      for (size_t i = 0; i < file.content.size(); ++i) parser.Feed(file.content.data() + i, 1);
      parser.Finish();
    }
    LW_CHECK(SameBook(whole, bytes));
  }

  CheckDays(input);
  CheckFieldReaders(input);
}

}  // namespace fuzz
}  // namespace ledgerwise

#ifndef LEDGERWISE_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerwise::fuzz::RunParserCase(data, size);
  return 0;
}
#endif
