// The lines the four content pages share.
#ifndef LEDGERWISE_SJIS_PAGES_PAGE_BLOCKS_H_
#define LEDGERWISE_SJIS_PAGES_PAGE_BLOCKS_H_

#include <string>
#include <string_view>

#include "report/output_file.h"

namespace ledgerwise {

constexpr std::string_view kPageEnd = "</BODY></HTML>";

// Head lines, style block, the two body tags and the title banner: 57 lines,
// 60 with the ranking page's TR.c rule.
void WriteCommonHead(OutputFile& w, std::string_view title, bool withRankingRule);

// The black banner row that opens a section of the personal and
// observation pages.
void WriteSectionTitle(OutputFile& w, std::string_view title);

// Two one-cell rows in the background colour: the gap after a section or an
// opponent's table.
void WriteSpacerRows(OutputFile& w);

// The spacer rows and a blank line: the end of a section.
void WriteSectionEnd(OutputFile& w);

// Escapes & < > " in an opponent name where it enters markup. The four bytes
// never occur inside a Shift_JIS double-byte character, so byte-wise
// escaping is safe.
std::string EscapeHtml(std::string_view text);

}  // namespace ledgerwise

#endif  // LEDGERWISE_SJIS_PAGES_PAGE_BLOCKS_H_
