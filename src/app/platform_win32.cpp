// Windows. Paths are bytes in the ANSI code page and go to the "A" functions
// as they are: a Shift_JIS folder name on a Japanese system must reach the
// file system exactly as the game wrote it, so nothing here converts text.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// <windows.h> maps WriteConsole to WriteConsoleA; ours is the platform call.
#undef WriteConsole
#include <conio.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "app/env.h"
#include "app/temporary_name.h"

namespace ledgerwise {
namespace platform {

const char kProgramName[] = "Ledgerwise.exe";
const int kFailureExitCode = -1;
// A double-clicked program's window closes with it.
const bool kWaitsForKeyByDefault = true;

namespace {

// The registry key and value the game's installer leaves behind.
const char kGameKey[] = "Software\\Halvik\\Brumbel";
const char kInstallPathValue[] = "Install Path";

// Where the game keeps its data on every Windows but the 9x line.
const char kProfileDataFolder[] = "%userprofile%\\Application Data\\Halvik\\Brumbel";
const DWORD kDataFolderCapacity = 512;

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the 148-byte record");

bool EndsWithLogSuffix(const char* name) {
  size_t length = std::strlen(name);
  if (length < 4) return false;
  const char* suffix = name + length - 4;
  // ASCII-only folding: a Shift_JIS trail byte never equals '.', so the
  // suffix test cannot be fooled by a double-byte character.
  return suffix[0] == '.' && (suffix[1] | 0x20) == 'l' && (suffix[2] | 0x20) == 'o' &&
         (suffix[3] | 0x20) == 'g';
}

// "AUX.log" or "COM1.log" names a device, not a file, on Windows, whatever
// the folder says. Such a name is never listed: opening it reaches the
// device, which may not be there (an open error that would fail the run) or
// may be a port. The file-type check when a log is opened catches any other
// device.
bool IsDeviceName(const char* name) {
  std::string base(name, std::strlen(name) - 4);
  for (char& c : base) c = static_cast<char>(c & ~0x20);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// The game's install folder from the registry, or nullptr. Read at most once
// per process: a later call is answered from the cache as long as it holds a
// folder, so the registry sees one query however often the folder is asked
// for.
const char* GetInstallFolder() {
  static char cache[MAX_PATH];
  if (cache[0] != '\0') return cache;

  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kGameKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    cache[0] = '\0';
    return nullptr;
  }
  DWORD type = REG_NONE;
  DWORD size = sizeof cache;
  LONG status = RegQueryValueExA(key, kInstallPathValue, nullptr, &type,
                                 reinterpret_cast<BYTE*>(cache), &size);
  RegCloseKey(key);

  // The registry does not promise a terminator: a value that fills the whole
  // cache without one is a path longer than Windows allows, not a folder.
  bool usable = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 &&
                (size < sizeof cache || cache[sizeof cache - 1] == '\0');
  if (!usable) {
    cache[0] = '\0';
    return nullptr;
  }
  cache[std::min<DWORD>(size, sizeof cache - 1)] = '\0';

  // One trailing backslash goes, so "folder\*.log" never gets two in a row.
  size_t length = std::strlen(cache);
  if (length > 0 && cache[length - 1] == '\\') cache[length - 1] = '\0';
  return cache[0] != '\0' ? cache : nullptr;
}

class Win32File : public WritableFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool Append(std::string_view data) override {
    while (!data.empty()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, data.data(), chunk, &written, nullptr) || written == 0) return false;
      data.remove_prefix(written);
    }
    return true;
  }
  bool Close() override {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    // A page the user opens right after the run must be complete on disk;
    // a flush failure is the last chance to hear about a full volume.
    bool flushed = FlushFileBuffers(handle) != 0;
    bool closed = CloseHandle(handle) != 0;
    return flushed && closed;
  }

 private:
  HANDLE handle_;
};

class HandleLogSource : public LogSource {
 public:
  explicit HandleLogSource(HANDLE handle) : handle_(handle) {}
  ~HandleLogSource() override { CloseHandle(handle_); }
  int64_t Read(char* buffer, size_t size) override {
    DWORD got = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!ReadFile(handle_, buffer, chunk, &got, nullptr)) return -1;
    return got;
  }

 private:
  HANDLE handle_;
};

class HandleFolderLock : public FolderLock {
 public:
  explicit HandleFolderLock(HANDLE handle) : handle_(handle) {}
  ~HandleFolderLock() override { CloseHandle(handle_); }  // closing releases the lock

 private:
  HANDLE handle_;
};

