// The Windows layer on a real file system (Wine's in CI), run by ctest once
// in code page 932 and once in 1252: any folder or log name reaches the
// system whole through the wide-character calls, the console bytes of a
// redirected run are the Shift_JIS ones, device names never get listed, and
// the data folder's watch tells what the game does and follows the folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/env.h"
#include "app/messages.h"
#include "app/temporary_name.h"

namespace ledgerwise {
namespace {

namespace fs = std::filesystem;

// A folder of this process's own under the temporary folder, taken away
// with all it holds at the end. Files are made here through "\\?\" paths,
// which reach the file system without the system reading a device name
// into them.
class Scratch {
 public:
  explicit Scratch(const std::string& name)
      : path_(::testing::TempDir() + "ledgerwise-" + std::to_string(GetCurrentProcessId()) + "-" +
              name) {
    fs::remove_all(Raw());
    fs::create_directory(Raw());
  }
  ~Scratch() { fs::remove_all(Raw()); }
  const std::string& path() const { return path_; }
  fs::path Raw(const std::string& name = "") const {
    return fs::u8path("\\\\?\\" + path_ + (name.empty() ? "" : "\\" + name));
  }
  void Make(const std::string& name) const {
    HANDLE file = CreateFileW(Raw(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    CloseHandle(file);
  }
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(Raw())) {
      names.push_back(entry.path().filename().wstring());
    }
    return names;
  }

