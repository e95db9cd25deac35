// The dashboard's page, style and script: the files of src/utf8_outputs/web/,
// embedded by the build (cmake/embed_files.cmake, the list in CMakeLists.txt)
// so the program needs no file beside it. The script is its sections joined.
#ifndef LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_ASSETS_H_
#define LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_ASSETS_H_

#include <string_view>

namespace ledgerwise {

std::string_view DashboardHtml();
std::string_view DashboardCss();
std::string_view DashboardJs();

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_ASSETS_H_
