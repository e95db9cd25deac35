// Linux and other POSIX systems, for players who run the game under Wine:
// the data folder is looked for in the Wine prefix, the console is a
// terminal.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#if defined(__linux__)
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#endif
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "app/env.h"
#include "app/messages.h"
#include "app/temporary_name.h"

namespace ledgerwise {
namespace platform {

const char kProgramName[] = "ledgerwise";
const int kFailureExitCode = 1;
// A terminal stays open after a program ends.
const bool kWaitsForKeyByDefault = false;

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

int64_t ModifiedOf(const struct stat& st) {
  return int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
}

// /proc, /sys and their like hold files that are regular to fstat but
// block (/proc/kmsg) or never end (/proc/self/pagemap): never a log.
#if defined(__linux__)
bool IsPseudoFileSystem(const struct statfs& fs) {
  switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case BPF_FS_MAGIC:
      return true;
    default:
      return false;
  }
}
#endif

bool OnPseudoFileSystem(int fd) {
#if defined(__linux__)
  struct statfs fs;
  return ::fstatfs(fd, &fs) == 0 && IsPseudoFileSystem(fs);
#else
  (void)fd;
  return false;
#endif
}

bool OnPseudoFileSystem(const std::string& path) {
#if defined(__linux__)
  struct statfs fs;
  return ::statfs(path.c_str(), &fs) == 0 && IsPseudoFileSystem(fs);
#else
  (void)path;
  return false;
#endif
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

// A stop asked for by a signal while watching: noted, and the wait woken
// through a pipe. The second signal ends the run at once.
volatile std::sig_atomic_t gStopRequested = 0;
int gStopPipe[2] = {-1, -1};

void NoteStop(int signal) {
  if (gStopRequested) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  gStopRequested = 1;
  if (gStopPipe[1] >= 0) {
    char byte = 1;
    ssize_t ignored = ::write(gStopPipe[1], &byte, 1);
    (void)ignored;
  }
}

class PosixEnv : public Env {
 public:
  ~PosixEnv() override {
    if (inotify_ >= 0) ::close(inotify_);
  }
  char Separator() const override { return '/'; }

  FolderSearch FindDataFolder(std::vector<std::string>* folders) override {
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
    folders->clear();
    for (const std::string& candidate : candidates) {
      if (KindOfPath(candidate) == EntryKind::Folder) {
        folders->assign(1, candidate);
        return FolderSearch::Found;
      }
      folders->push_back(candidate);
    }
    return FolderSearch::DataFolderMissing;
  }

  EntryKind KindOf(const std::string& path) override { return KindOfPath(path); }

  bool LookUp(const std::string& path, LogFileInfo* info) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *info = {"", int64_t{st.st_size}, ModifiedOf(st)};
    return true;
  }

  bool EnsureFolder(const std::string& path) override {
    if (KindOfPath(path) == EntryKind::Folder) return true;
    return ::mkdir(path.c_str(), 0777) == 0 ||
           (errno == EEXIST && KindOfPath(path) == EntryKind::Folder);
  }

  Listing ListLogFiles(const std::string& folder, std::vector<LogFileInfo>* logs) override {
    logs->clear();
    // A log elsewhere than its folder's device came by a link, and may lead
    // into /proc: skipped like a device, whether it could be opened or not.
    struct stat here;
    if (::stat(folder.c_str(), &here) != 0) here.st_dev = 0;
    Listing listing = ReadFolder(folder, [&](int folderFd, const std::string& name) {
      // Looked up in the open folder, not by its whole path: a watching
      // run lists thousands of logs every second.
      struct stat st;
      if (!EndsWithLogSuffix(name) || ::fstatat(folderFd, name.c_str(), &st, 0) != 0 ||
          !S_ISREG(st.st_mode) ||
          (st.st_dev != here.st_dev && OnPseudoFileSystem(folder + "/" + name))) {
        return;
      }
      logs->push_back({name, int64_t{st.st_size}, ModifiedOf(st)});
    });
    // Byte order: the names are dates.
    std::sort(logs->begin(), logs->end(),
              [](const LogFileInfo& a, const LogFileInfo& b) { return a.name < b.name; });
    return listing;
  }

  bool ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    names->clear();
    return ReadFolder(folder, [names](int, const std::string& name) { names->push_back(name); }) ==
           Listing::Complete;
  }

