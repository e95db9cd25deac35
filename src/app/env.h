// Everything the run asks of the system, behind one interface: the data
// folder, the logs, the output folder and its pages, the console, the clock
// and the key wait. platform_posix.cpp and platform_win32.cpp implement it;
// tests drive the whole run through one that lives in memory.
#ifndef LEDGERWISE_APP_ENV_H_
#define LEDGERWISE_APP_ENV_H_

#include <memory>
#include <string>
#include <vector>

#include "log/calendar.h"
#include "log/log_source.h"
#include "util/file_system.h"

namespace ledgerwise {

// How looking for the game's data folder ended.
enum class FolderSearch {
  Found,
  VersionUnknown,        // the OS version query failed
  InstallFolderUnknown,  // no install folder in the registry
  InstallFolderMissing,  // the registry names a folder that does not exist
  DataFolderMissing,     // the per-user data folder does not exist
};

enum class EntryKind { Missing, Folder, File, Other };

enum class Listing {
  Complete,
  Unreadable,  // the folder could not be opened
  Incomplete,  // the listing failed part way; the names read so far are kept
};

enum class LogOpen {
  Opened,
  NotAFile,  // a FIFO, a device, a folder: skipped like one at listing
  Failed,
};

// The exclusive lock that keeps two runs from writing one folder at once.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

class Env : public FileSystem {
 public:
  // Between a folder and a name.
  virtual char Separator() const = 0;

  // Finds the folder the game writes its logs to. `path` is the folder found
  // or, on failure, the one that was tried (empty when none was).
  virtual FolderSearch FindDataFolder(std::string* path) = 0;

  virtual EntryKind KindOf(const std::string& path) = 0;

  // Creates the folder unless it exists; false when it neither existed nor
  // could be made.
  virtual bool EnsureFolder(const std::string& path) = 0;

  // The regular files in `folder` whose name ends in ".log" in any letter
  // case, in ascending byte order.
  virtual Listing ListLogFiles(const std::string& folder, std::vector<std::string>* names) = 0;

  // Every entry name in `folder`, in no particular order; false when the
  // folder cannot be listed.
  virtual bool ListFolder(const std::string& folder, std::vector<std::string>* names) = 0;

  // Opens a log for reading. Only a regular file is opened; anything else is
  // refused without blocking on it.
  virtual std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) = 0;

  // Takes the run lock of `folder`. With `wait` false it gives up at once
  // when another run holds it (`*busy` set); with `wait` true it waits for
  // that run to end. nullptr without `*busy` when no lock can be had there
  // at all (a read-only folder): the run then goes on unlocked, as the
  // page writes will report what fails.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& folder, bool wait,
                                                 bool* busy) = 0;

  virtual LocalTime Now() = 0;

  // True when the console expects UTF-8 rather than Shift_JIS text.
  virtual bool ConsoleWantsUtf8() = 0;
  // Writes bytes to standard output unchanged; "\n" ends a line.
  virtual void WriteConsole(const std::string& bytes) = 0;

  // True when standard input is an interactive console a key can be read from.
  virtual bool StdinIsConsole() = 0;
  virtual void WaitForKey() = 0;
};

namespace platform {

// The name the banner shows.
extern const char kProgramName[];

// The exit code of a failed run: -1 on Windows, 1 elsewhere.
extern const int kFailureExitCode;

// Process-wide settings made once at start: signals that must not end a run
// half way (a vanished console reader, a file size limit), console modes.
void InitProcess();

// The system's own.
std::unique_ptr<Env> NewEnv();

}  // namespace platform
}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_ENV_H_
