// Times what dashboard.html and matches.csv add to a run: parse, statistics
// and the six pages (the pages-only run), then each of the two files, with
// their sizes and the ratio of the whole run to the pages-only run.
//   ledgerwise-dashboard-bench DATA_DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/env.h"
#include "log/log_parser.h"
#include "log/records.h"
#include "sjis_pages/pages.h"
#include "stats/statistics.h"
#include "utf8_outputs/dashboard.h"
#include "utf8_outputs/match_csv.h"

namespace {

using Clock = std::chrono::steady_clock;
using ledgerwise::Env;
using ledgerwise::VsLogBook;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double Megabytes(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  double size = static_cast<double>(std::ftell(f)) / 1e6;
  std::fclose(f);
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  std::vector<ledgerwise::LogFileInfo> logs;
  std::unique_ptr<Env> env = ledgerwise::platform::NewEnv();
  if (env->ListLogFiles(folder, &logs) != ledgerwise::Listing::Complete || logs.empty()) {
    std::fprintf(stderr, "no log files in %s\n", folder.c_str());
    return 1;
  }
  auto start = Clock::now();
  VsLogBook book;
  for (const ledgerwise::LogFileInfo& log : logs) {
    const std::string& name = log.name;
    ledgerwise::LogOpen status;
    std::string path = folder + "/" + name;
    ledgerwise::ParseLogFile(book, path, env->OpenLog(path, &status).get());
  }
  ledgerwise::ComputeStatistics(book);
  double parse = Seconds(start);
  std::string out = folder + "/analyze";
  env->EnsureFolder(out);
  Env& fs = *env;
  // The writes run three times and the fastest counts: on a shared machine
  // the slower runs measure the neighbours.
  double pages = 1e9, dashboard = 1e9, csv = 1e9;
  for (int round = 0; round < 3; ++round) {
    auto t = Clock::now();
    ledgerwise::WriteIndexPage(book, fs, out + "/index.html");
    ledgerwise::WriteMenuPage(book, fs, out + "/menu.html", env->Now());
    ledgerwise::WritePersonalPage(book, fs, out + "/personal.html");
    ledgerwise::WriteObservationPage(book, fs, out + "/observation.html");
    ledgerwise::WriteRankingPage(book, fs, out + "/ranking.html");
    ledgerwise::WriteVsLogPage(book, fs, out + "/vslog.html");
    pages = std::min(pages, Seconds(t));
    t = Clock::now();
    ledgerwise::WriteDashboard(book, fs, out + "/dashboard.html");
    dashboard = std::min(dashboard, Seconds(t));
    t = Clock::now();
    ledgerwise::WriteMatchCsv(book, fs, out + "/matches.csv");
    csv = std::min(csv, Seconds(t));
  }
  double pagesOnly = parse + pages;
  std::printf("parse + statistics     %8.3f s\n", parse);
  std::printf("six pages              %8.3f s (fastest of 3)\n", pages);
  std::printf("dashboard.html         %8.3f s  %7.1f MB (goal 25 MB)\n", dashboard,
              Megabytes(out + "/dashboard.html"));
  std::printf("matches.csv            %8.3f s  %7.1f MB\n", csv, Megabytes(out + "/matches.csv"));
  std::printf("whole run / pages-only %8.2fx (goal 1.3x)\n",
              (pagesOnly + dashboard + csv) / pagesOnly);
  return 0;
}
