// The whole system in memory: files and folders in maps, the console in a
// string, and any one step made to fail. Every failure-injection test goes
// through it: the driver's, the pages' and the fuzz pipeline's.
#ifndef LEDGERWISE_TESTS_MEMORY_ENV_H_
#define LEDGERWISE_TESTS_MEMORY_ENV_H_

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/env.h"
#include "app/temporary_name.h"

namespace ledgerwise {
namespace testing {

enum class Fault { None, Create, Append, Close, Replace };

namespace memory_env_detail {
struct Log;
}

class MemoryEnv : public Env {
 public:
  std::map<std::string, std::string> files;  // path -> bytes
  std::set<std::string> folders;
  std::string console;

  // What can go wrong, and where.
  std::string faultPath;  // the page (its final path) whose step fails
  Fault fault = Fault::None;
  std::set<std::string> unopenable;              // logs whose open fails
  std::set<std::string> notFiles;                // logs that turn out not to be files
  std::map<std::string, size_t> readFailsAfter;  // log -> bytes read before the error
  bool listingBreaks = false;                    // the listing fails after its first name
  bool lockBusy = false;                         // another run holds the lock until we wait
  Lock lockWait = Lock::Taken;                   // how that wait ends
  bool lockUnavailable = false;                  // the lock cannot be had at all
  std::set<std::string> unmakeable;              // folders that cannot be created
  // Logs open at once, at most: an open beyond it is refused as the system
  // refuses one when it is out of descriptors.
  size_t openLogBudget = SIZE_MAX;
  // Reading ahead made to go out of order on every run: the first log
  // listed waits before its first byte until the second has been read to
  // its end by a thread that then asks for another log (so the second is
  // ready first), or until the second's open was refused for want of
  // descriptors. Takes a worker and three logs.
  bool holdFirst = false;

  FolderSearch search = FolderSearch::Found;
  std::vector<std::string> searchPaths = {"data"};
  bool utf8 = true;
  std::string errors;  // what went to standard error (also in `console`)
  bool interactive = false;
  int keyWaits = 0;
  int lockWaits = 0;

  char Separator() const override { return '/'; }
  FolderSearch FindDataFolder(std::vector<std::string>* paths) override {
    *paths = searchPaths;
    return search;
  }
  EntryKind KindOf(const std::string& path) override {
    if (folders.count(path)) return EntryKind::Folder;
    return files.count(path) ? EntryKind::File : EntryKind::Missing;
  }
  // A folder's time is the list of its names, a file's its bytes (as a
  // write changes it).
  static LogFileInfo Info(std::string name, const std::string& bytes, int64_t size) {
    return {std::move(name), size, static_cast<int64_t>(std::hash<std::string>()(bytes))};
  }
  bool LookUp(const std::string& path, LogFileInfo* info) override {
    if (folders.count(path)) {
      std::vector<std::string> names;
      ListFolder(path, &names);
      std::string all;
      for (const std::string& name : names) all += name + '/';
      *info = Info("", all, 0);
      return true;
    }
    if (files.count(path)) *info = Info("", files.at(path), files.at(path).size());
    return files.count(path) > 0;
  }
  bool EnsureFolder(const std::string& path) override {
    if (unmakeable.count(path) || files.count(path)) return false;
    folders.insert(path);
    return true;
  }
  Listing ListLogFiles(const std::string& folder, std::vector<LogFileInfo>* logs) override {
    std::vector<std::string> all;
    if (!ListFolder(folder, &all)) return Listing::Unreadable;
    logs->clear();
    listed_.clear();
    for (const std::string& n : all) {
      if (n.size() >= 4 && n.compare(n.size() - 4, 4, ".log") == 0) {
        listed_.push_back(folder + "/" + n);
        logs->push_back(Info(n, files.at(listed_.back()), files.at(listed_.back()).size()));
      }
    }
    if (!listingBreaks || logs->size() < 2) return Listing::Complete;
    logs->resize(1);
    return Listing::Incomplete;
  }
  bool ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    if (!folders.count(folder)) return false;
    names->clear();
    std::string prefix = folder + "/";
    for (const auto& [path, bytes] : files) {
      if (path.rfind(prefix, 0) == 0 && path.find('/', prefix.size()) == std::string::npos) {
        names->push_back(path.substr(prefix.size()));
      }
    }
    return true;
  }
  std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override;
  int locksHeld = 0;  // run locks taken and not yet let go
  std::unique_ptr<FolderLock> LockFolder(const std::string&, bool wait, Lock* result) override {
    *result = lockUnavailable ? Lock::Unavailable
              : !lockBusy     ? Lock::Taken
              : wait          ? lockWait
                              : Lock::Busy;
    lockWaits += wait;
    if (*result != Lock::Taken) return nullptr;
    struct Held : FolderLock {
      explicit Held(int* count) : count(count) { ++*count; }
      ~Held() override { --*count; }
      int* count;
    };
    return std::make_unique<Held>(&locksHeld);
  }
  void RemoveLeftover(const std::string& path) override { Remove(path); }
  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override;
  std::map<std::string, int> replaced;  // output path -> times put in place
  bool Replace(const std::string& from, const std::string& to) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!files.count(from)) throw std::logic_error("replacing a file never made: " + from);
    ++replaced[to];
    if (Faulty(to, Fault::Replace)) return false;
    files[to] = std::move(files[from]);
    files.erase(from);
    return true;
  }
  void Remove(const std::string& path) override {
    std::lock_guard<std::mutex> hold(mutex_);
    files.erase(path);
  }
  LocalTime Now() override { return {2005, 5, 4, 21, 30, 0}; }
  bool ConsoleWantsUtf8() override { return utf8; }
  void WriteConsole(ConsoleStream stream, const std::string& text) override {
    console += text;
    if (stream == ConsoleStream::Error) errors += text;
  }
  bool IsInteractive() override { return interactive; }

  // The clock and what happens while a watching run waits: at each event's
  // time the change is made; a wait ends at the next event or its own end.
  struct Event {
    int64_t at;  // milliseconds on the steady clock
    std::function<void(MemoryEnv&)> change;
  };
  std::vector<Event> events;  // in time order
  int64_t clock = 0;
  bool stopRequested = false;
  bool notifications = true;  // the system tells of changes
  FolderWait WaitForChange(const std::string&, int milliseconds) override {
    int64_t until = clock + milliseconds;
    if (events.empty() || events.front().at > until) {
      // The script has run out: the run is stopped ten seconds after its
      // last event, time for the rewrites it owes.
      int64_t stopAt = lastEvent_ + 10000;
      if (events.empty() && until >= stopAt) {
        until = std::max(clock, stopAt);
        stopRequested = true;
      }
      clock = until;
      return notifications ? FolderWait::Quiet : FolderWait::Blind;
    }
    Event next = std::move(events.front());
    events.erase(events.begin());
    clock = std::max(clock, next.at);
    lastEvent_ = clock;
    next.change(*this);
    return notifications ? FolderWait::Changed : FolderWait::Blind;
  }
  void CatchStop() override {}
  bool StopRequested() override { return stopRequested; }
  int64_t SteadyMilliseconds() override { return clock; }
  void WaitForKey() override { ++keyWaits; }

  // The temporary files made here that are still there.
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const std::string& path : made_) {
      if (files.count(path)) found.push_back(path);
    }
    return found;
  }

 private:
  friend struct memory_env_detail::Log;
  bool Faulty(const std::string& path, Fault step) const {
    return fault == step && path == faultPath;
  }
  int64_t lastEvent_ = 0;
  bool IsListed(size_t place, const std::string& path) const {
    return listed_.size() > place && listed_[place] == path;
  }
  // Called with logMutex_ held.
  void ReleaseFirst() {
    firstHeld_ = false;
    firstReleased_.notify_all();
  }
  // Outputs are written on two threads at once.
  std::mutex mutex_;
  std::vector<std::string> made_;
  // Logs are opened, read and closed on several threads at once.
  std::mutex logMutex_;
  std::vector<std::string> listed_;  // the logs the listing gave, in its order
  size_t openLogs_ = 0;
  bool firstHeld_ = true;
  std::condition_variable firstReleased_;
  std::thread::id secondReader_;  // the thread that read the second log to its end
};

