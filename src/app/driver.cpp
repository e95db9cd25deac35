#include "app/driver.h"

#include <cstddef>
#include <map>
#include <tuple>
#include <vector>

#include "app/log_pipeline.h"
#include "app/messages.h"
#include "log/calendar.h"
#include "log/log_parser.h"
#include "log/records.h"
#include "sjis_pages/pages.h"
#include "stats/statistics.h"
#include "utf8_outputs/dashboard.h"
#include "utf8_outputs/match_csv.h"

namespace ledgerwise {

namespace {

class Console {
 public:
  explicit Console(Env& env) : env_(env), utf8_(env.ConsoleWantsUtf8()) {}
  bool utf8() const { return utf8_; }
  // Arguments are names and paths: shown with their control bytes masked.
  void Print(const Message& m, const std::string& argument = "") {
    env_.WriteConsole(Render(m, utf8_, Printable(argument)));
  }
  // The error formats end their line themselves; the path inside is masked.
  void PrintError(const std::string& errorText) {
    std::string text = LocalizeErrorText(errorText, utf8_);
    bool ended = !text.empty() && text.back() == '\n';
    text = Printable(text);
    if (ended) text.back() = '\n';
    env_.WriteConsole(Render(msg::kErrorLine, utf8_, text));
  }
  void Text(const std::string& bytes) { env_.WriteConsole(bytes); }

 private:
  Env& env_;
  bool utf8_;
};

// What one run writes into the output folder, in writing order.
struct Output {
  const char* name;
  int (*write)(VsLogBook&, FileSystem&, const std::string&);  // nullptr: the menu
  bool page;  // one of the six pages; the rest are left out by --pages-only
};

const Output kOutputs[] = {
    {"index.html", WriteIndexPage, true},       {"menu.html", nullptr, true},
    {"personal.html", WritePersonalPage, true}, {"observation.html", WriteObservationPage, true},
    {"ranking.html", WriteRankingPage, true},   {"vslog.html", WriteVsLogPage, true},
    {"dashboard.html", WriteDashboard, false},  {"matches.csv", WriteMatchCsv, false},
};

class RunSteps {
 public:
  RunSteps(const RunOptions& options, Env& env) : options_(options), env_(env), console_(env) {}
  Console& console() { return console_; }
  bool Analyze();

 private:
  std::string Join(const std::string& folder, const std::string& name) const {
    return folder + env_.Separator() + name;
  }
  bool LocateDataFolder();
  Listing ListLogs(std::vector<std::string>* names);
  void WarnSameDates(const std::vector<std::string>& names);
  bool ParseAll(const std::vector<std::string>& names);
  void RemoveLeftovers();
  bool WriteOutputs();

