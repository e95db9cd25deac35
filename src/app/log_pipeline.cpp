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

void LogPipeline::ReadFirst(size_t i, std::unique_ptr<LogFileReader> reader, File* file) {
  if (reader) {
    reader->Restart(paths_[i], file->source.get());
  } else {
    reader = std::make_unique<LogFileReader>(paths_[i], file->source.get());
  }
  file->reader = std::move(reader);
  if (file->status == LogOpen::Opened) file->reader->ReadBatch();
}

bool LogPipeline::CanClaim() const {
  return !stopping_ && !opening_ && claimed_ < paths_.size() && claimed_ < taken_ + ahead_;
}

bool LogPipeline::Open(size_t i, std::unique_lock<std::mutex>& lock, bool caller, File* file) {
  opening_ = true;
  for (;;) {
    size_t closes = closes_;
    lock.unlock();
    try {
      file->source = env_.OpenLog(paths_[i], &file->status);
    } catch (...) {
      lock.lock();
      opening_ = false;
      throw;
    }
    lock.lock();
    if (file->status == LogOpen::Opened) ++open_;
    if (file->status != LogOpen::OutOfHandles || stopping_) break;
    if (closes_ != closes) continue;  // one of ours closed meanwhile: its descriptor is free
    if (open_ == 0) break;            // none of ours to wait for: this file fails
    // Hold no more files ahead than the descriptors that were free.
    ahead_ = std::max<size_t>(1, std::min(ahead_, open_ - 1));
    if (caller) {
      --claimed_;
      opening_ = false;
      return false;
    }
    freed_.wait(lock, [this, closes] { return stopping_ || closes_ != closes; });
  }
  opening_ = false;
  return true;
}

bool LogPipeline::LoadOne(std::unique_lock<std::mutex>& lock, bool caller) {
  if (!CanClaim()) return false;
  size_t i = claimed_++;
  Slot done;
  bool opened = true;
  try {
    opened = Open(i, lock, caller, &done.file);
  } catch (...) {
    done.failure = std::current_exception();
  }
  // The next file may be opened, by a worker or by the caller's thread.
  freed_.notify_all();
  readied_.notify_all();
  if (!opened) return false;
  std::unique_ptr<LogFileReader> reader;
  if (!spare_.empty()) {
    reader = std::move(spare_.back());
    spare_.pop_back();
  }
  lock.unlock();
  try {
    if (!done.failure) ReadFirst(i, std::move(reader), &done.file);
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
    freed_.wait(lock, [this] { return stopping_ || claimed_ == paths_.size() || CanClaim(); });
    if (stopping_ || claimed_ == paths_.size()) return;
    LoadOne(lock, false);
  }
}

LogPipeline::File& LogPipeline::Next() {
  std::unique_ptr<LogFileReader> done = std::move(current_.reader);
  bool wasOpen = current_.source != nullptr;
  current_ = File();  // closed before the next is waited for: its descriptor may be wanted
  if (workers_.empty()) {
    size_t i = taken_++;
    current_.source = env_.OpenLog(paths_[i], &current_.status);
    ReadFirst(i, std::move(done), &current_);
    return current_;
  }
  Slot slot;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (done) spare_.push_back(std::move(done));
    if (wasOpen) {
      --open_;
      ++closes_;
      freed_.notify_all();
    }
    Slot& mine = slots_[taken_ % kAhead];
    // While a worker still reads the file wanted next, the caller's thread
    // reads one further on instead of waiting idle.
    while (!mine.ready) {
      if (!LoadOne(lock, true))
        readied_.wait(lock, [this, &mine] { return mine.ready || CanClaim(); });
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
