// The parser, the field readers and the record store over arbitrary bytes.
// Beyond not crashing, the book must not depend on how the input is chunked
// and must equal the book of a plain restatement of the rules
// (reference_parser.h), and the readers must agree with it line by line.
#include <string>

#include "log/calendar.h"
#include "log/line_fields.h"
#include "log/log_parser.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/reference_parser.h"

namespace ledgerwise {
namespace fuzz {

namespace {

void CheckLeadingInteger(std::string_view text) { LW_CHECK(LeadingInteger(text) == reference::Integer(text)); }

void CheckDay(std::string_view path) {
  int32_t year = -1, month = -1, day = -1;
  DateFromFileName(path, year, month, day);
  LW_CHECK(DayNumberFromDate(year, month, day) == reference::DayOf(path));
}

// Over two differently filled records, so that a field written when it
// should be left alone shows.
void CheckStartFields(std::string_view line) {
  for (int32_t fill : {0, 0x5a5a5a5a}) {
    MatchRecord real, expected;
    real.grade = real.shownWins = real.shownLosses = real.rating = real.maxChain = fill;
    real.disconnectRate = real.startSecond = fill;
    expected = real;
    ReadMatchStartFields(real, line);
    reference::StartFields(expected, line);
    LW_CHECK(SameMatch(real, expected));
  }
}

void CheckFieldReaders(const Input& input) {
  for (const LogFile& file : input.files) {
    CheckDay(file.name);
    CheckDay(file.content.substr(0, 32));
    std::string_view rest = file.content;
    for (int lines = 0; lines < 32 && !rest.empty(); ++lines) {
      size_t lf = rest.find('\n');
      std::string_view line = rest.substr(0, lf);
      rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
      CheckStartFields(line);
      // The numbers follow tokens anywhere in a line, so every start counts.
      for (size_t at = 0; at < line.size() && at < 24; ++at) CheckLeadingInteger(line.substr(at));
    }
  }
}

}  // namespace

void RunParserCase(const uint8_t* data, size_t size) {
  Input input = SplitInput(data, size);
  reference::Book expected;
  for (const LogFile& file : input.files) ReferenceParser(expected, file.name).ReadFile(file.content);
  // Byte by byte is kept to small inputs for speed.
  for (uint64_t seed : {uint64_t{0}, input.options * uint64_t{16} + 1, size <= 2048 ? kByteByByte : 2}) {
    VsLogBook book;
    for (const LogFile& file : input.files) FeedFile(book, file, seed);
    LW_CHECK(SameBook(book, expected));
  }
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
