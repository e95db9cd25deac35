// A UTF-8 text as a JSON string that is also safe inside an HTML <script>
// element: besides quotes, backslashes and control characters, "<", ">", "&"
// and U+2028/U+2029 are escaped, so no text can close the element, open a
// comment or end a script line.
#ifndef LEDGERWISE_UTF8_OUTPUTS_JSON_TEXT_H_
#define LEDGERWISE_UTF8_OUTPUTS_JSON_TEXT_H_

#include <string>
#include <string_view>

namespace ledgerwise {

// Appends the quoted, escaped string.
void AppendJsonString(std::string& out, std::string_view utf8);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_JSON_TEXT_H_
