// Times each phase of a run over a data folder: reading and parsing,
// statistics, and each page, with MB/s of log input and peak memory.
//   ledgerwise-bench DATA_DIR [LOG_WORKERS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/env.h"
#include "app/log_pipeline.h"
#include "log/log_parser.h"
#include "log/records.h"
#include "sjis_pages/pages.h"
#include "stats/statistics.h"
#include "utf8_outputs/dashboard.h"
#include "utf8_outputs/match_csv.h"

namespace {

using Clock = std::chrono::steady_clock;
using ledgerwise::Env;
using ledgerwise::FileSystem;
using ledgerwise::Listing;
using ledgerwise::LogOpen;
using ledgerwise::VsLogBook;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor seconds of this process: on a loaded machine they show the
// work done where wall-clock time shows the waiting too.
double CpuSeconds() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long PeakKilobytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR [LOG_WORKERS]\n", argv[0]);
    return 2;
  }
  unsigned workers =
      argc == 3 ? static_cast<unsigned>(std::atoi(argv[2])) : ledgerwise::DefaultLogWorkers();
  namespace platform = ledgerwise::platform;
  std::string folder = argv[1];
  std::vector<ledgerwise::LogFileInfo> logs;
  std::unique_ptr<Env> env = platform::NewEnv();
  if (env->ListLogFiles(folder, &logs) != Listing::Complete || logs.empty()) {
    std::fprintf(stderr, "no log files in %s\n", folder.c_str());
    return 1;
  }
  double bytes = 0;
  for (const ledgerwise::LogFileInfo& log : logs) {
    const std::string& name = log.name;
    if (std::FILE* f = std::fopen((folder + "/" + name).c_str(), "rb")) {
      std::fseek(f, 0, SEEK_END);
      bytes += static_cast<double>(std::ftell(f));
      std::fclose(f);
    }
  }
  double megabytes = bytes / 1e6;
  VsLogBook book;
  std::printf("%-22s %9s %9s %10s\n", "phase", "seconds", "cpu", "MB/s");
  double cpu = CpuSeconds();
  auto report = [&](const char* phase, double seconds) {
    double now = CpuSeconds();
    std::printf("%-22s %9.3f %9.3f %10.0f\n", phase, seconds, now - cpu, megabytes / seconds);
    cpu = now;
  };
  auto start = Clock::now();
  double startCpu = cpu;
  auto t = Clock::now();
  {
    std::vector<std::string> paths;
    for (const ledgerwise::LogFileInfo& log : logs) paths.push_back(folder + "/" + log.name);
    ledgerwise::LogPipeline pipeline(*env, paths, workers);
    for (size_t i = 0; i < paths.size(); ++i) pipeline.Next().reader->TakeInto(book);
  }
  double parse = Seconds(t);
  report("read and parse", parse);
  double parsePeak = PeakKilobytes() / 1024.0;
  t = Clock::now();
  ledgerwise::ComputeStatistics(book);
  double stats = Seconds(t);
  report("statistics", stats);
  std::printf("%-22s %9.3f %9.3f %10.0f\n", "parse + statistics", parse + stats, cpu - startCpu,
              megabytes / (parse + stats));

  std::string out = folder + "/analyze";
  env->EnsureFolder(out);
  FileSystem* fs = env.get();
  struct Page {
    const char* name;
    ledgerwise::Status (*write)(const VsLogBook&, FileSystem&, const std::string&);
  };
  const Page pages[] = {{"index.html", ledgerwise::WriteIndexPage},
                        {"personal.html", ledgerwise::WritePersonalPage},
                        {"observation.html", ledgerwise::WriteObservationPage},
                        {"ranking.html", ledgerwise::WriteRankingPage},
                        {"vslog.html", ledgerwise::WriteVsLogPage},
                        {"dashboard.html", ledgerwise::WriteDashboard},
                        {"matches.csv", ledgerwise::WriteMatchCsv}};
  t = Clock::now();
  ledgerwise::WriteMenuPage(book, *fs, out + "/menu.html", env->Now());
  report("menu.html", Seconds(t));
  for (const Page& page : pages) {
    t = Clock::now();
    page.write(book, *fs, out + "/" + page.name);
    report(page.name, Seconds(t));
  }
  std::printf("%-22s %9.3f %9.3f %10.0f\n", "whole run", Seconds(start), CpuSeconds() - startCpu,
              megabytes / Seconds(start));
  size_t matches = 0;
  for (const auto& o : book.opponents) matches += o.matches.size();
  std::printf("files %zu, log MB %.1f, opponents %zu, matches %zu\n", logs.size(), megabytes,
              book.opponents.size(), matches);
  std::printf("peak memory after parsing %.1f MB\n", parsePeak);
  std::printf("peak memory %.1f MB (bound: 64 MB + 100 bytes a match = %.1f MB)\n",
              PeakKilobytes() / 1024.0, 64.0 + matches * 100.0 / (1024.0 * 1024.0));
  return 0;
}
