// Writes a log as the game does, for the watch tests under Wine: the day's
// log held open for writing from start to end, sharing only reading, each
// piece added by one WriteFile.
//
//   game_writer.exe LOG
//
// Prints "open" once the log is open (made if missing, written at its end),
// then takes one command a line from standard input and answers each:
//   HEX         the bytes, added by one WriteFile    -> "wrote N"
//   unshared    opens the log a second time, letting nobody else read it:
//               only possible while no other program holds it open
//                                                    -> "unshared"
// At the end of input it closes the log and exits 0, or 1 when anything
// failed: any failure, a sharing violation above all, is printed as
// "failed WHAT ERROR" the moment it happens.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

bool failed = false;

void Fail(const char* what) {
  std::printf("failed %s %lu\n", what, GetLastError());
  std::fflush(stdout);
  failed = true;
}

void Say(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
  }
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: game_writer.exe LOG\n");
    return 2;
  }
  HANDLE log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) {
    Fail("open");
    return 1;
  }
  if (SetFilePointer(log, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) Fail("seek");
  Say("open");
  std::string command;
  while (std::getline(std::cin, command)) {
    if (command == "unshared") {
      HANDLE alone = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
      if (alone == INVALID_HANDLE_VALUE) {
        Fail("unshared");
        continue;
      }
      CloseHandle(alone);
      Say("unshared");
      continue;
    }
    std::string bytes = FromHex(command);
    DWORD written = 0;
    if (!WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      Fail("write");
      continue;
    }
    Say("wrote " + std::to_string(written));
  }
  if (!CloseHandle(log)) Fail("close");
  return failed ? 1 : 0;
}
