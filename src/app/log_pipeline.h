// Opens the listed logs and reads their first batch ahead on worker
// threads, while the caller's thread takes the files before them into the
// book. Files come out in listing order, so the book sees exactly what one
// thread reading them in turn would show it: only the open match carries
// from one file to the next, and only the caller's thread touches the book.
#ifndef LEDGERWISE_APP_LOG_PIPELINE_H_
#define LEDGERWISE_APP_LOG_PIPELINE_H_

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/env.h"
#include "log/log_parser.h"

namespace ledgerwise {

// The workers a run uses beside the caller's thread, which reads too while
// it waits: none on a single processor, where reading ahead only adds
// switches.
unsigned DefaultLogWorkers();

class LogPipeline {
 public:
  struct File {
    LogOpen status = LogOpen::Failed;
    std::unique_ptr<LogSource> source;
    std::unique_ptr<LogFileReader> reader;  // reads `source`
  };

  // With no workers, or when no thread can be started, Next reads each file
  // itself. At most kAhead files are held read and not yet taken.
  LogPipeline(Env& env, std::vector<std::string> paths, unsigned workers);
  ~LogPipeline();  // waits for the workers, which stop after their file
  LogPipeline(const LogPipeline&) = delete;
  LogPipeline& operator=(const LogPipeline&) = delete;

  // The next file in listing order, waited for; it stays valid until the
  // next call. What a worker threw while reading it is thrown here.
  File& Next();

 private:
  static constexpr size_t kAhead = 8;
  struct Slot {
    bool ready = false;
    File file;
    std::exception_ptr failure;
  };

  File Load(size_t i, std::unique_ptr<LogFileReader> reader);
  // Claims the next file and reads it, unlocked, into its slot; false when
  // there is none to claim now.
  bool LoadOne(std::unique_lock<std::mutex>& lock);
  void Work();

  Env& env_;
  const std::vector<std::string> paths_;
  std::mutex mutex_;
  std::condition_variable readied_;  // a slot became ready
  std::condition_variable freed_;    // a slot was taken, or the run stops
  std::vector<Slot> slots_;          // file i in slot i % kAhead
  size_t claimed_ = 0;               // files a worker has started on
  size_t taken_ = 0;                 // files handed out by Next
  bool stopping_ = false;
  std::vector<std::thread> workers_;
  std::vector<std::unique_ptr<LogFileReader>> spare_;  // readers of files taken
  File current_;                                       // the file Next handed out last
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_LOG_PIPELINE_H_
