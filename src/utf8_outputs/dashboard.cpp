#include "utf8_outputs/dashboard.h"

#include "report/output_file.h"
#include "utf8_outputs/dashboard_assets.h"
#include "utf8_outputs/dashboard_data.h"

namespace ledgerwise {

namespace {

// The lines of the page template that take the style, the data and the
// script.
constexpr std::string_view kMarkers[] = {"/*@CSS@*/", "/*@DATA@*/", "/*@JS@*/"};

}  // namespace

Status WriteDashboard(const VsLogBook& book, FileSystem& fs, const std::string& path) {
  return WriteDashboard(book, fs, path, nullptr);
}

Status WriteDashboard(const VsLogBook& book, FileSystem& fs, const std::string& path,
                      const DashboardLive* live) {
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  std::string_view html = DashboardHtml();
  for (std::string_view marker : kMarkers) {
    size_t at = html.find(marker);
    w.Text(html.substr(0, at));
    if (marker == kMarkers[0]) w.Text(DashboardCss());
    if (marker == kMarkers[1]) WriteDashboardData(book, live, w);
    if (marker == kMarkers[2]) w.Text(DashboardJs());
    html.remove_prefix(at + marker.size());
    if (!html.empty() && html[0] == '\r') html.remove_prefix(1);
    if (!html.empty() && html[0] == '\n') html.remove_prefix(1);
  }
  w.Text(html);
  return w.Finish();
}

}  // namespace ledgerwise
