#include "app/run_steps.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <set>
#include <tuple>

#include "app/log_pipeline.h"
#include "app/messages.h"
#include "app/outputs.h"
#include "app/temporary_name.h"
#include "log/calendar.h"
#include "log/log_parser.h"
#include "stats/statistics.h"

namespace ledgerwise {

RunSteps::RunSteps(const RunOptions& options, Env& env)
    : options_(options), env_(env), console_(env), book_(std::make_unique<VsLogBook>()) {}

void RunSteps::Report(const Status& status) {
  book_->FormatErrorText(FailureMessage(status.code()).sjis, status.path().c_str());
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

// Copies of another log are left out of the list.
std::vector<CopyGroup> RunSteps::SkipCopies(std::vector<LogFileInfo>* logs) {
  std::vector<CopyGroup> groups = FindCopies(env_, dataFolder_, *logs);
  std::set<std::string> skipped;
  for (const CopyGroup& group : groups) skipped.insert(group.copies.begin(), group.copies.end());
  logs->erase(std::remove_if(logs->begin(), logs->end(),
                             [&](const LogFileInfo& log) { return skipped.count(log.name) > 0; }),
              logs->end());
  return groups;
}

// The player is told which copies were left out, and of which log.
void RunSteps::NoteCopies(const std::vector<CopyGroup>& groups) {
  for (const CopyGroup& group : groups) {
    std::string copies;
    for (const std::string& copy : group.copies) {
      copies += (copies.empty() ? "" : ", ") + Printable(copy);
    }
    notes_.push_back(
        RenderAll(msg::kSkippedCopies, console_.utf8(), {copies, Printable(group.kept)}));
  }
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
    if (Status read = file.reader->TakeInto(*book_); !read.ok()) {
      Report(read);
      allRead = false;
    }
  }
  return allRead;
}

// Each log as the one-shot run reads it, but through the cache: the last
// log's unended last line is held back, as the game may be writing it.
bool RunSteps::ParseIntoCache(const std::vector<LogFileInfo>& logs, LogCache* cache) {
  bool allRead = true;
  for (const LogCache::Read& read : cache->Refresh(env_, dataFolder_, logs, true).reads) {
    if (read.skipped) continue;
    console_.Text("  " + Printable(read.name) + "\n");
    if (!read.status.ok()) {
      Report(read.status);
      allRead = false;
    }
  }
  Rebuild(*cache);
  return allRead;
}

void RunSteps::Rebuild(LogCache& cache) {
  book_ = std::make_unique<VsLogBook>();
  cache.Rebuild(*book_);
  ComputeStatistics(*book_);
}

void RunSteps::TakeAppended(LogCache& cache, size_t appendedFrom) {
  cache.TakeAppended(*book_, appendedFrom);
  ComputeStatistics(*book_);
}

bool RunSteps::Rewrite(const std::string& liveGeneration) {
  std::unique_ptr<FolderLock> lock;
  if (!TakeLock(&lock)) return false;
  return WriteAll(liveGeneration);
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

bool RunSteps::WriteAll(const std::string& liveGeneration) {
  OutputRequest request;
  request.liveGeneration = liveGeneration;
  request.folder = outputFolder_;
  request.separator = env_.Separator();
  request.now = env_.Now();
  request.pagesOnly = options_.pagesOnly;
  request.sideBySide = options_.writeSideBySide;
  bool allWritten = true;
  for (const Status& written : WriteOutputs(*book_, env_, request)) {
    if (written.ok()) continue;
    Report(written);
    allWritten = false;
  }
  return allWritten;
}

bool RunSteps::Analyze(LogCache* cache, const std::string& liveGeneration) {
  if (!LocateDataFolder()) return false;
  std::vector<LogFileInfo> logs;
  bool ok = ListLogs(&logs) == Listing::Complete;
  if (logs.empty()) return false;
  console_.Print(msg::kAnalyzing);
  console_.Text("\n");
  NoteCopies(SkipCopies(&logs));
  NoteSameDates(logs);
  if (cache != nullptr) {
    ok = ParseIntoCache(logs, cache) && ok;
  } else {
    ok = ParseAll(logs) && ok;
    ComputeStatistics(*book_);
  }
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
  ok = WriteAll(liveGeneration) && ok;
  console_.Text("\n");
  console_.Print(msg::kDone);
  console_.Print(msg::kOpenReport, Join(outputFolder_, "index.html"));
  if (!options_.pagesOnly) {
    console_.Print(msg::kOpenDashboard, Join(outputFolder_, "dashboard.html"));
  }
  PrintNotes();
  return ok;
}

}  // namespace ledgerwise
