// Opens the listed logs and reads their first batch ahead on worker
// threads, while the caller's thread takes the files before them into the
// book. Files come out in listing order, so the book sees exactly what one
// thread reading them in turn would show it: only the open match carries
// from one file to the next, and only the caller's thread touches the book.
//
// Descriptors may run short (a low `ulimit -n`): a file whose open finds
// none free while files of ours are open waits for one of them to close,
// and fewer files are read ahead from then on. Only a file that cannot be
// opened with none of ours open fails for want of them.
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
  // itself. At most kAhead files are held read and not yet taken, fewer once
  // descriptors ran out.
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

  // Starts a reader, `reader` or a new one, on file `i` as opened, and
  // reads its first batch.
  void ReadFirst(size_t i, std::unique_ptr<LogFileReader> reader, File* file);
  // Whether another file may be claimed now.
  bool CanClaim() const;
  // Claims the next file, opens it and reads it, unlocked, into its slot;
  // false when there is none to claim now, or when the caller's thread had
  // to give its claim back.
  bool LoadOne(std::unique_lock<std::mutex>& lock, bool caller);
  // Opens the claimed file `i`. Out of descriptors while files of ours are
  // open, a worker waits for one of them to close and tries again; the
  // caller's thread, which is the one that closes them, gives the claim back
  // and returns false instead.
  bool Open(size_t i, std::unique_lock<std::mutex>& lock, bool caller, File* file);
  void Work();

  Env& env_;
  const std::vector<std::string> paths_;
  std::mutex mutex_;
  std::condition_variable readied_;  // a slot became ready, or a file may be opened
  std::condition_variable freed_;    // a slot was taken, a file opened or closed, or the run stops
  std::vector<Slot> slots_;          // file i in slot i % kAhead
  size_t claimed_ = 0;               // files a worker has started on
  size_t taken_ = 0;                 // files handed out by Next
  size_t ahead_ = kAhead;            // files claimed and not yet taken, at most
  // Files are opened one at a time in listing order, so a file that finds no
  // descriptor free only ever waits for files before it, which are sure to
  // be taken and closed.
  bool opening_ = false;
  size_t open_ = 0;    // files of ours open
  size_t closes_ = 0;  // files of ours closed so far
  bool stopping_ = false;
  std::vector<std::thread> workers_;
  std::vector<std::unique_ptr<LogFileReader>> spare_;  // readers of files taken
  File current_;                                       // the file Next handed out last
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_LOG_PIPELINE_H_
