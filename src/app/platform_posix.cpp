// Linux and macOS, for players who run the game under Wine: the data folder
// is looked for in the Wine prefix, the console is a terminal.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include "app/platform.h"

namespace ledgerwise {
namespace platform {

const char kPathSeparator = '/';
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

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

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
    }
    return true;
  }
  bool Close() override {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override {
    std::random_device seed;
    std::mt19937_64 random(seed() ^ (uint64_t(::getpid()) << 32));
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                    static_cast<unsigned long long>(random()));
      *tempPath = beside + suffix;
      // O_EXCL with O_CREAT never follows or reuses an existing entry.
      int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
      if (fd >= 0) return std::make_unique<PosixFile>(fd);
      if (errno != EEXIST) break;
    }
    tempPath->clear();
    return nullptr;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }
  void Remove(const std::string& path) override {
    if (!path.empty()) ::unlink(path.c_str());
  }
};

}  // namespace

FolderSearch FindDataFolder(std::string* path) {
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
    if (IsDirectory(candidate)) {
      *path = candidate;
      return FolderSearch::Found;
    }
  }
  *path = candidates[0];
  return FolderSearch::DataFolderMissing;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EnsureDirectory(const std::string& path) {
  if (IsDirectory(path)) return true;
  return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && IsDirectory(path));
}

bool ListLogFiles(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const struct dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (EndsWithLogSuffix(name) && IsRegularFile(folder + "/" + name)) names->push_back(name);
  }
  ::closedir(dir);
  std::sort(names->begin(), names->end());  // byte order: the names are dates
  return true;
}

LocalTime CurrentLocalTime() {
  std::time_t now = std::time(nullptr);
  struct tm local;
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool StdinIsConsole() { return ::isatty(STDIN_FILENO) == 1; }

void WaitForKey() {
  // One key, unbuffered and unechoed.
  struct termios saved;
  if (::tcgetattr(STDIN_FILENO, &saved) != 0) return;
  struct termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char key;
  while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

bool ConsoleWantsUtf8() {
  // The first of LC_ALL, LC_CTYPE and LANG that is set decides, as in C.
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    std::string value = Environment(name);
    if (value.empty()) continue;
    std::transform(value.begin(), value.end(), value.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return value.find("utf-8") != std::string::npos || value.find("utf8") != std::string::npos;
  }
  return false;
}

void WriteConsole(const std::string& bytes) {
  // A reader of the output that went away must not end the run before the
  // pages are written; the failed console write is simply lost.
  static const bool kPipeSignalIgnored = (std::signal(SIGPIPE, SIG_IGN), true);
  (void)kPipeSignalIgnored;
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::unique_ptr<FileSystem> NewFileSystem() {
  // Past a file size limit (ulimit -f) a write must fail with EFBIG like any
  // full disk, not kill the run between a page's temporary file and its
  // rename and leave the rest of the report unwritten.
  std::signal(SIGXFSZ, SIG_IGN);
  return std::make_unique<PosixFileSystem>();
}

}  // namespace platform
}  // namespace ledgerwise
