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
// A failure, a sharing violation above all, is answered "failed WHAT ERROR".
// At the end of input it closes the log and exits 0, or 1 when anything
// failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

bool failed = false;

void Answer(bool ok, const char* what, const std::string& done) {
  if (ok) {
    std::printf("%s\n", done.c_str());
  } else {
    std::printf("failed %s %lu\n", what, GetLastError());
  }
  std::fflush(stdout);
  failed = failed || !ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HANDLE log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  Answer(log != INVALID_HANDLE_VALUE &&
             SetFilePointer(log, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER,
         "open", "open");
  std::string command;
  while (std::getline(std::cin, command)) {
    if (command == "unshared") {
      HANDLE alone = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
      Answer(alone != INVALID_HANDLE_VALUE, "unshared", "unshared");
      CloseHandle(alone);
      continue;
    }
    std::string bytes;
    for (size_t i = 0; i + 1 < command.size(); i += 2) {
      bytes += static_cast<char>(std::strtoul(command.substr(i, 2).c_str(), nullptr, 16));
    }
    DWORD written = 0;
    Answer(WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size(),
           "write", "wrote " + std::to_string(written));
  }
  Answer(CloseHandle(log), "close", "closed");
  return failed ? 1 : 0;
}