FolderSearch FindDataFolderOnWindows(std::vector<std::string>* folders) {
  folders->clear();
  OSVERSIONINFOA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  // Deprecated since Windows 8.1 (MinGW's headers do not mark it), and still
  // the call that tells the 9x line, whose data lives in the install folder,
  // from the NT line.
  if (!GetVersionExA(&version)) return FolderSearch::VersionUnknown;

  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    const char* installFolder = GetInstallFolder();
    if (installFolder == nullptr) return FolderSearch::InstallFolderUnknown;
    folders->assign(1, installFolder);
    return PathFileExistsA(installFolder) ? FolderSearch::Found
                                          : FolderSearch::InstallFolderMissing;
  }

  char expanded[kDataFolderCapacity];
  DWORD needed = ExpandEnvironmentStringsA(kProfileDataFolder, expanded, kDataFolderCapacity);
  if (needed == 0 || needed > kDataFolderCapacity) {
    // Nothing usable came back; the message names what was looked for.
    folders->assign(1, kProfileDataFolder);
    return FolderSearch::DataFolderMissing;
  }
  folders->assign(1, expanded);
  return PathFileExistsA(expanded) ? FolderSearch::Found : FolderSearch::DataFolderMissing;
}

EntryKind KindOfPath(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::Missing
                                                                          : EntryKind::Other;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
  return attributes & FILE_ATTRIBUTE_DEVICE ? EntryKind::Other : EntryKind::File;
}

// Hands every entry of `folder` that matches `pattern` to `visit`, until the
// listing ends.
template <typename Visit>
Listing FindEntries(const std::string& folder, const char* pattern, Visit visit) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + pattern).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    // No match is an empty folder, not a broken one.
    return GetLastError() == ERROR_FILE_NOT_FOUND ? Listing::Complete : Listing::Unreadable;
  }
  Listing listing = Listing::Complete;
  do {
    visit(entry);
    if (!FindNextFileA(find, &entry)) {
      if (GetLastError() != ERROR_NO_MORE_FILES) listing = Listing::Incomplete;
      break;
    }
  } while (true);
  FindClose(find);
  return listing;
}

// A stop asked for while watching: Ctrl+C, Ctrl+Break, a closed window.
HANDLE gStopEvent = nullptr;

BOOL WINAPI NoteStop(DWORD) {
  SetEvent(gStopEvent);
  return TRUE;
}

class Win32Env : public Env {
 public:
  char Separator() const override { return '\\'; }
  FolderSearch FindDataFolder(std::vector<std::string>* folders) override {
    return FindDataFolderOnWindows(folders);
  }
  EntryKind KindOf(const std::string& path) override { return KindOfPath(path); }

