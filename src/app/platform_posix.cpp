// Linux and macOS, for players who run the game under Wine: the data folder
// is looked for in the Wine prefix, the console is a terminal.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "app/env.h"
#include "app/messages.h"

namespace ledgerwise {
namespace platform {

const char kProgramName[] = "ledgerwise";
const int kFailureExitCode = 1;

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool EndsWithLogSuffix(const std::string& name) {
  if (name.size() < 4) return false;
  std::string suffix = name.substr(name.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".log";
}

EntryKind KindOfPath(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
  if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
  return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

class FdLogSource : public LogSource {
 public:
  explicit FdLogSource(int fd) : fd_(fd) {}
  ~FdLogSource() override { ::close(fd_); }
  int64_t Read(char* buffer, size_t size) override {
    for (;;) {
      ssize_t n = ::read(fd_, buffer, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  }

 private:
  int fd_;
};

class PosixFile : public WritableFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Append(std::string_view data) override {
    while (!data.empty()) {
      ssize_t n = ::write(fd_, data.data(), data.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data.remove_prefix(static_cast<size_t>(n));
#if defined(__linux__)
      // Start the disk write of what is written so far, without waiting
      // for it: the fsync at the close then finds most of the page there.
      ::sync_file_range(fd_, written_, n, SYNC_FILE_RANGE_WRITE);
#endif
      written_ += n;
    }
    return true;
  }
  bool Close() override {
    int fd = fd_;
    fd_ = -1;
    // On disk before the rename puts it in place: after a power loss the
    // page is the old one or the new one, never an empty file.
    bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
  }

 private:
  int fd_;
  off_t written_ = 0;
};

class FlockFolderLock : public FolderLock {
 public:
  explicit FlockFolderLock(int fd) : fd_(fd) {}
  ~FlockFolderLock() override { ::close(fd_); }  // closing releases the lock

 private:
  int fd_;
};

// The terminal as it was before the key wait, put back however the wait
// ends: by the key, or by a signal that ends the program.
struct termios gSavedTerminal;

void RestoreTerminalAndDie(int signal) {
  ::tcsetattr(STDIN_FILENO, TCSANOW, &gSavedTerminal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

class PosixEnv : public Env {
 public:
  char Separator() const override { return '/'; }

  FolderSearch FindDataFolder(std::string* path) override {
    // Where Wine keeps the game's per-user data.
    std::string prefix = Environment("WINEPREFIX");
    if (prefix.empty()) prefix = Environment("HOME") + "/.wine";
    std::string user = Environment("USER");
    if (user.empty()) {
      if (const struct passwd* pw = ::getpwuid(::getuid())) user = pw->pw_name;
    }
    std::string profile = prefix + "/drive_c/users/" + user;
    const std::string candidates[] = {profile + "/Application Data/Halvik/Brumbel",
                                      profile + "/AppData/Roaming/Halvik/Brumbel"};
    for (const std::string& candidate : candidates) {
      if (KindOfPath(candidate) == EntryKind::Folder) {
        *path = candidate;
        return FolderSearch::Found;
      }
    }
    *path = candidates[0];
    return FolderSearch::DataFolderMissing;
  }

  EntryKind KindOf(const std::string& path) override { return KindOfPath(path); }

  bool EnsureFolder(const std::string& path) override {
    if (KindOfPath(path) == EntryKind::Folder) return true;
    return ::mkdir(path.c_str(), 0777) == 0 ||
           (errno == EEXIST && KindOfPath(path) == EntryKind::Folder);
  }

  Listing ListLogFiles(const std::string& folder, std::vector<std::string>* names) override {
    std::vector<std::string> entries;
    Listing listing = ReadFolder(folder, &entries);
    names->clear();
    for (const std::string& name : entries) {
      if (EndsWithLogSuffix(name) && KindOfPath(folder + "/" + name) == EntryKind::File) {
        names->push_back(name);
      }
    }
    std::sort(names->begin(), names->end());  // byte order: the names are dates
    return listing;
  }

  bool ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    return ReadFolder(folder, names) == Listing::Complete;
  }

  std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override {
    // Non-blocking, so a FIFO that took the log's place cannot hold the run
    // in open(); what is opened is checked before a byte is read.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      *status = LogOpen::Failed;
      return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      *status = LogOpen::NotAFile;
      return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *status = LogOpen::Opened;
    return std::make_unique<FdLogSource>(fd);
  }

  std::unique_ptr<FolderLock> LockFolder(const std::string& folder, bool wait,
                                         bool* busy) override {
    *busy = false;
    std::string path = folder + "/ledgerwise.lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return nullptr;
    int result;
    while ((result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    if (result == 0) return std::make_unique<FlockFolderLock>(fd);
    *busy = errno == EWOULDBLOCK;
    ::close(fd);
    return nullptr;
  }

  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override;

  bool Replace(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    SyncFolderOf(to);
    return true;
  }

  void Remove(const std::string& path) override {
    if (!path.empty()) ::unlink(path.c_str());
  }

  LocalTime Now() override {
    std::time_t now = std::time(nullptr);
    struct tm local;
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
  }

  bool ConsoleWantsUtf8() override {
    return LocaleWantsUtf8(Environment("LC_ALL"), Environment("LC_CTYPE"), Environment("LANG"));
  }

  void WriteConsole(const std::string& bytes) override {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
  }

  bool StdinIsConsole() override { return ::isatty(STDIN_FILENO) == 1; }

  void WaitForKey() override;

 private:
  static Listing ReadFolder(const std::string& folder, std::vector<std::string>* names);
  static void SyncFolderOf(const std::string& path);
};

Listing PosixEnv::ReadFolder(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return Listing::Unreadable;
  // readdir returns nullptr both at the end and on an error; only errno
  // tells them apart.
  errno = 0;
  while (const struct dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names->push_back(name);
    errno = 0;
  }
  Listing listing = errno == 0 ? Listing::Complete : Listing::Incomplete;
  ::closedir(dir);
  return listing;
}

// The renames themselves reach the disk only with their folder.
void PosixEnv::SyncFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::unique_ptr<WritableFile> PosixEnv::CreateTemporary(const std::string& beside,
                                                        std::string* tempPath) {
  // A page that replaces another keeps its permission bits: a player who
  // made the report private keeps it private.
  struct stat old;
  bool keepMode = ::lstat(beside.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  std::random_device seed;
  std::mt19937_64 random(seed() ^ (uint64_t(::getpid()) << 32));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    *tempPath = beside + suffix;
    // O_EXCL with O_CREAT never follows or reuses an existing entry.
    int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
      if (keepMode) ::fchmod(fd, old.st_mode & 07777);
      return std::make_unique<PosixFile>(fd);
    }
    if (errno != EEXIST) break;
  }
  tempPath->clear();
  return nullptr;
}

void PosixEnv::WaitForKey() {
  // One key, unbuffered and unechoed.
  if (::tcgetattr(STDIN_FILENO, &gSavedTerminal) != 0) return;
  struct termios raw = gSavedTerminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  for (int s : kEndingSignals) std::signal(s, RestoreTerminalAndDie);
  ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char key;
  while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  ::tcsetattr(STDIN_FILENO, TCSANOW, &gSavedTerminal);
  for (int s : kEndingSignals) std::signal(s, SIG_DFL);
}

}  // namespace

void InitProcess() {
  // A reader of the output that went away must not end the run before the
  // pages are written; the failed console write is simply lost.
  std::signal(SIGPIPE, SIG_IGN);
  // Past a file size limit (ulimit -f) a write must fail with EFBIG like any
  // full disk, not kill the run between a page's temporary file and its
  // rename and leave the rest of the report unwritten.
  std::signal(SIGXFSZ, SIG_IGN);
}

std::unique_ptr<Env> NewEnv() { return std::make_unique<PosixEnv>(); }

}  // namespace platform
}  // namespace ledgerwise
