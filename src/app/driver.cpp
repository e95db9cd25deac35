#include "app/driver.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "app/log_copies.h"
#include "app/log_pipeline.h"
#include "app/messages.h"
#include "app/outputs.h"
#include "app/temporary_name.h"
#include "log/calendar.h"
#include "log/log_parser.h"
#include "log/records.h"
#include "sjis_pages/pages.h"
#include "stats/statistics.h"

namespace ledgerwise {

namespace {

// Progress to standard output, failures and warnings to standard error, in
// the console's encoding. Arguments are names and paths: shown with their
// control bytes masked.
class Console {
 public:
  explicit Console(Env& env) : env_(env), utf8_(env.ConsoleWantsUtf8()) {}
  void Print(const Message& m, const std::string& argument = "") {
    env_.WriteConsole(ConsoleStream::Out, Render(m, utf8_, Printable(argument)));
  }
  void Warn(const Message& m, const std::string& argument = "") {
    env_.WriteConsole(ConsoleStream::Error, Render(m, utf8_, Printable(argument)));
  }
  // "エラー : " and the failure's message.
  void Fail(const Status& status) {
    std::string text = Render(FailureMessage(status.code()), utf8_, Printable(status.path()));
    env_.WriteConsole(ConsoleStream::Error, Render(msg::kErrorLine, utf8_, text));
  }
  void Text(const std::string& bytes) { env_.WriteConsole(ConsoleStream::Out, bytes); }
  // Text already rendered for this console.
  void Raw(ConsoleStream stream, const std::string& text) { env_.WriteConsole(stream, text); }
  bool utf8() const { return utf8_; }

 private:
  Env& env_;
  bool utf8_;
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
  Listing ListLogs(std::vector<LogFileInfo>* logs);
  void SkipCopies(std::vector<LogFileInfo>* logs);
  void NoteSameDates(const std::vector<LogFileInfo>& logs);
  void PrintNotes();
  bool ParseAll(const std::vector<LogFileInfo>& logs);
  bool TakeLock(std::unique_ptr<FolderLock>* lock);
  void RemoveLeftovers();
  bool WriteAll();
  // Says what failed, and keeps it as the book's error text.
  void Report(const Status& status);

