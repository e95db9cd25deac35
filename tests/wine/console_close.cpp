// Closes the console window under a watching run, as the system does it,
// for the watch tests under Wine (whose own console never sends that event):
//
//   console_close.exe OUT READY_HEX PROGRAM [ARGUMENT...]
//
// Starts PROGRAM with its output to the file OUT and waits until OUT holds
// the bytes READY_HEX (hex). Then it delivers CTRL_CLOSE_EVENT the way the
// system does, on a thread started in the program at kernelbase's
// CtrlRoutine. The system ends a process whose handler returned from the
// close; here the program is held still (every other thread suspended) for
// two seconds, and ended if that thread returned meanwhile: a handler that
// lets go at once is caught before the run could have finished anyway.
// Then the program runs on to its end. Prints "held" when the handler held
// on, "let go" when the program was ended; exits 0, or 1 when the setup
// failed.
#include <windows.h>
// Needs <windows.h> before it.
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string FromHex(const char* hex) {
  std::string bytes;
  for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
    bytes += static_cast<char>(std::strtoul(std::string(hex + i, 2).c_str(), nullptr, 16));
  }
  return bytes;
}

std::wstring Quoted(const wchar_t* argument) { return L"\"" + std::wstring(argument) + L"\""; }

bool FileHolds(const wchar_t* path, const std::string& text) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes.find(text) != std::string::npos;
}

std::vector<HANDLE> SuspendAll(DWORD process) {
  std::vector<HANDLE> threads;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != process) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    if (thread != nullptr && SuspendThread(thread) != static_cast<DWORD>(-1)) {
      threads.push_back(thread);
    }
  }
  CloseHandle(snapshot);
  return threads;
}

int Setup(const char* what) {
  std::printf("setup failed: %s %lu\n", what, GetLastError());
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: console_close.exe OUT READY_HEX PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  std::string ready = FromHex(std::string(argv[2], argv[2] + wcslen(argv[2])).c_str());
  std::wstring command;
  for (int i = 3; i < argc; ++i) command += (i > 3 ? L" " : L"") + Quoted(argv[i]);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return Setup("output");
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = out;
  PROCESS_INFORMATION run;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &run)) {
    return Setup("start");
  }
  CloseHandle(out);
  while (!FileHolds(argv[1], ready)) {
    if (WaitForSingleObject(run.hProcess, 100) == WAIT_OBJECT_0) return Setup("ended early");
  }
  // Every system DLL sits at the same address in every process.
  auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
  if (routine == nullptr) return Setup("CtrlRoutine");
  std::vector<HANDLE> still = SuspendAll(run.dwProcessId);
  HANDLE close = CreateRemoteThread(run.hProcess, nullptr, 0, routine,
                                    reinterpret_cast<void*>(CTRL_CLOSE_EVENT), 0, nullptr);
  if (close == nullptr) return Setup("CreateRemoteThread");
  bool returned = WaitForSingleObject(close, 2000) == WAIT_OBJECT_0;
  if (returned) TerminateProcess(run.hProcess, 3);
  for (HANDLE thread : still) ResumeThread(thread);
  WaitForSingleObject(run.hProcess, INFINITE);
  std::printf("%s\n", returned ? "let go" : "held");
  return 0;
}