  bool LookUp(const std::string& path, LogFileInfo* info) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    int64_t size = int64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    int64_t modified =
        int64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    *info = {"", size, modified};
    return true;
  }

  bool EnsureFolder(const std::string& path) override {
    if (KindOfPath(path) == EntryKind::Folder) return true;
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    // Made by someone else in between: as good as made here.
    return GetLastError() == ERROR_ALREADY_EXISTS && KindOfPath(path) == EntryKind::Folder;
  }

  Listing ListLogFiles(const std::string& folder, std::vector<LogFileInfo>* logs) override {
    logs->clear();
    Listing listing = FindEntries(folder, "\\*.log", [logs](const WIN32_FIND_DATAA& entry) {
      // The pattern is also matched against 8.3 aliases, which lets
      // "x.logfile" (alias X~1.LOG) through; only the long name counts.
      const DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
      if ((entry.dwFileAttributes & notAFile) != 0 || !EndsWithLogSuffix(entry.cFileName) ||
          IsDeviceName(entry.cFileName)) {
        return;
      }
      int64_t size = int64_t{entry.nFileSizeHigh} << 32 | entry.nFileSizeLow;
      int64_t modified =
          int64_t{entry.ftLastWriteTime.dwHighDateTime} << 32 | entry.ftLastWriteTime.dwLowDateTime;
      logs->push_back({entry.cFileName, size, modified});
    });
    // NTFS lists in its own collation and FAT in creation order; byte order
    // puts the dated names in date order on both.
    std::sort(logs->begin(), logs->end(),
              [](const LogFileInfo& a, const LogFileInfo& b) { return a.name < b.name; });
    return listing;
  }

  bool ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    names->clear();
    return FindEntries(folder, "\\*", [names](const WIN32_FIND_DATAA& entry) {
             names->push_back(entry.cFileName);
           }) == Listing::Complete;
  }

  std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      *status =
          GetLastError() == ERROR_TOO_MANY_OPEN_FILES ? LogOpen::OutOfHandles : LogOpen::Failed;
      return nullptr;
    }
    // A pipe or a device that took the log's place would block the read.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
      CloseHandle(handle);
      *status = LogOpen::NotAFile;
      return nullptr;
    }
    *status = LogOpen::Opened;
    return std::make_unique<HandleLogSource>(handle);
  }

  std::unique_ptr<FolderLock> LockFolder(const std::string& folder, bool wait,
                                         Lock* result) override {
    std::string path = folder + "\\ledgerwise.lock";
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      *result = Lock::Unavailable;
      return nullptr;
    }
    OVERLAPPED whole = {};
    DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (LockFileEx(handle, flags, 0, 1, 0, &whole)) {
      *result = Lock::Taken;
      return std::make_unique<HandleFolderLock>(handle);
    }
    DWORD error = GetLastError();
    *result =
        error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Lock::Busy : Lock::Unavailable;
    CloseHandle(handle);
    return nullptr;
  }

  void RemoveLeftover(const std::string& path) override { DeleteFileA(path.c_str()); }

  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override {
    // random_device alone was not random on every MinGW runtime; the process
    // id and the counter keep two runs apart even then.
    std::random_device seed;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    std::mt19937_64 random(uint64_t(seed()) ^ (uint64_t(GetCurrentProcessId()) << 32) ^
                           uint64_t(counter.QuadPart));
    for (int attempt = 0; attempt < 100; ++attempt) {
      *tempPath = TemporaryPath(beside, random());
      // CREATE_NEW fails on any existing entry of that name, a planted link
      // included, so the page is only ever written into a file made here.
      HANDLE handle = CreateFileA(tempPath->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) return std::make_unique<Win32File>(handle);
      DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    tempPath->clear();
    return nullptr;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  void Remove(const std::string& path) override {
    if (!path.empty()) DeleteFileA(path.c_str());
  }

  LocalTime Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }

  // The messages are Shift_JIS; a console in another code page gets them
  // converted to UTF-16 on the way (see WriteConsole).
  bool ConsoleWantsUtf8() override { return false; }

  void WriteConsole(ConsoleStream stream, const std::string& text) override;

  // Only when both are the console: a prompt must not hide in a file.
  bool IsInteractive() override {
    DWORD mode;
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE}) {
      HANDLE handle = GetStdHandle(which);
      if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return false;
    }
    return true;
  }

  void WaitForKey() override { _getch(); }

  FolderWait WaitForChange(const std::string&, int milliseconds) override {
    if (stop_ != nullptr) {
      WaitForSingleObject(stop_, static_cast<DWORD>(milliseconds));
    } else {
      Sleep(static_cast<DWORD>(milliseconds));
    }
    return FolderWait::Blind;
  }

  void CatchStop() override {
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    gStopEvent = stop_;
    SetConsoleCtrlHandler(NoteStop, TRUE);
  }

  bool StopRequested() override {
    return stop_ != nullptr && WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0;
  }

  int64_t SteadyMilliseconds() override { return static_cast<int64_t>(GetTickCount64()); }

 private:
  // Whether standard output and error are a console: asked once each, as
  // asking costs a round trip to the console (under Wine, to its server) per
  // message.
  int isConsole_[2] = {-1, -1};
  HANDLE stop_ = nullptr;  // set when a stop is asked for
};

void Win32Env::WriteConsole(ConsoleStream stream, const std::string& bytes) {
  // Each "\n" goes out as CR LF, the line end of the C runtime's text mode,
  // made here so the bytes are the same on a console, a pipe or a file.
  // No Shift_JIS trail byte is 0x0A, so every LF byte is a line end.
  std::string out;
  out.reserve(bytes.size() + 8);
  for (char c : bytes) {
    if (c == '\n') out += '\r';
    out += c;
  }
  std::fflush(stdout);
  bool error = stream == ConsoleStream::Error;
  HANDLE output = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  int& isConsole = isConsole_[error ? 1 : 0];
  if (isConsole < 0) {
    DWORD mode;
    isConsole = GetConsoleMode(output, &mode) ? 1 : 0;
  }
  if (isConsole == 1 && GetConsoleOutputCP() != 932) {
    // A console in any other code page would draw the Shift_JIS bytes as
    // garbage; it gets the same text as UTF-16. Redirected output keeps
    // the exact bytes.
    int length = MultiByteToWideChar(932, 0, out.data(), static_cast<int>(out.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, out.data(), static_cast<int>(out.size()), &wide[0], length);
    DWORD written = 0;
    WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // One WriteFile per message rather than the C runtime's stream: stdout on
  // a console is unbuffered, an unbuffered stream may pass its bytes on one
  // at a time (Wine's runtime does), and a console that gets the lead and
  // trail byte of a Shift_JIS character in separate writes draws two wrong
  // characters instead of one right one.
  const char* data = out.data();
  size_t left = out.size();
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(output, data, static_cast<DWORD>(left), &written, nullptr) || written == 0)
      return;
    data += written;
    left -= written;
  }
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void InitProcess() {}

std::unique_ptr<Env> NewEnv() { return std::make_unique<Win32Env>(); }

}  // namespace platform
}  // namespace ledgerwise