  std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override {
    // Non-blocking, so a FIFO that took the log's place cannot hold the run
    // in open(), and it stays so: a regular file ignores it, and a pseudo
    // file that got past the checks below fails its read instead of
    // holding it. What is opened is checked before a byte is read.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      *status = errno == EMFILE || errno == ENFILE ? LogOpen::OutOfHandles : LogOpen::Failed;
      return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || OnPseudoFileSystem(fd)) {
      ::close(fd);
      *status = LogOpen::NotAFile;
      return nullptr;
    }
    *status = LogOpen::Opened;
    return std::make_unique<FdLogSource>(fd);
  }

  std::unique_ptr<FolderLock> LockFolder(const std::string& folder, bool wait,
                                         Lock* result) override {
    // flock needs no more than a read-only descriptor: a lock file left by
    // another user (one sudo run) still serves.
    std::string path = folder + "/ledgerwise.lock";
    int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      if (fd >= 0) ::close(fd);
      *result = Lock::Unavailable;
      return nullptr;
    }
    int locked;
    while ((locked = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    if (locked == 0) {
      *result = Lock::Taken;
      return std::make_unique<FlockFolderLock>(fd);
    }
    *result = errno == EWOULDBLOCK ? Lock::Busy : Lock::Unavailable;
    ::close(fd);
    return nullptr;
  }

  void RemoveLeftover(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
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

  void WriteConsole(ConsoleStream stream, const std::string& text) override {
    std::FILE* to = stream == ConsoleStream::Error ? stderr : stdout;
    // Each line in order on a terminal that shows both streams.
    if (to == stderr) std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
  }

  bool IsInteractive() override {
    // A run in the background of a terminal must not touch it: setting its
    // modes would stop the run until it is brought to the foreground.
    return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDOUT_FILENO) == 1 &&
           ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
  }

  void WaitForKey() override;

  FolderWait WaitForChange(const std::string& folder, int milliseconds) override;

  void CatchStop() override {
    if (gStopPipe[0] < 0 && ::pipe(gStopPipe) == 0) {
      for (int fd : gStopPipe) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
      for (int fd : gStopPipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action = {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
  }

  bool StopRequested() override { return gStopRequested != 0; }

  int64_t SteadyMilliseconds() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  // The folder's change notifications, set up on the first wait and again
  // after the folder went away; -1 where there are none.
  bool WatchFolder(const std::string& folder);
  int inotify_ = -1;
  int watch_ = -1;

  // Hands the open folder and every entry's name but "." and ".." to `visit`.
  template <typename Visit>
  static Listing ReadFolder(const std::string& folder, Visit visit);
  static void SyncFolderOf(const std::string& path);
};

template <typename Visit>
Listing PosixEnv::ReadFolder(const std::string& folder, Visit visit) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return Listing::Unreadable;
  // readdir returns nullptr both at the end and on an error; only errno
  // tells them apart (and the visit may set it).
  errno = 0;
  while (const struct dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") visit(::dirfd(dir), name);
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
    *tempPath = TemporaryPath(beside, random());
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

bool PosixEnv::WatchFolder(const std::string& folder) {
#if defined(__linux__)
  if (inotify_ < 0) inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify_ < 0) return false;
  if (watch_ < 0) {
    const uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
    watch_ = ::inotify_add_watch(inotify_, folder.c_str(), kEvents);
  }
  return watch_ >= 0;
#else
  (void)folder;
  return false;
#endif
}

FolderWait PosixEnv::WaitForChange(const std::string& folder, int milliseconds) {
  bool notified = WatchFolder(folder);
  struct pollfd fds[2] = {{gStopPipe[0], POLLIN, 0}, {notified ? inotify_ : -1, POLLIN, 0}};
  int ready;
  while ((ready = ::poll(fds, 2, milliseconds)) < 0 && errno == EINTR && !gStopRequested) {
  }
  char stops[64];
  while (gStopPipe[0] >= 0 && ::read(gStopPipe[0], stops, sizeof stops) > 0) {
  }
  if (!notified) return FolderWait::Blind;
  if (ready <= 0 || !(fds[1].revents & POLLIN)) return FolderWait::Quiet;
  bool changed = false;
  ssize_t got;
  alignas(struct inotify_event) char drain[4096];
  while ((got = ::read(inotify_, drain, sizeof drain)) > 0) {
    changed = true;
#if defined(__linux__)
    // The folder itself went away or moved: watch it afresh when it is back.
    for (char* p = drain; p < drain + got;) {
      const struct inotify_event* event = reinterpret_cast<const struct inotify_event*>(p);
      if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
        ::inotify_rm_watch(inotify_, watch_);
        watch_ = -1;
      }
      p += sizeof(struct inotify_event) + event->len;
    }
#endif
  }
  return changed ? FolderWait::Changed : FolderWait::Quiet;
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
  char key[64];
  while (::read(STDIN_FILENO, key, 1) < 0 && errno == EINTR) {
  }
  // The rest of what the key sent (an arrow key is three bytes or more),
  // so none of it reaches the shell after the program ends: whatever
  // follows within a tenth of a second, then anything still queued.
  struct pollfd more = {STDIN_FILENO, POLLIN, 0};
  while (::poll(&more, 1, 100) == 1 && (more.revents & POLLIN) &&
         ::read(STDIN_FILENO, key, sizeof key) > 0) {
  }
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &gSavedTerminal);
  for (int s : kEndingSignals) std::signal(s, SIG_DFL);
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

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
