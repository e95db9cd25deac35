// Windows. Inside the program every path and name is UTF-8; it becomes
// UTF-16 only at the system's wide-character calls, so a folder or a log of
// any name is found and opened whatever the code page. The console gets
// Shift_JIS where the game's own console did (a code page 932 console, and
// output redirected to a file or a pipe, byte for byte as before) and UTF-16
// on any other console.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// <windows.h> maps WriteConsole to WriteConsoleW; ours is the platform call.
#undef WriteConsole
#include <conio.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "app/device_names.h"
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
const wchar_t kGameKey[] = L"Software\\Halvik\\Brumbel";
const wchar_t kInstallPathValue[] = L"Install Path";

// Where the game keeps its data on every Windows but the 9x line, and, where
// that does not exist, the same folder under the roaming application data
// (a Wine prefix has no "Application Data" junction).
const wchar_t kProfileDataFolder[] = L"%userprofile%\\Application Data\\Halvik\\Brumbel";
const wchar_t kGameFolderInAppData[] = L"\\Halvik\\Brumbel";
const DWORD kDataFolderCapacity = 512;

const char kLockName[] = "ledgerwise.lock";
// How often a run waiting for another run tries the lock again.
const DWORD kLockRetryMilliseconds = 50;

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the 148-byte record");

std::wstring Wide(const std::string& utf8) {
  int size = static_cast<int>(utf8.size());
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(const wchar_t* wide, size_t size) {
  int units = static_cast<int>(size);
  int length = WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::string Utf8(const wchar_t* wide) { return Utf8(wide, std::wcslen(wide)); }

// Code page 932 bytes, a character outside the code page as one "?". The
// converter alone would give a "?" for each half of a character beyond the
// 16-bit range (𠮷), and without WC_NO_BEST_FIT_CHARS an "e" for "é".
std::string ShiftJis(const std::wstring& text) {
  std::wstring single;
  single.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    single += pair ? L'?' : text[i];
    i += pair ? 1 : 0;
  }
  int units = static_cast<int>(single.size());
  int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, single.data(), units, nullptr, 0, "?",
                                   nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, single.data(), units, bytes.data(), length, "?",
                      nullptr);
  return bytes;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool EndsWithLogSuffix(const wchar_t* name) {
  size_t length = std::wcslen(name);
  if (length < 4) return false;
  const wchar_t* suffix = name + length - 4;
  return suffix[0] == L'.' && (suffix[1] | 0x20) == L'l' && (suffix[2] | 0x20) == L'o' &&
         (suffix[3] | 0x20) == L'g';
}

// A folder given on the command line as the system writes paths: "Z:/logs/"
// is shown as "Z:\logs", so that the paths printed after it read as one.
std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  auto isRoot = [&path] { return path.size() == 1 || (path.size() == 3 && path[1] == ':'); };
  while (path.size() > 1 && path.back() == '\\' && !isRoot()) path.pop_back();
  return path;
}

// The game's install folder from the registry, or an empty string. Read at
// most once per process: a later call is answered from the cache as long as
// it holds a folder, so the registry sees one query however often the
// folder is asked for.
std::string GetInstallFolder() {
  static wchar_t cache[MAX_PATH];
  if (cache[0] != L'\0') return Utf8(cache);

  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kGameKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    cache[0] = L'\0';
    return "";
  }
  DWORD type = REG_NONE;
  DWORD size = sizeof cache;
  LONG status = RegQueryValueExW(key, kInstallPathValue, nullptr, &type,
                                 reinterpret_cast<BYTE*>(cache), &size);
  RegCloseKey(key);

  // The registry does not promise a terminator: a value that fills the whole
  // cache without one is a path longer than Windows allows, not a folder.
  const DWORD capacity = MAX_PATH;
  DWORD units = size / sizeof(wchar_t);
  bool usable = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && units > 0 &&
                (units < capacity || cache[capacity - 1] == L'\0');
  if (!usable) {
    cache[0] = L'\0';
    return "";
  }
  cache[std::min(units, capacity - 1)] = L'\0';

  // One trailing backslash goes, so "folder\*.log" never gets two in a row.
  size_t length = std::wcslen(cache);
  if (length > 0 && cache[length - 1] == L'\\') cache[length - 1] = L'\0';
  return Utf8(cache);
}

