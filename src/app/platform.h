// The platform calls the driver makes, one implementation per platform
// (platform_posix.cpp, platform_win32.cpp). Nothing outside src/app includes
// a system header of its own.
#ifndef LEDGERWISE_APP_PLATFORM_H_
#define LEDGERWISE_APP_PLATFORM_H_

#include <memory>
#include <string>
#include <vector>

#include "report/file_system.h"
#include "report/pages.h"

namespace ledgerwise {
namespace platform {

// The separator the platform writes between a folder and a name.
extern const char kPathSeparator;

// The name the banner shows.
extern const char kProgramName[];

// The exit code of a failed run: -1 on Windows, 1 elsewhere.
extern const int kFailureExitCode;

// How looking for the game's data folder ended.
enum class FolderSearch {
  Found,
  VersionUnknown,         // the OS version query failed
  InstallFolderUnknown,   // no install folder in the registry
  InstallFolderMissing,   // the registry names a folder that does not exist
  DataFolderMissing,      // the per-user data folder does not exist
};

// Finds the data folder the game writes its logs to. `path` is the folder
// found or, on failure, the one that was tried (empty when none was).
FolderSearch FindDataFolder(std::string* path);

bool IsDirectory(const std::string& path);

// Creates the folder unless it exists; false when it neither existed nor
// could be made.
bool EnsureDirectory(const std::string& path);

// The names of the regular files in `folder` whose name ends in ".log" in
// any letter case, in ascending byte order. False when the folder cannot be
// listed.
bool ListLogFiles(const std::string& folder, std::vector<std::string>* names);

LocalTime CurrentLocalTime();

// True when standard input is an interactive console that a key can be read
// from.
bool StdinIsConsole();
void WaitForKey();

// True when the console expects UTF-8 rather than Shift_JIS text.
bool ConsoleWantsUtf8();

// Writes bytes to standard output unchanged.
void WriteConsole(const std::string& bytes);

// The file system the page writers use.
std::unique_ptr<FileSystem> NewFileSystem();

}  // namespace platform
}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_PLATFORM_H_
