#include "report/dashboard.h"

#include "report/dashboard_assets.h"
#include "report/dashboard_data.h"
#include "report/page_writer.h"

namespace ledgerwise {

namespace {

// Where the page template takes the style, the data and the script.
constexpr std::string_view kMarkers[] = {"/*@CSS@*/", "/*@DATA@*/", "/*@JS@*/"};

}  // namespace

int WriteDashboard(VsLogBook& book, FileSystem& fs, const std::string& path) {
  PageWriter w(book, fs, path);
  if (!w.Open()) return -1;
  std::string_view html = DashboardHtml();
  for (std::string_view marker : kMarkers) {
    size_t at = html.find(marker);
    w.Line(html.substr(0, at));
    if (marker == kMarkers[0]) w.Line(DashboardCss());
    if (marker == kMarkers[1]) w.Line(DashboardData(book));
    if (marker == kMarkers[2]) w.Line(DashboardJs());
    html.remove_prefix(at + marker.size());
  }
  w.Line(html);
  return w.Finish();
}

}  // namespace ledgerwise
