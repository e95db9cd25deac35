// Readers of the fields of a log line: the time prefix, the opponent's name
// and the figures of a match-start line. Each figure follows a fixed
// Shift_JIS token; all searches are byte-wise and nothing checks character
// boundaries.
#ifndef LEDGERWISE_LOG_LINE_FIELDS_H_
#define LEDGERWISE_LOG_LINE_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/records.h"

namespace ledgerwise {

// Position of the first occurrence of `needle` in `text`, or npos.
size_t FindBytes(std::string_view text, std::string_view needle);

// A leading decimal integer: ASCII white space skipped, an optional sign,
// digits up to the first other byte. No digit gives 0; values beyond the
// int32 range saturate.
int32_t LeadingInteger(std::string_view text);

// "[" at byte 0 and "]" at byte 9; the separators are not checked.
bool HasTimePrefix(std::string_view line);

// hours * 3600 + minutes * 60 + seconds of the time prefix; `out` is left
// alone when the line has none.
void SecondOfDay(std::string_view line, int32_t& out);

// startSecond and the opponent's figures of a match-start line. Writes
// nothing unless the line has the time prefix, and leaves a field alone when
// its token is missing. After the last "(": the grade is the first grade word
// in table order (kUnknownGrade when none), the shown record follows the
// grade word. Rating, disconnect rate and max chain follow the first of their
// tokens anywhere in the line. Returns the position of the last "(", or
// npos when there is none or the line has no time prefix; the opponent's
// name is the bytes from 10 up to it.
size_t ReadMatchStartFields(MatchRecord& match, std::string_view line);

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LINE_FIELDS_H_
