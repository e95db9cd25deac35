// The whole system in memory: files and folders in maps, the console in a
// string, and any one step made to fail. Every failure-injection test goes
// through it: the driver's, the pages' and the fuzz pipeline's.
#ifndef LEDGERWISE_TESTS_MEMORY_ENV_H_
#define LEDGERWISE_TESTS_MEMORY_ENV_H_

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/env.h"

namespace ledgerwise {
namespace testing {

enum class Fault { None, Create, Append, Close, Replace, OutOfMemory };

class MemoryEnv : public Env {
 public:
  std::map<std::string, std::string> files;  // path -> bytes
  std::set<std::string> folders;
  std::string console;

  // What can go wrong, and where.
  std::string faultPath;  // the page (its final path) whose step fails
  Fault fault = Fault::None;
  std::set<std::string> unopenable;  // logs whose open fails
  std::set<std::string> notFiles;    // logs that turn out not to be files
  std::map<std::string, size_t> readFailsAfter;  // log -> bytes read before the error
  bool listingBreaks = false;  // the listing fails after its first name
  bool lockBusy = false;       // another run holds the lock until we wait
  std::set<std::string> unmakeable;  // folders that cannot be created

  FolderSearch search = FolderSearch::Found;
  std::string searchPath = "data";
  bool utf8 = true;
  bool stdinConsole = false;
  int keyWaits = 0;
  int lockWaits = 0;

  char Separator() const override { return '/'; }
  FolderSearch FindDataFolder(std::string* path) override {
    *path = searchPath;
    return search;
  }
  EntryKind KindOf(const std::string& path) override {
    if (folders.count(path)) return EntryKind::Folder;
    return files.count(path) ? EntryKind::File : EntryKind::Missing;
  }
  bool EnsureFolder(const std::string& path) override {
    if (unmakeable.count(path) || files.count(path)) return false;
    folders.insert(path);
    return true;
  }
  Listing ListLogFiles(const std::string& folder, std::vector<std::string>* names) override {
    if (!ListFolder(folder, names)) return Listing::Unreadable;
    names->erase(std::remove_if(names->begin(), names->end(),
                                [](const std::string& n) {
                                  return n.size() < 4 || n.compare(n.size() - 4, 4, ".log") != 0;
                                }),
                 names->end());
    std::sort(names->begin(), names->end());
    if (listingBreaks && names->size() > 1) {
      names->resize(1);
      return Listing::Incomplete;
    }
    return Listing::Complete;
  }
  bool ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    if (!folders.count(folder)) return false;
    names->clear();
    std::string prefix = folder + "/";
    for (const auto& [path, bytes] : files) {
      if (path.compare(0, prefix.size(), prefix) == 0 && path.find('/', prefix.size()) == std::string::npos) {
        names->push_back(path.substr(prefix.size()));
      }
    }
    return true;
  }
  std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string&, bool wait, bool* busy) override {
    *busy = lockBusy && !wait;
    if (*busy) return nullptr;
    lockWaits += wait;
    return std::make_unique<FolderLock>();
  }
  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override;
  bool Replace(const std::string& from, const std::string& to) override {
    if (!files.count(from)) throw std::logic_error("replacing a file never made: " + from);
    if (Faulty(to, Fault::Replace)) return false;
    files[to] = std::move(files[from]);
    files.erase(from);
    return true;
  }
  void Remove(const std::string& path) override { files.erase(path); }
  LocalTime Now() override { return {2005, 5, 4, 21, 30, 0}; }
  bool ConsoleWantsUtf8() override { return utf8; }
  void WriteConsole(const std::string& bytes) override { console += bytes; }
  bool StdinIsConsole() override { return stdinConsole; }
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
  bool Faulty(const std::string& path, Fault step) const {
    return fault == step && path == faultPath;
  }
  std::vector<std::string> made_;
};

namespace memory_env_detail {

class Source : public LogSource {
 public:
  Source(std::string bytes, size_t failAfter) : bytes_(std::move(bytes)), failAfter_(failAfter) {}
  int64_t Read(char* buffer, size_t size) override {
    if (at_ >= failAfter_) return -1;
    size = std::min({size, bytes_.size() - at_, failAfter_ - at_});
    bytes_.copy(buffer, size, at_);
    at_ += size;
    return static_cast<int64_t>(size);
  }

 private:
  std::string bytes_;
  size_t failAfter_;
  size_t at_ = 0;
};

class File : public WritableFile {
 public:
  File(std::string* bytes, bool failAppend, bool failClose, bool outOfMemory)
      : bytes_(bytes), failAppend_(failAppend), failClose_(failClose), outOfMemory_(outOfMemory) {}
  bool Append(std::string_view data) override {
    if (outOfMemory_) throw std::bad_alloc();
    // A full disk takes part of the data before it refuses the rest.
    bytes_->append(data.substr(0, failAppend_ ? data.size() / 2 : data.size()));
    return !failAppend_;
  }
  bool Close() override { return !failClose_; }

 private:
  std::string* bytes_;
  bool failAppend_, failClose_, outOfMemory_;
};

}  // namespace memory_env_detail

inline std::unique_ptr<LogSource> MemoryEnv::OpenLog(const std::string& path, LogOpen* status) {
  *status = unopenable.count(path) || !files.count(path) ? LogOpen::Failed
            : notFiles.count(path)                     ? LogOpen::NotAFile
                                                       : LogOpen::Opened;
  if (*status != LogOpen::Opened) return nullptr;
  auto fails = readFailsAfter.find(path);
  size_t failAfter = fails == readFailsAfter.end() ? std::string::npos : fails->second;
  return std::make_unique<memory_env_detail::Source>(files[path], failAfter);
}

inline std::unique_ptr<WritableFile> MemoryEnv::CreateTemporary(const std::string& beside,
                                                                std::string* tempPath) {
  if (Faulty(beside, Fault::Create)) return nullptr;
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%016zx.tmp", made_.size());
  *tempPath = beside + suffix;
  made_.push_back(*tempPath);
  return std::make_unique<memory_env_detail::File>(&files[*tempPath], Faulty(beside, Fault::Append),
                                                   Faulty(beside, Fault::Close),
                                                   Faulty(beside, Fault::OutOfMemory));
}

}  // namespace testing
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_MEMORY_ENV_H_
