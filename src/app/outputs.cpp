#include "app/outputs.h"

#include <exception>
#include <system_error>
#include <thread>

#include "sjis_pages/pages.h"
#include "utf8_outputs/dashboard.h"
#include "utf8_outputs/live_script.h"
#include "utf8_outputs/match_csv.h"

namespace ledgerwise {

namespace {

using Writer = Status (*)(const VsLogBook&, FileSystem&, const std::string&);

struct Output {
  const char* name;
  Writer write;  // nullptr: the menu and the dashboard, which take more
  bool page;     // one of the six pages; the rest are left out by --pages-only
  bool apart;    // written on a thread of its own
};

const Output kOutputs[] = {
    {"index.html", WriteIndexPage, true, false},
    {"menu.html", nullptr, true, false},
    {"personal.html", WritePersonalPage, true, false},
    {"observation.html", WriteObservationPage, true, false},
    {"ranking.html", WriteRankingPage, true, false},
    {"vslog.html", WriteVsLogPage, true, true},
    {"dashboard.html", nullptr, false, false},
    {"matches.csv", WriteMatchCsv, false, false},
};

Status WriteOne(const Output& output, const VsLogBook& book, FileSystem& fs,
                const OutputRequest& request) {
  std::string path = request.folder + request.separator + output.name;
  if (output.write) return output.write(book, fs, path);
  if (std::string_view(output.name) == "menu.html") {
    return WriteMenuPage(book, fs, path, request.now);
  }
  DashboardLive live{request.liveGeneration};
  return WriteDashboard(book, fs, path, live.generation.empty() ? nullptr : &live);
}

// Runs one output on a thread of its own; what it throws is kept for the
// caller. Joined however the caller's own writing ends.
class ApartWriter {
 public:
  ~ApartWriter() {
    if (thread_.joinable()) thread_.join();
  }
  // False when no thread could be started: the caller writes it itself.
  bool Start(const Output& output, const VsLogBook& book, FileSystem& fs,
             const OutputRequest& request, Status* result) {
    if (thread_.joinable()) return false;  // one apart at a time
    try {
      thread_ = std::thread([&output, &book, &fs, &request, result, this] {
        try {
          *result = WriteOne(output, book, fs, request);
        } catch (...) {
          failure_ = std::current_exception();
        }
      });
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }
  void Finish() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  std::thread thread_;
  std::exception_ptr failure_;
};

}  // namespace

// Written last, once everything it announces is in place.
constexpr char kLiveScript[] = "live.js";

bool IsOutputName(std::string_view name) {
  for (const Output& output : kOutputs) {
    if (name == output.name) return true;
  }
  return name == kLiveScript;
}

std::vector<Status> WriteOutputs(const VsLogBook& book, FileSystem& fs,
                                 const OutputRequest& request) {
  std::vector<const Output*> chosen;
  for (const Output& output : kOutputs) {
    if (output.page || !request.pagesOnly) chosen.push_back(&output);
  }
  std::vector<Status> results(chosen.size());
  std::vector<bool> started(chosen.size());
  ApartWriter apart;  // started first: it takes the longest
  for (size_t i = 0; i < chosen.size(); ++i) {
    started[i] = request.sideBySide && chosen[i]->apart &&
                 apart.Start(*chosen[i], book, fs, request, &results[i]);
  }
  for (size_t i = 0; i < chosen.size(); ++i) {
    if (!started[i]) results[i] = WriteOne(*chosen[i], book, fs, request);
  }
  apart.Finish();
  if (!request.liveGeneration.empty()) {
    results.push_back(WriteLiveScript(fs, request.folder + request.separator + kLiveScript,
                                      request.liveGeneration, request.now));
  }
  return results;
}

}  // namespace ledgerwise