EntryKind KindOfPath(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::Missing
                                                                          : EntryKind::Other;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
  return attributes & FILE_ATTRIBUTE_DEVICE ? EntryKind::Other : EntryKind::File;
}

// "%userprofile%\Application Data\Halvik\Brumbel" expanded, or as it is
// when it cannot be: the message then names what was looked for.
std::wstring ProfileDataFolder() {
  wchar_t expanded[kDataFolderCapacity];
  DWORD needed = ExpandEnvironmentStringsW(kProfileDataFolder, expanded, kDataFolderCapacity);
  return needed == 0 || needed > kDataFolderCapacity ? kProfileDataFolder : expanded;
}

// The game's folder in the roaming application data, or nothing.
std::wstring AppDataFolder() {
  wchar_t appData[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
    return L"";
  }
  return appData + std::wstring(kGameFolderInAppData);
}

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
    std::string installFolder = GetInstallFolder();
    if (installFolder.empty()) return FolderSearch::InstallFolderUnknown;
    folders->assign(1, installFolder);
    return KindOfPath(installFolder) == EntryKind::Folder ? FolderSearch::Found
                                                          : FolderSearch::InstallFolderMissing;
  }

  // Since Vista "Application Data" is a junction to AppData\Roaming, so both
  // name one folder; where one exists without the other, it is the game's.
  std::vector<std::wstring> candidates = {ProfileDataFolder()};
  std::wstring appData = AppDataFolder();
  if (!appData.empty() && !SameText(appData, candidates[0])) candidates.push_back(appData);
  for (const std::wstring& candidate : candidates) {
    std::string folder = Utf8(candidate.data(), candidate.size());
    if (KindOfPath(folder) == EntryKind::Folder) {
      folders->assign(1, folder);
      return FolderSearch::Found;
    }
    folders->push_back(folder);
  }
  return FolderSearch::DataFolderMissing;
}

// The full path the system resolved `handle` to, links followed; empty when
// it cannot say.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return L"";
    if (length < path.size()) return path.substr(0, length);
    path.resize(length);
  }
}

