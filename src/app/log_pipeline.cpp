#include "app/log_pipeline.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace ledgerwise {

unsigned DefaultLogWorkers() {
  unsigned processors = std::thread::hardware_concurrency();
  return processors <= 1 ? 0 : std::min(processors - 1, 3u);
}

LogPipeline::LogPipeline(Env& env, std::vector<std::string> paths, unsigned workers)
    : env_(env), paths_(std::move(paths)), slots_(kAhead) {
  // A thread that cannot be started (a low process or memory limit) leaves
  // the reading to the ones that could, or to Next alone.
  try {
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back(&LogPipeline::Work, this);
  } catch (const std::system_error&) {
  }
}

LogPipeline::~LogPipeline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  freed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

LogPipeline::File LogPipeline::Load(size_t i, std::unique_ptr<LogFileReader> reader) {
  File file;
  file.source = env_.OpenLog(paths_[i], &file.status);
  if (reader) {
    reader->Restart(paths_[i], file.source.get());
  } else {
    reader = std::make_unique<LogFileReader>(paths_[i], file.source.get());
  }
  file.reader = std::move(reader);
  if (file.status == LogOpen::Opened) file.reader->ReadBatch();
  return file;
}

bool LogPipeline::LoadOne(std::unique_lock<std::mutex>& lock) {
  if (stopping_ || claimed_ == paths_.size() || claimed_ >= taken_ + kAhead) return false;
  size_t i = claimed_++;
  std::unique_ptr<LogFileReader> reader;
  if (!spare_.empty()) {
    reader = std::move(spare_.back());
    spare_.pop_back();
  }
  lock.unlock();
  Slot done;
  try {
    done.file = Load(i, std::move(reader));
  } catch (...) {
    done.failure = std::current_exception();
  }
  lock.lock();
  done.ready = true;
  slots_[i % kAhead] = std::move(done);
  readied_.notify_all();
  return true;
}

void LogPipeline::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    freed_.wait(lock, [this] {
      return stopping_ || claimed_ == paths_.size() || claimed_ < taken_ + kAhead;
    });
    if (!LoadOne(lock)) return;
  }
}

LogPipeline::File& LogPipeline::Next() {
  std::unique_ptr<LogFileReader> done = std::move(current_.reader);
  current_ = File();
  if (workers_.empty()) {
    current_ = Load(taken_++, std::move(done));
    return current_;
  }
  Slot slot;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (done) spare_.push_back(std::move(done));
    Slot& mine = slots_[taken_ % kAhead];
    // While a worker still reads the file wanted next, the caller's thread
    // reads one further on instead of waiting idle.
    while (!mine.ready) {
      if (!LoadOne(lock)) readied_.wait(lock, [&mine] { return mine.ready; });
    }
    slot = std::move(mine);
    mine.ready = false;
    ++taken_;
  }
  freed_.notify_all();
  if (slot.failure) std::rethrow_exception(slot.failure);
  current_ = std::move(slot.file);
  return current_;
}

}  // namespace ledgerwise
