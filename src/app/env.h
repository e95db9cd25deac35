// Everything the run asks of the system, behind one interface: the data
// folder, the logs, the output folder and its pages, the console, the clock
// and the key wait. platform_posix.cpp and platform_win32.cpp implement it;
// tests drive the whole run through one that lives in memory.
#ifndef LEDGERWISE_APP_ENV_H_
#define LEDGERWISE_APP_ENV_H_

#include <cstdint>
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
  DataFolderMissing,     // none of the per-user data folders exists
};

enum class EntryKind { Missing, Folder, File, Other };

enum class Listing {
  Complete,
  Unreadable,  // the folder could not be opened
  Incomplete,  // the listing failed part way; the names read so far are kept
};

// One log as the listing saw it. Size and time tell a changed file from an
// unchanged one without opening it.
struct LogFileInfo {
  std::string name;  // the name alone, without the folder
  int64_t size = 0;
  int64_t modified = 0;  // in the system's own units; only compared

  bool operator==(const LogFileInfo& other) const {
    return name == other.name && size == other.size && modified == other.modified;
  }
};

enum class LogOpen {
  Opened,
  NotAFile,  // a FIFO, a device, a pseudo file: skipped like one at listing
  Failed,
  OutOfHandles,  // the process or system is out of descriptors; try later
};

enum class Lock {
  Taken,
  Busy,         // another run holds it (only when not waiting)
  Unavailable,  // it cannot be taken at all (a read-only folder, a folder in its place)
  Interrupted,  // the wait for another run was broken off (Ctrl+C)
};

// The exclusive lock that keeps two runs from writing one folder at once;
// released when destroyed.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

enum class ConsoleStream { Out, Error };

// How a wait for a change in a folder ended.
enum class FolderWait {
  Changed,  // the system told of a change: the listing is worth a look now
  Quiet,    // the system watches and told of none
  Blind,    // the system cannot tell (no notifications, or the folder is gone)
};

class Env : public FileSystem {
 public:
  // Between a folder and a name.
  virtual char Separator() const = 0;

  // Finds the folder the game writes its logs to. When found, `folders`
  // holds it alone; otherwise the folders that were tried, in order (none
  // when no folder could even be named).
  virtual FolderSearch FindDataFolder(std::vector<std::string>* folders) = 0;

  virtual EntryKind KindOf(const std::string& path) = 0;

  // The size and modification time of a file or folder (its name left
  // empty); false when there is none. A folder's time changes as entries
  // come and go in it.
  virtual bool LookUp(const std::string& path, LogFileInfo* info) = 0;

  // Creates the folder unless it exists; false when it neither existed nor
  // could be made.
  virtual bool EnsureFolder(const std::string& path) = 0;

  // The regular files in `folder` whose name ends in ".log" in any letter
  // case, in ascending byte order of their names.
  virtual Listing ListLogFiles(const std::string& folder, std::vector<LogFileInfo>* logs) = 0;

  // Every entry name in `folder`, in no particular order; false when the
  // folder cannot be listed.
  virtual bool ListFolder(const std::string& folder, std::vector<std::string>* names) = 0;

  // Opens a log for reading, read-only and sharing it with a writer. Only
  // a regular file on a disk is opened; anything else is refused without
  // blocking on it, and no read of it blocks.
  virtual std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) = 0;

  // Takes the run lock of `folder`. With `wait` false it gives up at once
  // when another run holds it; with `wait` true it waits for that run to
  // end. nullptr unless `*result` is Lock::Taken.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& folder, bool wait,
                                                 Lock* result) = 0;

  // Removes a temporary file a killed run left behind: only a regular file,
  // never a link or what a link points to.
  virtual void RemoveLeftover(const std::string& path) = 0;

  virtual LocalTime Now() = 0;

  // True when the console takes UTF-8 text; otherwise it takes Shift_JIS.
  // Either way the platform may convert what it is given for the device.
  virtual bool ConsoleWantsUtf8() = 0;
  // Writes text to standard output or standard error; "\n" ends a line.
  virtual void WriteConsole(ConsoleStream stream, const std::string& text) = 0;

  // For a run that follows the folder while the game writes (--watch):
  // waits until `folder` may have changed, `milliseconds` pass or a stop is
  // asked for, whichever comes first.
  virtual FolderWait WaitForChange(const std::string& folder, int milliseconds) = 0;
  // From now on Ctrl+C, a closed console window or a hang-up asks the run to
  // stop instead of ending it; a second one ends it at once.
  virtual void CatchStop() = 0;
  virtual bool StopRequested() = 0;
  // A clock that only goes forward, for spacing the rewrites.
  virtual int64_t SteadyMilliseconds() = 0;

  // True when a key wait can keep a window open: standard input and output
  // are both the console, and the run is in the terminal's foreground.
  virtual bool IsInteractive() = 0;
  // Waits for one key, unbuffered and unechoed, and takes all it sent.
  virtual void WaitForKey() = 0;
};

namespace platform {

// The name the banner shows.
extern const char kProgramName[];

// The exit code of a failed run: -1 on Windows, 1 elsewhere.
extern const int kFailureExitCode;

// Whether a run waits for a key at its end unless told otherwise: on
// Windows, where a double-clicked program's window closes with it.
extern const bool kWaitsForKeyByDefault;

// The command line, program name first; on Windows in UTF-8 whatever the
// code page, so that any folder name reaches the program whole, and with
// "\" between the names of a path ("/?" aside), so that a folder given as
// "Z:/logs/" is shown as the paths the run prints after it ("Z:\logs").
std::vector<std::string> Arguments(int argc, char** argv);

// Process-wide settings made once at start: signals that must not end a run
// half way (a vanished console reader, a file size limit), console modes.
void InitProcess();

// The system's own.
std::unique_ptr<Env> NewEnv();

}  // namespace platform
}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_ENV_H_