// Whether the open file is a plain file that stands in `folder` under the
// name `name`, rather than reached through a link. Windows marks a link as a
// reparse point; under Wine a host symbolic link is none, and opening it
// follows it, but the handle's final path then names the link's target
// instead of the folder's own entry. The folder itself may be a link (an
// analyze folder kept elsewhere): its own final path is the one compared.
bool IsPlainFileIn(HANDLE file, const std::string& folder, const std::string& name) {
  BY_HANDLE_FILE_INFORMATION info;
  const DWORD notPlain =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & notPlain) != 0) {
    return false;
  }
  HANDLE dir = CreateFileW(Wide(folder).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (dir == INVALID_HANDLE_VALUE) return false;
  std::wstring expected = FinalPath(dir);
  CloseHandle(dir);
  std::wstring actual = FinalPath(file);
  return !expected.empty() && !actual.empty() && SameText(actual, expected + L'\\' + Wide(name));
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The lock file, read-only (LockFileEx needs no more, so a lock file the
// user cannot write still serves) and never through a link. A missing one is
// made with CREATE_NEW, which creates nothing through a dangling link: the
// entry exists, so the creation fails.
HANDLE OpenLockFile(const std::string& folder) {
  std::wstring path = Wide(folder + '\\' + kLockName);
  for (int attempt = 0; attempt < 2; ++attempt) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      if (IsPlainFileIn(handle, folder, kLockName)) return handle;
      CloseHandle(handle);
      return INVALID_HANDLE_VALUE;
    }
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return INVALID_HANDLE_VALUE;
    handle = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    // Made by another run in between: open that one.
    if (GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

// Ctrl+C, Ctrl+Break and the console's end (a closed window, logoff,
// shutdown), as the run takes them; the console calls the handler on a
// thread of its own. A one-shot run listens only while it waits for another
// run's lock: Ctrl+C ends that wait, and anywhere else ends the run as it
// always did. A watching run listens from CatchStop on: the first event asks
// it to stop (and ends a lock wait it is in), a second Ctrl+C ends it at once.
std::atomic<bool> gWatching{false};
std::atomic<bool> gStopAsked{false};
HANDLE gStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set with gStopAsked, to wake a wait
HANDLE gLockWaitInterrupted = CreateEventW(nullptr, TRUE, FALSE, nullptr);

BOOL WINAPI OnConsoleEvent(DWORD event) {
  bool key = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  if (!gWatching) {
    if (key) SetEvent(gLockWaitInterrupted);
    return key;
  }
  // The second: the system's own handler ends the process.
  if (gStopAsked.exchange(true) && key) return FALSE;
  SetEvent(gLockWaitInterrupted);
  SetEvent(gStop);
  if (key) return TRUE;
  // The system ends the process as soon as this returns (and after a few
  // seconds anyway): held until the watch has written its last outputs and
  // the run has exited, which ends this thread with it.
  Sleep(INFINITE);
  return TRUE;
}

// Tries the lock until it is had, or, when waiting, until Ctrl+C. A blocking
// LockFileEx could not be broken off by the key (and under Wine an
// overlapped one never completes), so the wait tries again at short
// intervals, listening for the key in between.
Lock TakeLock(HANDLE handle, bool wait) {
  bool listen = wait && !gWatching;  // a watching run listens all along
  if (wait) ResetEvent(gLockWaitInterrupted);
  if (listen) SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  Lock result;
  for (;;) {
    OVERLAPPED whole = {};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
      result = Lock::Taken;
      break;
    }
    DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      result = Lock::Unavailable;
      break;
    }
    if (!wait) {
      result = Lock::Busy;
      break;
    }
    if (WaitForSingleObject(gLockWaitInterrupted, kLockRetryMilliseconds) == WAIT_OBJECT_0) {
      result = Lock::Interrupted;
      break;
    }
  }
  if (listen) SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  return result;
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

// Hands every entry of `folder` that matches `pattern` to `visit`, until the
// listing ends.
template <typename Visit>
Listing FindEntries(const std::string& folder, const wchar_t* pattern, Visit visit) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((Wide(folder) + pattern).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    // No match is an empty folder, not a broken one.
    return GetLastError() == ERROR_FILE_NOT_FOUND ? Listing::Complete : Listing::Unreadable;
  }
  Listing listing = Listing::Complete;
  do {
    visit(entry);
    if (!FindNextFileW(find, &entry)) {
      if (GetLastError() != ERROR_NO_MORE_FILES) listing = Listing::Incomplete;
      break;
    }
  } while (true);
  FindClose(find);
  return listing;
}

// What tells one folder from another: the same name may come to stand for
// another folder (one moved away and a new one made, a drive swapped).
struct FolderId {
  DWORD volume = 0, high = 0, low = 0;
  bool operator==(const FolderId& o) const {
    return volume == o.volume && high == o.high && low == o.low;
  }
};

// The folder `path` names now; false when it names none. Only the folder's
// attributes are asked for, which no other opener's sharing can refuse.
bool IdentifyFolder(const std::string& path, FolderId* id) {
  HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool folder = GetFileInformationByHandle(handle, &info) &&
                (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  CloseHandle(handle);
  if (folder) *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return folder;
}

// The system's change notifications on the data folder: names, sizes and
// last writes of the files in it (the game adding to its log, a new day's
// log). A notification handle stays with the folder it was made for, even
// moved away or deleted, so before each wait the name is checked to still
// stand for that folder, and the watch is made anew when it does not.
class FolderWatch {
 public:
  FolderWatch() = default;
  ~FolderWatch() { Stop(); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  enum class State {
    Watching,
    Started,  // just now: what changed before it is not told
    Blind,    // no folder of that name, or the system cannot watch it
  };
  State Follow(const std::string& folder) {
    FolderId id;
    if (!IdentifyFolder(folder, &id)) {
      Stop();
      return State::Blind;
    }
    if (change_ != INVALID_HANDLE_VALUE && folder == folder_ && id == id_) return State::Watching;
    Stop();
    const DWORD kWhat =
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
    change_ = FindFirstChangeNotificationW(Wide(folder).c_str(), FALSE, kWhat);
    if (change_ == INVALID_HANDLE_VALUE) return State::Blind;
    folder_ = folder;
    id_ = id;
    return State::Started;
  }
  // Signalled when a change was told.
  HANDLE changed() const { return change_; }
  // After a change was told: on to the next one, or, when the system can no
  // longer tell, made anew by the next Follow.
  void Next() {
    if (!FindNextChangeNotification(change_)) Stop();
  }

 private:
  void Stop() {
    if (change_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change_);
    change_ = INVALID_HANDLE_VALUE;
  }
  HANDLE change_ = INVALID_HANDLE_VALUE;
  std::string folder_;
  FolderId id_;
};

class Win32Env : public Env {
 public:
  char Separator() const override { return '\\'; }
  FolderSearch FindDataFolder(std::vector<std::string>* folders) override {
    return FindDataFolderOnWindows(folders);
  }
  EntryKind KindOf(const std::string& path) override { return KindOfPath(path); }

  bool LookUp(const std::string& path, LogFileInfo* info) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return false;
    int64_t size = int64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    int64_t modified =
        int64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    *info = {"", size, modified};
    return true;
  }

  bool EnsureFolder(const std::string& path) override {
    if (KindOfPath(path) == EntryKind::Folder) return true;
    if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return true;
    // Made by someone else in between: as good as made here.
    return GetLastError() == ERROR_ALREADY_EXISTS && KindOfPath(path) == EntryKind::Folder;
  }

  Listing ListLogFiles(const std::string& folder, std::vector<LogFileInfo>* logs) override;

  bool ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    names->clear();
    return FindEntries(folder, L"\\*", [names](const WIN32_FIND_DATAW& entry) {
             std::string name = Utf8(entry.cFileName);
             if (name != "." && name != "..") names->push_back(name);
           }) == Listing::Complete;
  }

  std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override {
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
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
    HANDLE handle = OpenLockFile(folder);
    if (handle == INVALID_HANDLE_VALUE) {
      *result = Lock::Unavailable;
      return nullptr;
    }
    *result = TakeLock(handle, wait);
    if (*result == Lock::Taken) return std::make_unique<HandleFolderLock>(handle);
    CloseHandle(handle);
    return nullptr;
  }

  // Deleted through the handle that was checked, so what is deleted is what
  // was found to be a plain file of this folder.
  void RemoveLeftover(const std::string& path) override {
    size_t cut = path.rfind('\\');
    if (cut == std::string::npos) return;
    HANDLE handle = CreateFileW(Wide(path).c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    if (IsPlainFileIn(handle, path.substr(0, cut), path.substr(cut + 1))) {
      FILE_DISPOSITION_INFO gone = {TRUE};
      SetFileInformationByHandle(handle, FileDispositionInfo, &gone, sizeof gone);
    }
    CloseHandle(handle);
  }

  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override;

  bool Replace(const std::string& from, const std::string& to) override {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  void Remove(const std::string& path) override {
    if (!path.empty()) DeleteFileW(Wide(path).c_str());
  }

  LocalTime Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }

  // The messages and names come as UTF-8; WriteConsole makes of them what
  // the device takes.
  bool ConsoleWantsUtf8() override { return true; }

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

  FolderWait WaitForChange(const std::string& folder, int milliseconds) override;

  void CatchStop() override {
    gWatching = true;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  }

  bool StopRequested() override { return gStopAsked; }

  int64_t SteadyMilliseconds() override { return static_cast<int64_t>(GetTickCount64()); }

 private:
  // Whether standard output and error are a console: asked once each, as
  // asking costs a round trip to the console (under Wine, to its server) per
  // message.
  int isConsole_[2] = {-1, -1};
  FolderWatch watch_;
};

Listing Win32Env::ListLogFiles(const std::string& folder, std::vector<LogFileInfo>* logs) {
  logs->clear();
  Listing listing = FindEntries(folder, L"\\*.log", [logs](const WIN32_FIND_DATAW& entry) {
    // The pattern is also matched against 8.3 aliases, which lets
    // "x.logfile" (alias X~1.LOG) through; only the long name counts.
    const DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    if ((entry.dwFileAttributes & notAFile) != 0 || !EndsWithLogSuffix(entry.cFileName)) return;
    // Opening a device name reaches the device, which may not be there (an
    // open error that would fail the run) or may be a port; such a name is
    // never listed. The file-type check when a log is opened catches any
    // other device.
    std::string name = Utf8(entry.cFileName);
    if (IsDeviceName(name)) return;
    int64_t size = int64_t{entry.nFileSizeHigh} << 32 | entry.nFileSizeLow;
    int64_t modified =
        int64_t{entry.ftLastWriteTime.dwHighDateTime} << 32 | entry.ftLastWriteTime.dwLowDateTime;
    logs->push_back({std::move(name), size, modified});
  });
  // NTFS lists in its own collation and FAT in creation order; byte order
  // puts the dated names in date order on both.
  std::sort(logs->begin(), logs->end(),
            [](const LogFileInfo& a, const LogFileInfo& b) { return a.name < b.name; });
  return listing;
}

FolderWait Win32Env::WaitForChange(const std::string& folder, int milliseconds) {
  DWORD timeout = static_cast<DWORD>(std::max(milliseconds, 0));
  switch (watch_.Follow(folder)) {
    case FolderWatch::State::Blind:
      WaitForSingleObject(gStop, timeout);
      return FolderWait::Blind;
    case FolderWatch::State::Started:
      return FolderWait::Changed;  // the game may have written before
    case FolderWatch::State::Watching:
      break;
  }
  HANDLE either[] = {gStop, watch_.changed()};
  if (WaitForMultipleObjects(2, either, FALSE, timeout) != WAIT_OBJECT_0 + 1) {
    return FolderWait::Quiet;
  }
  watch_.Next();
  return FolderWait::Changed;
}

std::unique_ptr<WritableFile> Win32Env::CreateTemporary(const std::string& beside,
                                                        std::string* tempPath) {
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
    HANDLE handle = CreateFileW(Wide(*tempPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return std::make_unique<Win32File>(handle);
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  tempPath->clear();
  return nullptr;
}

void Win32Env::WriteConsole(ConsoleStream stream, const std::string& utf8) {
  // Each "\n" goes out as CR LF, the line end of the C runtime's text mode,
  // made here so the bytes are the same on a console, a pipe or a file.
  std::string text;
  text.reserve(utf8.size() + 8);
  for (char c : utf8) {
    if (c == '\n') text += '\r';
    text += c;
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
  std::wstring wide = Wide(text);
  if (isConsole == 1 && GetConsoleOutputCP() != 932) {
    // A console in any other code page would draw Shift_JIS bytes as
    // garbage; it gets the text as UTF-16, every character whole.
    DWORD written = 0;
    WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // One WriteFile per message rather than the C runtime's stream: stdout on
  // a console is unbuffered, an unbuffered stream may pass its bytes on one
  // at a time (Wine's runtime does), and a console that gets the lead and
  // trail byte of a Shift_JIS character in separate writes draws two wrong
  // characters instead of one right one.
  std::string bytes = ShiftJis(wide);
  const char* data = bytes.data();
  size_t left = bytes.size();
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
  // The C runtime's argv is in the ANSI code page, where a folder named
  // outside it arrives as "???"; the command line itself is UTF-16.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) {
    std::string arg = Utf8(wide[i]);
    // No name holds a "/", so only "/?" is not a path.
    args.push_back(i == 0 || arg == "/?" ? arg : WithBackslashes(arg));
  }
  LocalFree(wide);
  return args;
}

void InitProcess() {}

std::unique_ptr<Env> NewEnv() { return std::make_unique<Win32Env>(); }

}  // namespace platform
}  // namespace ledgerwise
