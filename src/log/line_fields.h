// Readers of single fields of a log line. Each looks for a fixed Shift_JIS
// token and converts the decimal number after it. All searches are byte-wise;
// nothing checks character boundaries.
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

// The name of a match-start line: bytes 10 up to the last "(". Empty when
// the last "(" stands before byte 10.
std::string_view OpponentNameOf(std::string_view line);

// The readers below write nothing unless the line has the time prefix, and
// leave their fields alone when their token is missing.
void GradeOf(std::string_view line, MatchRecord& match);
void ShownRecordOf(std::string_view line, MatchRecord& match);
void RatingOf(std::string_view line, MatchRecord& match);
void DisconnectRateOf(std::string_view line, MatchRecord& match);
void MaxChainOf(std::string_view line, MatchRecord& match);

// startSecond and the opponent's figures, in that order.
void ReadMatchStartFields(MatchRecord& match, std::string_view line);

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LINE_FIELDS_H_