  const RunOptions& options_;
  Env& env_;
  Console console_;
  VsLogBook book_;
  std::string dataFolder_;
  std::string outputFolder_;
  // Said last, after 完了！, where a long list of logs cannot scroll them away.
  std::vector<std::string> notes_;
};

void RunSteps::Report(const Status& status) {
  book_.FormatErrorText(FailureMessage(status.code()).sjis, status.path().c_str());
  console_.Fail(status);
}

bool RunSteps::LocateDataFolder() {
  if (options_.folderGiven) {
    dataFolder_ = options_.dataFolder;
    switch (env_.KindOf(dataFolder_)) {
      case EntryKind::Folder:
        return true;
      case EntryKind::File:
        console_.Warn(msg::kNotAFolder, dataFolder_);
        return false;
      default:
        console_.Warn(msg::kDataFolderMissing, dataFolder_);
        return false;
    }
  }
  std::vector<std::string> folders;
  FolderSearch search = env_.FindDataFolder(&folders);
  switch (search) {
    case FolderSearch::Found:
      dataFolder_ = folders.front();
      return true;
    case FolderSearch::VersionUnknown:
      console_.Warn(msg::kVersionQueryFailed);
      return false;
    case FolderSearch::InstallFolderUnknown:
      console_.Warn(msg::kInstallFolderUnknown);
      return false;
    case FolderSearch::InstallFolderMissing:
    case FolderSearch::DataFolderMissing:
      for (const std::string& folder : folders) {
        console_.Warn(search == FolderSearch::InstallFolderMissing ? msg::kInstallFolderMissing
                                                                   : msg::kDataFolderMissing,
                      folder);
      }
      if (search == FolderSearch::DataFolderMissing) console_.Warn(msg::kDataFolderArgumentHint);
      return false;
  }
  return false;
}

// A listing that broke off part way is an error, but the logs listed until
// then are still read: the player gets what could be read, and is told.
Listing RunSteps::ListLogs(std::vector<LogFileInfo>* logs) {
  Listing listing = env_.ListLogFiles(dataFolder_, logs);
  if (listing == Listing::Incomplete) {
    Report(Status::Failure(Status::Code::ListingBroken, dataFolder_));
  } else if (logs->empty()) {
    console_.Warn(msg::kNoLogFiles);
    console_.Warn(msg::kFolderSearched, dataFolder_);
  }
  return listing;
}

// Copies of another log are left out of the list; the player is told which.
void RunSteps::SkipCopies(std::vector<LogFileInfo>* logs) {
  std::vector<CopyGroup> groups = FindCopies(env_, dataFolder_, *logs);
  std::set<std::string> skipped;
  for (const CopyGroup& group : groups) {
    std::string copies;
    for (const std::string& copy : group.copies) {
      copies += (copies.empty() ? "" : ", ") + Printable(copy);
      skipped.insert(copy);
    }
    notes_.push_back(Render(msg::kSkippedCopies, console_.utf8(), copies, Printable(group.kept)));
  }
  logs->erase(std::remove_if(logs->begin(), logs->end(),
                             [&](const LogFileInfo& log) { return skipped.count(log.name) > 0; }),
              logs->end());
}

// Logs of one date that differ (a day's log and an edited copy of it) are
// all read, as the game's own files would be, but the player is told, since
// that day's matches may then count twice.
void RunSteps::NoteSameDates(const std::vector<LogFileInfo>& logs) {
  std::map<std::tuple<int32_t, int32_t, int32_t>, std::vector<const std::string*>> byDate;
  for (const LogFileInfo& log : logs) {
    int32_t year, month, day;
    DateFromFileName(log.name, year, month, day);
    if (year != 0 || month != 0 || day != 0) byDate[{year, month, day}].push_back(&log.name);
  }
  for (const auto& [date, group] : byDate) {
    if (group.size() < 2) continue;
    std::string list;
    for (const std::string* name : group) list += (list.empty() ? "" : ", ") + *name;
    notes_.push_back(Render(msg::kSameDate, console_.utf8(), Printable(list)));
  }
}

void RunSteps::PrintNotes() {
  for (const std::string& note : notes_) console_.Raw(ConsoleStream::Error, note);
}

bool RunSteps::ParseAll(const std::vector<LogFileInfo>& logs) {
  std::vector<std::string> paths;
  for (const LogFileInfo& log : logs) paths.push_back(Join(dataFolder_, log.name));
  unsigned workers = options_.logWorkers < 0 ? DefaultLogWorkers() : options_.logWorkers;
  LogPipeline pipeline(env_, paths, workers);
  bool allRead = true;
  for (const LogFileInfo& log : logs) {
    LogPipeline::File& file = pipeline.Next();
    if (file.status == LogOpen::NotAFile) continue;  // it changed since the listing
    console_.Text("  " + Printable(log.name) + "\n");
    if (Status read = file.reader->TakeInto(book_); !read.ok()) {
      Report(read);
      allRead = false;
    }
  }
  return allRead;
}

// Waits for another run that holds the lock. Without a lock the run still
// writes, each file whole through its own temporary, but leaves every
// temporary file alone: it might be another run's, being written right now.
bool RunSteps::TakeLock(std::unique_ptr<FolderLock>* lock) {
  Lock result;
  *lock = env_.LockFolder(outputFolder_, false, &result);
  if (result == Lock::Busy) {
    console_.Print(msg::kWaitingForOtherRun);
    *lock = env_.LockFolder(outputFolder_, true, &result);
  }
  if (result == Lock::Unavailable) {
    console_.Warn(msg::kLockUnavailable, Join(outputFolder_, "ledgerwise.lock"));
  }
  return result != Lock::Interrupted;
}

// Temporary files of a run that was killed before it could remove them.
// Called under the run lock, so no other run is writing them right now.
void RunSteps::RemoveLeftovers() {
  std::vector<std::string> entries;
  if (!env_.ListFolder(outputFolder_, &entries)) return;
  for (const std::string& entry : entries) {
    if (IsOutputName(TemporaryBase(entry))) env_.RemoveLeftover(Join(outputFolder_, entry));
  }
}

bool RunSteps::WriteAll() {
  OutputRequest request;
  request.folder = outputFolder_;
  request.separator = env_.Separator();
  request.now = env_.Now();
  request.pagesOnly = options_.pagesOnly;
  request.sideBySide = options_.writeSideBySide;
  bool allWritten = true;
  for (const Status& written : WriteOutputs(book_, env_, request)) {
    if (written.ok()) continue;
    Report(written);
    allWritten = false;
  }
  return allWritten;
}

bool RunSteps::Analyze() {
  if (!LocateDataFolder()) return false;
  std::vector<LogFileInfo> logs;
  bool ok = ListLogs(&logs) == Listing::Complete;
  if (logs.empty()) return false;
  console_.Print(msg::kAnalyzing);
  console_.Text("\n");
  SkipCopies(&logs);
  NoteSameDates(logs);
  ok = ParseAll(logs) && ok;
  ComputeStatistics(book_);
  console_.Text("\n");
  console_.Print(msg::kWritingResults);
  outputFolder_ = Join(dataFolder_, "analyze");
  if (!env_.EnsureFolder(outputFolder_)) {
    console_.Warn(msg::kOutputFolderFailed, outputFolder_);
    return false;
  }
  std::unique_ptr<FolderLock> lock;
  if (!TakeLock(&lock)) {
    console_.Warn(msg::kLockWaitInterrupted);
    return false;
  }
  if (lock) RemoveLeftovers();
  ok = WriteAll() && ok;
  console_.Text("\n");
  console_.Print(msg::kDone);
  console_.Print(msg::kOpenReport, Join(outputFolder_, "index.html"));
  if (!options_.pagesOnly) {
    console_.Print(msg::kOpenDashboard, Join(outputFolder_, "dashboard.html"));
  }
  PrintNotes();
  return ok;
}

bool WantsKeyWait(const RunOptions& options, Env& env) {
  bool wanted = options.keyWait == KeyWait::Always ||
                (options.keyWait == KeyWait::Default && platform::kWaitsForKeyByDefault);
  // A script, a pipe, a file or a run in the background never waits.
  return wanted && env.IsInteractive();
}

}  // namespace

int Run(const RunOptions& options, Env& env) {
  RunSteps steps(options, env);
  steps.console().Text(std::string("\n") + platform::kProgramName + " " + kVersionText + "\n");
  steps.console().Text("Copyright (C) the Ledgerwise developers\n\n");
  bool ok = steps.Analyze();
  if (WantsKeyWait(options, env)) {
    steps.console().Print(msg::kPressAnyKey);
    env.WaitForKey();
  }
  return ok ? 0 : platform::kFailureExitCode;
}

void ReportOutOfMemory(Env& env) {
  env.WriteConsole(ConsoleStream::Error, Render(msg::kOutOfMemory, env.ConsoleWantsUtf8()));
}

}  // namespace ledgerwise