  const RunOptions& options_;
  Env& env_;
  Console console_;
  VsLogBook book_;
  std::string dataFolder_;
  std::string outputFolder_;
};

bool RunSteps::LocateDataFolder() {
  if (options_.folderGiven) {
    dataFolder_ = options_.dataFolder;
    switch (dataFolder_.empty() ? EntryKind::Missing : env_.KindOf(dataFolder_)) {
      case EntryKind::Folder:
        return true;
      case EntryKind::File:
        console_.Print(msg::kNotAFolder, dataFolder_);
        return false;
      default:
        console_.Print(msg::kDataFolderMissing, dataFolder_);
        return false;
    }
  }
  switch (env_.FindDataFolder(&dataFolder_)) {
    case FolderSearch::Found:
      return true;
    case FolderSearch::VersionUnknown:
      console_.Print(msg::kVersionQueryFailed);
      return false;
    case FolderSearch::InstallFolderUnknown:
      console_.Print(msg::kInstallFolderUnknown);
      return false;
    case FolderSearch::InstallFolderMissing:
      console_.Print(msg::kInstallFolderMissing, dataFolder_);
      return false;
    case FolderSearch::DataFolderMissing:
      console_.Print(msg::kDataFolderMissing, dataFolder_);
      console_.Print(msg::kDataFolderArgumentHint);
      return false;
  }
  return false;
}

// A listing that broke off part way is an error, but the logs listed until
// then are still read: the player gets what could be read, and is told.
Listing RunSteps::ListLogs(std::vector<std::string>* names) {
  Listing listing = env_.ListLogFiles(dataFolder_, names);
  if (listing == Listing::Incomplete) {
    console_.PrintError(Render(msg::kListingFailed, console_.utf8(), Printable(dataFolder_)));
  } else if (names->empty()) {
    console_.Print(msg::kNoLogFiles);
  }
  return listing;
}

// A copy Explorer makes ("20050501 - コピー.log") carries the original's
// date; both are read, as the game's own files would be, but the player is
// told, since that day's matches then count twice.
void RunSteps::WarnSameDates(const std::vector<std::string>& names) {
  std::map<std::tuple<int32_t, int32_t, int32_t>, std::vector<const std::string*>> byDate;
  for (const std::string& name : names) {
    int32_t year, month, day;
    DateFromFileName(name, year, month, day);
    if (year != 0 || month != 0 || day != 0) byDate[{year, month, day}].push_back(&name);
  }
  for (const auto& [date, group] : byDate) {
    if (group.size() < 2) continue;
    std::string list;
    for (const std::string* name : group) list += (list.empty() ? "" : ", ") + *name;
    console_.Print(msg::kSameDate, list);
  }
}

bool RunSteps::ParseAll(const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(Join(dataFolder_, name));
  unsigned workers = options_.logWorkers < 0 ? DefaultLogWorkers() : options_.logWorkers;
  LogPipeline pipeline(env_, paths, workers);
  bool allRead = true;
  for (const std::string& name : names) {
    LogPipeline::File& file = pipeline.Next();
    if (file.status == LogOpen::NotAFile) continue;  // it changed since the listing
    console_.Text("  " + Printable(name) + "\n");
    if (file.reader->TakeInto(book_) < 0) {
      console_.PrintError(book_.GetErrorText());
      allRead = false;
    }
  }
  return allRead;
}

// A temporary file of ours: "<output name>.<16 hex digits>.tmp". Nothing
// else in the folder is ever removed.
bool IsLeftover(const std::string& name) {
  constexpr size_t kTail = 1 + 16 + 4;
  for (const Output& output : kOutputs) {
    std::string_view base = output.name;
    if (name.size() != base.size() + kTail || name.compare(0, base.size(), base) != 0) continue;
    std::string_view tail = std::string_view(name).substr(base.size());
    if (tail[0] != '.' || tail.substr(17) != ".tmp") continue;
    bool hex = true;
    for (char c : tail.substr(1, 16))
      hex = hex && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
    if (hex) return true;
  }
  return false;
}

// Temporary files of a run that was killed before it could remove them.
// Called under the run lock, so no other run is writing them right now.
void RunSteps::RemoveLeftovers() {
  std::vector<std::string> entries;
  if (!env_.ListFolder(outputFolder_, &entries)) return;
  for (const std::string& entry : entries) {
    if (IsLeftover(entry)) env_.Remove(Join(outputFolder_, entry));
  }
}

// A failed file does not stop the others.
bool RunSteps::WriteOutputs() {
  LocalTime now = env_.Now();  // the menu's time stamp
  bool allWritten = true;
  for (const Output& output : kOutputs) {
    if (options_.pagesOnly && !output.page) continue;
    std::string path = Join(outputFolder_, output.name);
    int result =
        output.write ? output.write(book_, env_, path) : WriteMenuPage(book_, env_, path, now);
    if (result < 0) {
      console_.PrintError(book_.GetErrorText());
      allWritten = false;
    }
  }
  return allWritten;
}

bool RunSteps::Analyze() {
  if (!LocateDataFolder()) return false;
  std::vector<std::string> names;
  bool ok = ListLogs(&names) == Listing::Complete;
  if (names.empty()) return false;
  console_.Print(msg::kAnalyzing);
  console_.Text("\n");
  WarnSameDates(names);
  ok = ParseAll(names) && ok;
  ComputeStatistics(book_);
  console_.Text("\n");
  console_.Print(msg::kWritingResults);
  outputFolder_ = Join(dataFolder_, "analyze");
  if (!env_.EnsureFolder(outputFolder_)) {
    console_.Print(msg::kOutputFolderFailed, outputFolder_);
    return false;
  }
  bool busy = false;
  std::unique_ptr<FolderLock> lock = env_.LockFolder(outputFolder_, false, &busy);
  if (busy) {
    console_.Print(msg::kWaitingForOtherRun);
    lock = env_.LockFolder(outputFolder_, true, &busy);
  }
  RemoveLeftovers();
  ok = WriteOutputs() && ok;
  console_.Text("\n");
  console_.Print(msg::kDone);
  console_.Print(msg::kOpenReport, Join(outputFolder_, "index.html"));
  if (!options_.pagesOnly)
    console_.Print(msg::kOpenDashboard, Join(outputFolder_, "dashboard.html"));
  return ok;
}

}  // namespace

int Run(const RunOptions& options, Env& env) {
  RunSteps steps(options, env);
  steps.console().Text(std::string("\n") + platform::kProgramName + " " + kVersionText + "\n");
  steps.console().Text("Copyright (C) the Ledgerwise developers\n\n");
  bool ok = steps.Analyze();
  // A script, a pipe or a scheduled task never waits.
  if (!options.noWait && env.StdinIsConsole()) {
    steps.console().Print(msg::kPressAnyKey);
    env.WaitForKey();
  }
  return ok ? 0 : platform::kFailureExitCode;
}

void ReportOutOfMemory(Env& env) {
  env.WriteConsole(Render(msg::kOutOfMemory, env.ConsoleWantsUtf8()));
}

}  // namespace ledgerwise
