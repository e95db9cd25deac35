#include "utf8_outputs/dashboard.h"

#include "report/output_file.h"
#include "utf8_outputs/dashboard_assets.h"
#include "utf8_outputs/dashboard_data.h"

namespace ledgerwise {

namespace {

// The lines of the page template that take the style, the data and the
// script.
constexpr std::string_view kMarkers[] = {"/*@CSS@*/", "/*@DATA@*/", "/*@JS@*/"};

// Text of LF- or CR LF-ended lines (however the sources were checked out),
// written with the CR LF line ends of the pages.
void Lines(OutputFile& w, std::string_view text) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    w.Line(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
}

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
    Lines(w, html.substr(0, at));
    if (marker == kMarkers[0]) Lines(w, DashboardCss());
    if (marker == kMarkers[1]) WriteDashboardData(book, live, w);
    if (marker == kMarkers[2]) Lines(w, DashboardJs());
    html.remove_prefix(at + marker.size());
    if (!html.empty() && html[0] == '\r') html.remove_prefix(1);
    if (!html.empty() && html[0] == '\n') html.remove_prefix(1);
  }
  Lines(w, html);
  return w.Finish();
}

}  // namespace ledgerwise
