// The steps of a run, shared by the one-shot run and a watching run: find
// the data folder, list and read the logs, compute the statistics, write
// the outputs under the folder's lock, and say what happened.
#ifndef LEDGERWISE_APP_RUN_STEPS_H_
#define LEDGERWISE_APP_RUN_STEPS_H_

#include <memory>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/driver.h"
#include "app/env.h"
#include "app/log_cache.h"
#include "app/log_copies.h"
#include "log/records.h"
#include "util/status.h"

namespace ledgerwise {

class RunSteps {
 public:
  RunSteps(const RunOptions& options, Env& env);
  Console& console() { return console_; }

  // The one-shot run from the data folder to 完了！; false when anything
  // failed. With a cache the logs are read into it and the outputs carry
  // the live generation (a watching run's first full run); else the logs
  // are read ahead and straight into the book.
  bool Analyze(LogCache* cache, const std::string& liveGeneration);

  // What a watching run repeats. Copies of another log left out of a
  // listing; the groups they formed.
  std::vector<CopyGroup> SkipCopies(std::vector<LogFileInfo>* logs);
  // Builds the book anew from the cache, with its statistics.
  void Rebuild(LogCache& cache);
  // Takes the lines added to the last log into the book, with the
  // statistics computed again.
  void TakeAppended(LogCache& cache, size_t appendedFrom);
  // Takes the lock (waiting for another run), writes every output, and
  // lets the lock go; false when a file failed or the wait was broken off.
  bool Rewrite(const std::string& liveGeneration);
  // Says what failed, and keeps it as the book's error text.
  void Report(const Status& status);

  const VsLogBook& book() const { return *book_; }
  const std::string& dataFolder() const { return dataFolder_; }
  const std::string& outputFolder() const { return outputFolder_; }
  std::string Join(const std::string& folder, const std::string& name) const {
    return folder + env_.Separator() + name;
  }

 private:
  bool LocateDataFolder();
  Listing ListLogs(std::vector<LogFileInfo>* logs);
  void NoteCopies(const std::vector<CopyGroup>& groups);
  void NoteSameDates(const std::vector<LogFileInfo>& logs);
  void PrintNotes();
  bool ParseAll(const std::vector<LogFileInfo>& logs);
  bool ParseIntoCache(const std::vector<LogFileInfo>& logs, LogCache* cache);
  bool TakeLock(std::unique_ptr<FolderLock>* lock);
  void RemoveLeftovers();
  bool WriteAll(const std::string& liveGeneration);

  const RunOptions& options_;
  Env& env_;
  Console console_;
  std::unique_ptr<VsLogBook> book_;
  std::string dataFolder_;
  std::string outputFolder_;
  // Said last, after 完了！, where a long list of logs cannot scroll them away.
  std::vector<std::string> notes_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_RUN_STEPS_H_
