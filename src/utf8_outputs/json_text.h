// A UTF-8 text as a JSON string that is also safe inside an HTML <script>
// element: besides quotes, backslashes and control characters, "<", ">", "&"
// and U+2028/U+2029 are escaped, so no text can close the element, open a
// comment or end a script line; and so is every code point that HTML does
// not allow in a document (U+007F-U+009F and the noncharacters), so the page
// stays valid whatever a name holds, and private use and the compatibility
// forms that normalization would replace, so no tool that normalizes text
// changes a name.
#ifndef LEDGERWISE_UTF8_OUTPUTS_JSON_TEXT_H_
#define LEDGERWISE_UTF8_OUTPUTS_JSON_TEXT_H_

#include <string>
#include <string_view>

namespace ledgerwise {

// Appends the quoted, escaped string. The text must be well-formed UTF-8 (the
// Shift_JIS decoder's output is).
void AppendJsonString(std::string& out, std::string_view utf8);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_JSON_TEXT_H_