 private:
  std::string path_;
};

std::string ReadAll(Env& env, const std::string& path) {
  LogOpen status;
  std::unique_ptr<LogSource> log = env.OpenLog(path, &status);
  EXPECT_EQ(status, LogOpen::Opened) << path;
  std::string bytes;
  char buffer[256];
  while (log) {
    int64_t got = log->Read(buffer, sizeof buffer);
    if (got <= 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

// ctest names the code page the Wine process is to have; the cases below
// only show something when the two runs really differ in it.
TEST(Win32Test, RunsInTheCodePageAskedFor) {
  const char* lang = std::getenv("LEDGERWISE_WINE_LANG");
  if (lang == nullptr) GTEST_SKIP() << "LEDGERWISE_WINE_LANG unset: not run by ctest";
  EXPECT_EQ(GetACP() == 932, std::string(lang).rfind("ja_JP", 0) == 0) << lang << " " << GetACP();
}

// A Japanese folder and names beyond code page 932 (𠮷 takes two UTF-16
// units, 😀 is in no Japanese code page), through every call that takes a
// path.
TEST(Win32Test, AnyFolderAndLogName) {
  Scratch scratch("names");
  std::unique_ptr<Env> env = platform::NewEnv();
  std::string folder = scratch.path() + "\\ブランベル 𠮷";
  ASSERT_TRUE(env->EnsureFolder(folder));
  EXPECT_EQ(env->KindOf(folder), EntryKind::Folder);
  EXPECT_EQ(scratch.Names(), std::vector<std::wstring>{L"ブランベル 𠮷"});

  const std::string logs[] = {"20050504.log", "20050505 😀.log"};
  for (const std::string& name : logs) {
    std::string temporary;
    std::unique_ptr<WritableFile> file = env->CreateTemporary(folder + "\\" + name, &temporary);
    ASSERT_NE(file, nullptr) << name;
    ASSERT_TRUE(file->Append("bytes of " + name));
    ASSERT_TRUE(file->Close());
    ASSERT_TRUE(env->Replace(temporary, folder + "\\" + name)) << name;
  }
  std::vector<LogFileInfo> listed;
  EXPECT_EQ(env->ListLogFiles(folder, &listed), Listing::Complete);
  ASSERT_EQ(listed.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(listed[i].name, logs[i]);
    EXPECT_EQ(env->KindOf(folder + "\\" + logs[i]), EntryKind::File);
    EXPECT_EQ(ReadAll(*env, folder + "\\" + logs[i]), "bytes of " + logs[i]);
  }

  std::string leftoverName = TemporaryPath("vslog 😀.html", 0xfedcba9876543210u);
  scratch.Make("ブランベル 𠮷\\" + leftoverName);
  std::string leftover = folder + "\\" + leftoverName;
  std::vector<std::string> entries;
  EXPECT_TRUE(env->ListFolder(folder, &entries));
  EXPECT_EQ(entries.size(), 3u);
  env->RemoveLeftover(leftover);
  EXPECT_EQ(env->KindOf(leftover), EntryKind::Missing);

  // The lock: one run at a time, and never a folder in its place.
  Lock first, second;
  std::unique_ptr<FolderLock> held = env->LockFolder(folder, false, &first);
  EXPECT_EQ(first, Lock::Taken);
  EXPECT_EQ(env->LockFolder(folder, false, &second), nullptr);
  EXPECT_EQ(second, Lock::Busy);
  held.reset();
  EXPECT_NE(env->LockFolder(folder, true, &second), nullptr);
  EXPECT_EQ(second, Lock::Taken);
  ASSERT_TRUE(env->EnsureFolder(scratch.path() + "\\ledgerwise.lock"));
  EXPECT_EQ(env->LockFolder(scratch.path(), false, &first), nullptr);
  EXPECT_EQ(first, Lock::Unavailable);
}

// Redirected output is the bytes it always was: each message's Shift_JIS,
// CR LF, and a character outside code page 932 as one "?".
TEST(Win32Test, RedirectedOutputIsShiftJis) {
  Scratch scratch("console");
  HANDLE file = CreateFileW(scratch.Raw("out.txt").c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // clang-format off
  const Message* messages[] = {
      &msg::kVersionQueryFailed, &msg::kInstallFolderUnknown, &msg::kInstallFolderMissing,
      &msg::kDataFolderMissing, &msg::kDataFolderArgumentHint, &msg::kNoLogFiles,
      &msg::kAnalyzing, &msg::kErrorLine, &msg::kWritingResults, &msg::kOutputFolderFailed,
      &msg::kDone, &msg::kPressAnyKey, &msg::kNotAFolder, &msg::kListingFailed,
      &msg::kSameDate, &msg::kWaitingForOtherRun, &msg::kOpenReport, &msg::kOpenDashboard,
      &msg::kOutOfMemory, &msg::kInputOpenFailed, &msg::kInputReadFailed,
      &msg::kOutputOpenFailed, &msg::kOutputWriteFailed, &msg::kFolderSearched,
      &msg::kLockUnavailable, &msg::kLockWaitInterrupted};
  // clang-format on
  std::string expected;
  {
    std::unique_ptr<Env> env = platform::NewEnv();
    ASSERT_TRUE(env->ConsoleWantsUtf8());
    HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, file);
    for (const Message* m : messages) {
      env->WriteConsole(ConsoleStream::Out, Render(*m, true, "C:\\ブランベル"));
      for (char c : Render(*m, false, "C:\\\x83\x75\x83\x89\x83\x93\x83\x78\x83\x8b")) {
        expected += c == '\n' ? "\r\n" : std::string(1, c);
      }
    }
    env->WriteConsole(ConsoleStream::Out, "  2005𠮷é.log\n");
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
  }
  expected += "  2005??.log\r\n";
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::string got(expected.size() + 16, '\0');
  DWORD read = 0;
  ReadFile(file, got.data(), static_cast<DWORD>(got.size()), &read, nullptr);
  got.resize(read);
  CloseHandle(file);
  EXPECT_EQ(got, expected);
}

// A log named like a device is never listed: opening it would reach the
// device (a port, or none, and the run fails). Every name of the table, in
// any case and with any extension, is DeviceNameTest's (run here too).
TEST(Win32Test, DeviceNamedLogsAreNeverListed) {
  Scratch scratch("devices");
  const char* names[] = {"AUX.log", "COM1.log", "CON.log", "con.txt.log", "Lpt9 .LOG", "COM³.log"};
  for (const char* name : names) scratch.Make(name);
  scratch.Make("20050504.log");
  ASSERT_EQ(scratch.Names().size(), std::size(names) + 1);
  std::unique_ptr<Env> env = platform::NewEnv();
  std::vector<LogFileInfo> listed;
  EXPECT_EQ(env->ListLogFiles(scratch.path(), &listed), Listing::Complete);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].name, "20050504.log");
}

// The game writing as it does (its log held open), and the folder going
// away and coming back, as the watch sees them in turn: each change told
// (given ten seconds), then nothing more once its notifications are taken.
// Without a folder of that name the watch is blind.
TEST(Win32Test, TheFolderWatchTellsWhatTheGameDoesAndFollowsTheFolder) {
  Scratch scratch("watch");
  std::unique_ptr<Env> env = platform::NewEnv();
  const std::string folder = scratch.path() + "\\data";
  ASSERT_TRUE(env->EnsureFolder(folder));
  HANDLE log = INVALID_HANDLE_VALUE;
  DWORD written;
  auto move = [&](const char* from, const char* to) {
    EXPECT_TRUE(MoveFileW(scratch.Raw(from).c_str(), scratch.Raw(to).c_str())) << from;
  };
  struct Step {
    const char* what;
    std::function<void()> change;
    FolderWait told;
  };
  const Step steps[] = {
      {"the watch begins: what came before is worth a look", [] {}, FolderWait::Changed},
      {"the day's log made, held so that no one else may open it",
       [&] {
         log = CreateFileW(scratch.Raw("data\\20050504.log").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
       },
       FolderWait::Changed},
      {"a line added, the log kept open", [&] { WriteFile(log, "line\r\n", 6, &written, nullptr); },
       FolderWait::Changed},
      {"looked up and listed, never opened: nothing the game does refuses it",
       [&] {
         LogFileInfo info;
         std::vector<LogFileInfo> listed;
         EXPECT_TRUE(env->LookUp(folder + "\\20050504.log", &info) && info.size == 6);
         EXPECT_EQ(env->ListLogFiles(folder, &listed), Listing::Complete);
         EXPECT_TRUE(listed.size() == 1 && listed[0].size == 6);
       },
       FolderWait::Quiet},
      {"the folder moved away", [&] { CloseHandle(log), move("data", "away"); }, FolderWait::Blind},
      {"back: watched again", [&] { move("away", "data"); }, FolderWait::Changed},
      {"a log made in it", [&] { scratch.Make("data\\20050505.log"); }, FolderWait::Changed},
      {"moved away and another folder made in its place between two waits: watched",
       [&] { move("data", "away"), CreateDirectoryW(scratch.Raw("data").c_str(), nullptr); },
       FolderWait::Changed},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    EXPECT_EQ(env->WaitForChange(folder, step.told == FolderWait::Changed ? 10000 : 100),
              step.told);
    FolderWait after = FolderWait::Changed;  // the rest of its notifications
    for (int tries = 0; tries < 50 && after == FolderWait::Changed; ++tries) {
      after = env->WaitForChange(folder, 200);
    }
    EXPECT_EQ(after, step.told == FolderWait::Blind ? step.told : FolderWait::Quiet);
  }
}

// A closed console window, delivered as the system delivers it: on a thread
// started at kernelbase's CtrlRoutine, whose return ends the process. The
// handler asks the watch to stop (which wakes its wait) and holds on while
// the run writes its last outputs and exits: here for two seconds, where a
// handler that let go would return at once. In a process of its own, as the
// stop is the whole process's.
TEST(Win32Test, AClosedConsoleStopsTheWatchAndHoldsOnUntilTheRunExits) {
  EXPECT_EXIT(
      {
        std::unique_ptr<Env> env = platform::NewEnv();
        env->CatchStop();
        auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
        HANDLE close = CreateThread(nullptr, 0, routine, reinterpret_cast<void*>(CTRL_CLOSE_EVENT),
                                    0, nullptr);
        env->WaitForChange("Z:\\nowhere", 600000);
        std::exit(env->StopRequested() && WaitForSingleObject(close, 2000) == WAIT_TIMEOUT ? 7 : 1);
      },
      ::testing::ExitedWithCode(7), "");  // not the system's own ending
}

}  // namespace
}  // namespace ledgerwise
