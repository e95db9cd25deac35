// The lines the four content pages share.
#ifndef LEDGERWISE_REPORT_PAGE_BLOCKS_H_
#define LEDGERWISE_REPORT_PAGE_BLOCKS_H_

#include <string>
#include <string_view>

#include "report/page_writer.h"

namespace ledgerwise {

// A one-cell row in the background colour between sections ("&nbsp" without
// its semicolon, as the pages have always written it).
constexpr std::string_view kSpacerRow = "<tr><td bgColor=#002567>&nbsp</td></tr>";
constexpr std::string_view kPageEnd = "</BODY></HTML>";

// Head lines, style block, the two body tags and the title banner: 57 lines,
// 60 with the ranking page's TR.c rule.
void WriteCommonHead(PageWriter& w, std::string_view title, bool withRankingRule);

// Escapes & < > " in an opponent name where it enters markup. The four bytes
// never occur inside a Shift_JIS double-byte character, so byte-wise
// escaping is safe.
std::string EscapeHtml(std::string_view text);

}  // namespace ledgerwise

#endif  // LEDGERWISE_REPORT_PAGE_BLOCKS_H_
