// start_and_close PROGRAM: starts an installed Vesperon.exe, waits for its
// main window and asks it to leave through the tray menu's Exit command, as
// a user would; never anything else, so no action can run. Exit code 0 when
// the program showed its window and then ended by itself.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT kTrayExitCommand = 169;

// The program's main window, once the started process has one.
HWND MainWindowOf(DWORD pid) {
  HWND window = FindWindowA("#32770", "Vesperon 3");
  DWORD owner = 0;
  if (window) GetWindowThreadProcessId(window, &owner);
  return owner == pid ? window : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: start_and_close PROGRAM\n");
    return 64;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + std::string(argv[1]) + "\"";
  if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    std::fprintf(stderr, "cannot start %s (%lu)\n", argv[1], GetLastError());
    return 2;
  }
  HWND main = nullptr;
  for (int i = 0; i < 400 && !main; ++i) {
    if (WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "the program ended before showing its window\n");
      return 3;
    }
    main = MainWindowOf(info.dwProcessId);
  }
  int result = 0;
  if (!main) {
    std::fprintf(stderr, "no main window after 20 s\n");
    result = 4;
  } else {
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kTrayExitCommand, 0), 0);
    if (WaitForSingleObject(info.hProcess, 15000) != WAIT_OBJECT_0) {
      std::fprintf(stderr, "the program did not end after Exit\n");
      result = 5;
    }
  }
  if (result != 0) {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
  } else {
    std::printf("started, showed \"Vesperon 3\" and ended on Exit\n");
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return result;
}