namespace memory_env_detail {

// A log as MemoryEnv hands it out: fails once `failAfter` bytes are read.
struct Log : LogSource {
  Log(MemoryEnv* e, std::string p, size_t f) : env(e), path(std::move(p)), failAfter(f) {
    bytes = env->files.at(path);
  }
  ~Log() override {
    std::lock_guard<std::mutex> hold(env->logMutex_);
    --env->openLogs_;
  }
  int64_t Read(char* buffer, size_t size) override {
    if (at == 0 && env->holdFirst && env->IsListed(0, path)) {
      std::unique_lock<std::mutex> hold(env->logMutex_);
      env->firstReleased_.wait(hold, [this] { return !env->firstHeld_; });
    }
    if (at >= failAfter) return -1;
    size = std::min({size, bytes.size() - at, failAfter - at});
    at += bytes.copy(buffer, size, at);
    if (size == 0 && env->IsListed(1, path)) {
      std::lock_guard<std::mutex> hold(env->logMutex_);
      env->secondReader_ = std::this_thread::get_id();
    }
    return static_cast<int64_t>(size);
  }
  MemoryEnv* env;
  std::string path, bytes;
  size_t failAfter, at = 0;
};

struct File : WritableFile {
  File(std::string* b, bool append, bool close) : bytes(b), failAppend(append), failClose(close) {}
  bool Append(std::string_view data) override {
    // A full disk takes part of the data before it refuses the rest.
    bytes->append(data.substr(0, failAppend ? data.size() / 2 : data.size()));
    return !failAppend;
  }
  bool Close() override { return !failClose; }
  std::string* bytes;
  bool failAppend, failClose;
};

}  // namespace memory_env_detail

inline std::unique_ptr<LogSource> MemoryEnv::OpenLog(const std::string& path, LogOpen* status) {
  std::lock_guard<std::mutex> hold(logMutex_);
  if (secondReader_ == std::this_thread::get_id()) ReleaseFirst();
  *status = unopenable.count(path) || !files.count(path) ? LogOpen::Failed
            : notFiles.count(path)                       ? LogOpen::NotAFile
            : openLogs_ >= openLogBudget                 ? LogOpen::OutOfHandles
                                                         : LogOpen::Opened;
  if (*status == LogOpen::OutOfHandles && IsListed(1, path)) ReleaseFirst();
  if (*status != LogOpen::Opened) return nullptr;
  ++openLogs_;
  size_t failAfter = readFailsAfter.count(path) ? readFailsAfter.at(path) : std::string::npos;
  return std::make_unique<memory_env_detail::Log>(this, path, failAfter);
}

inline std::unique_ptr<WritableFile> MemoryEnv::CreateTemporary(const std::string& beside,
                                                                std::string* tempPath) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (Faulty(beside, Fault::Create)) return nullptr;
  *tempPath = TemporaryPath(beside, made_.size());
  made_.push_back(*tempPath);
  return std::make_unique<memory_env_detail::File>(&files[*tempPath], Faulty(beside, Fault::Append),
                                                   Faulty(beside, Fault::Close));
}

}  // namespace testing
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_MEMORY_ENV_H_
