#pragma once
// Runs a Unix program (such as xdotool) from a Windows test under Wine and
// waits up to ten seconds for it; false when it could not start.
#include <windows.h>

#include <string>

namespace testing_support {

inline bool RunUnix(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace testing_support
