// What the system alone costs a run: opens, reads to the end and closes
// every log of a data folder through the program's own platform layer, one
// file after another, and parses nothing. Built for Linux and for Windows,
// so the same corpus shows how much of a run under Wine is Wine's own.
//   ledgerwise-open-cost DATA_DIR
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/env.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  std::unique_ptr<ledgerwise::Env> env = ledgerwise::platform::NewEnv();
  std::string folder = argv[1];
  std::vector<ledgerwise::LogFileInfo> logs;
  if (env->ListLogFiles(folder, &logs) != ledgerwise::Listing::Complete || logs.empty()) {
    std::fprintf(stderr, "no log files in %s\n", folder.c_str());
    return 1;
  }
  std::vector<char> buffer(1 << 20);
  double bytes = 0;
  auto start = std::chrono::steady_clock::now();
  for (const ledgerwise::LogFileInfo& log : logs) {
    const std::string& name = log.name;
    ledgerwise::LogOpen status;
    std::unique_ptr<ledgerwise::LogSource> source =
        env->OpenLog(folder + env->Separator() + name, &status);
    if (!source) continue;
    int64_t got;
    while ((got = source->Read(buffer.data(), buffer.size())) > 0)
      bytes += static_cast<double>(got);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("open, read, close: %zu files, %.1f MB, %.3f s, %.0f us a file\n", logs.size(),
              bytes / 1e6, seconds, seconds / static_cast<double>(logs.size()) * 1e6);
  return 0;
}
