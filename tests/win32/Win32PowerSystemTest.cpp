// The power system on the real system, limited to what is safe to call for
// real: its bindings (found, never called), privilege changes of this
// process's token, and where programs are started from.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/PowerSystem.h"
#include "platform/win32/PowerFunctions.h"
#include "platform/win32/SystemLibrary.h"

namespace {

using platform::Binding;

// The attributes of a privilege in this process's token; -1 when the token
// does not hold it.
long long TokenAttributes(const char* name) {
  LUID luid{};
  if (!LookupPrivilegeValueA(nullptr, name, &luid)) return -2;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -3;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  long long found = -1;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
      if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
        found = entry.Attributes;
      }
    }
  }
  CloseHandle(token);
  return found;
}

TEST(Win32PowerSystemTest, EveryBoundFunctionIsFoundInTheSystemFolder) {
  const bool powrprofLoaded = GetModuleHandleA("powrprof.dll") != nullptr;
  const struct {
    platform::SystemFunction function;
    Binding binding;
  } rows[] = {
      // The privilege functions are bound by the privilege changes below, the
      // stand-by function by PlantedLibraryProbe's suspend path.
      {platform::kLockWorkStationFunction, Binding::kBound},
      {platform::kSetLayeredWindowAttributesFunction, Binding::kBound},
      {{"User32.dll", "Vesperon_NoSuchFunction"}, Binding::kFunctionMissing},
      {{"Vesperon_NoSuchLibrary.dll", "LockWorkStation"}, Binding::kLibraryMissing},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(platform::ProbeSystemFunction(row.function), row.binding)
        << row.function.library << "!" << row.function.name;
  }
  // The power-profile library is not linked: binding loads it and releases it again.
  if (!powrprofLoaded) {
    EXPECT_EQ(GetModuleHandleA("powrprof.dll"), nullptr);
  }
}

// Removed from the token for good: enabling it again reports that the token
// lacks it.
TEST(Win32PowerSystemTest, PrivilegeChangesAdjustThisProcessesToken) {
  using platform::PrivilegeChange;
  using platform::PrivilegeResult;
  const char* const name = "SeShutdownPrivilege";
  ASSERT_GE(TokenAttributes(name), 0);
  const struct {
    PrivilegeChange change;
    PrivilegeResult result;
    long long attributes;
  } rows[] = {
      {PrivilegeChange::kEnable, PrivilegeResult::kDone, SE_PRIVILEGE_ENABLED},
      {PrivilegeChange::kDisable, PrivilegeResult::kDone, 0},
      {PrivilegeChange::kRemove, PrivilegeResult::kDone, -1},
      {PrivilegeChange::kEnable, PrivilegeResult::kNotHeld, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.change));
    EXPECT_EQ(platform::DefaultPowerSystem().ChangePrivilege(platform::Privilege::kShutdown,
                                                             row.change),
              row.result);
    const long long attributes = TokenAttributes(name);
    EXPECT_EQ(attributes < 0 ? attributes : attributes & SE_PRIVILEGE_ENABLED, row.attributes);
  }
}

// A message posted to no window would go to this thread and end its loop.
TEST(Win32PowerSystemTest, WithoutAShellWindowNothingIsPosted) {
  if (FindWindowA("Progman", nullptr) != nullptr) GTEST_SKIP() << "a shell window is there";
  EXPECT_FALSE(platform::DefaultPowerSystem().QuitShell());
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace

// The shell is started by name. A program of that name planted beside ours
// must not be the one started: the real WinExec is asked for a harmless
// planted copy, which only the program's folder holds.
TEST(Win32PlantedProgramTest, ProgramsStartFromTheWindowsFolderOnly) {
  char self[MAX_PATH] = {}, system[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  std::string planted(self);
  planted.resize(planted.find_last_of('\\') + 1);
  planted += "VesperonPlantedProgram.exe";
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\hostname.exe").c_str(), planted.c_str(), FALSE));
  const bool started = platform::StartWindowsProgram("VesperonPlantedProgram.exe", SW_HIDE);
  DeleteFileA(planted.c_str());
  EXPECT_FALSE(started) << "the copy beside the program was started";
}
