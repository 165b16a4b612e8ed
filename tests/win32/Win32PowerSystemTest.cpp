// These operations on the real system, limited to what is safe to call for real.
// GuardedPowerSystem passes harmless calls on to the real Win32 implementation and
// only records those with an effect beyond this process (ending the session,
// suspending, locking, broadcasts, starting programs, service status).
#include <windows.h>
#undef ExitWindows  // the ISystemActions member, not the user32 macro

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "actions/BoundFunctions.h"
#include "actions/PowerActions.h"
#include "actions/Privileges.h"
#include "platform/PowerSystem.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;

namespace {

class GuardedPowerSystem final : public platform::IPowerSystem {
 public:
  platform::IPowerSystem& real = platform::DefaultPowerSystem();
  // Calls that were kept from the system, and the addresses bound calls used.
  std::vector<std::string> withheld;
  std::map<std::string, platform::ProcAddress> calledThrough;
  // Runs when ExitWindowsEx would have been called.
  std::function<void()> atExit;

  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
    char text[64];
    std::snprintf(text, sizeof text, "ExitWindowsEx(0x%X, 0x%X)", flags, reason);
    withheld.push_back(text);
    if (atExit) atExit();
    return true;
  }
  platform::WindowHandle FindWindowA(const char* className, const char* title) override {
    return real.FindWindowA(className, title);
  }
  bool SendMessageTimeoutA(platform::WindowHandle, std::uint32_t message, std::uintptr_t,
                           std::intptr_t, std::uint32_t, std::uint32_t) override {
    withheld.push_back("SendMessageTimeoutA " + std::to_string(message));
    return true;
  }
  bool PostMessageA(platform::WindowHandle, std::uint32_t message, std::uintptr_t,
                    std::intptr_t) override {
    withheld.push_back("PostMessageA " + std::to_string(message));
    return true;
  }
  std::uint32_t WinExec(const char* commandLine, std::uint32_t) override {
    withheld.push_back(std::string("WinExec ") + commandLine);
    return 33;
  }
  bool OpenCurrentProcessToken(std::uint32_t access, platform::TokenHandle& token) override {
    return real.OpenCurrentProcessToken(access, token);
  }
  bool CloseHandle(platform::TokenHandle handle) override { return real.CloseHandle(handle); }
  std::uint32_t GetLastError() override { return real.GetLastError(); }
  platform::ModuleHandle LoadLibraryA(const char* name) override { return real.LoadLibraryA(name); }
  platform::ProcAddress GetProcAddress(platform::ModuleHandle module, const char* name) override {
    return real.GetProcAddress(module, name);
  }
  bool FreeLibrary(platform::ModuleHandle module) override { return real.FreeLibrary(module); }
  bool CallLockWorkStation(platform::ProcAddress function) override {
    calledThrough["LockWorkStation"] = function;
    return true;
  }
  bool CallSetSuspendState(platform::ProcAddress function, bool, bool, bool) override {
    calledThrough["SetSuspendState"] = function;
    return true;
  }
  bool CallSetLayeredWindowAttributes(platform::ProcAddress function, platform::WindowHandle window,
                                      std::uint32_t colorKey, std::uint8_t alpha,
                                      std::uint32_t flags) override {
    calledThrough["SetLayeredWindowAttributes"] = function;
    return real.CallSetLayeredWindowAttributes(function, window, colorKey, alpha, flags);
  }
  bool CallSetServiceStatus(platform::ProcAddress function, platform::ServiceStatusHandle,
                            platform::ServiceStatusRecord&) override {
    calledThrough["SetServiceStatus"] = function;
    return true;
  }
  bool CallLookupPrivilegeValue(platform::ProcAddress function, const char* systemName,
                                const char* name, platform::Luid& luid) override {
    calledThrough["LookupPrivilegeValueA"] = function;
    return real.CallLookupPrivilegeValue(function, systemName, name, luid);
  }
  bool CallAdjustTokenPrivileges(platform::ProcAddress function, platform::TokenHandle token,
                                 bool disableAll, const platform::PrivilegeRecord* newState,
                                 std::uint32_t bufferLength, platform::PrivilegeRecord* previous,
                                 std::uint32_t* returnLength) override {
    calledThrough["AdjustTokenPrivileges"] = function;
    return real.CallAdjustTokenPrivileges(function, token, disableAll, newState, bufferLength,
                                          previous, returnLength);
  }
  long CallSHCopyKey(platform::ProcAddress function, platform::RegKey source, const char* subkey,
                     platform::RegKey target, std::uint32_t reserved) override {
    calledThrough["SHCopyKeyA"] = function;
    return real.CallSHCopyKey(function, source, subkey, target, reserved);
  }
};

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

platform::ProcAddress RealAddress(const char* library, const char* function) {
  return reinterpret_cast<platform::ProcAddress>(
      GetProcAddress(GetModuleHandleA(library), function));
}

class Win32PowerSystemTest : public ::testing::Test {
 protected:
  GuardedPowerSystem guarded;
  platform::ScopedPowerSystem guard{guarded};
};

TEST_F(Win32PowerSystemTest, LockSuspendAndServiceStatusBindTheRealFunctionsUncalled) {
  EXPECT_TRUE(DynLockWorkStation());
  EXPECT_EQ(guarded.calledThrough.at("LockWorkStation"),
            RealAddress("user32.dll", "LockWorkStation"));
  ASSERT_NE(guarded.calledThrough.at("LockWorkStation"), 0u);

  platform::ServiceStatusRecord status{0x10, 4, 1, 0, 0, 0, 0};
  EXPECT_TRUE(DynSetServiceStatus(0, status));
  EXPECT_EQ(guarded.calledThrough.at("SetServiceStatus"),
            RealAddress("advapi32.dll", "SetServiceStatus"));

  // The power-profile library is not linked: the call loads it, and releases
  // it again afterwards. Held here so that its address can be compared.
  const bool loadedBefore = GetModuleHandleA("powrprof.dll") != nullptr;
  EXPECT_TRUE(DynSetSuspendState(false, false, false));
  if (!loadedBefore) {
    EXPECT_EQ(GetModuleHandleA("powrprof.dll"), nullptr);
  }
  HMODULE held = LoadLibraryA("powrprof.dll");
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(DynSetSuspendState(true, true, true));
  EXPECT_EQ(guarded.calledThrough.at("SetSuspendState"),
            reinterpret_cast<platform::ProcAddress>(GetProcAddress(held, "SetSuspendState")));
  FreeLibrary(held);
  EXPECT_TRUE(guarded.withheld.empty());
}

TEST_F(Win32PowerSystemTest, GenericBinderCodesOnTheRealSystem) {
  const auto call = [](platform::IPowerSystem&, platform::ProcAddress address) { return address; };
  const auto codeOf = [&](const BoundFunction& bound) {
    try {
      CallBoundFunction(bound, call);
    } catch (const AttachableAPIException& e) {
      return e.code;
    }
    return -1;
  };
  EXPECT_EQ(codeOf({"User32.dll", "Vesperon_NoSuchFunction", 0, 100}), 3);
  EXPECT_EQ(codeOf({"Vesperon_NoSuchLibrary.dll", "LockWorkStation", 0, 100}), 2);
  EXPECT_EQ(codeOf({"User32.dll", "LockWorkStation", 0, 0}), 0);
  // shlwapi exports no "SHCopyKey", only the A and W functions: the reason
  // kBoundSHCopyKey binds "SHCopyKeyA".
  EXPECT_EQ(codeOf({"shlwapi.dll", "SHCopyKey", 0, 100}), 3);
  EXPECT_EQ(codeOf({"shlwapi.dll", kBoundSHCopyKey.function, 0, 100}), -1);
}

// The exit request with the real token: SeShutdownPrivilege is enabled at
// the moment of the (withheld) ExitWindowsEx and gone from the token after.
TEST_F(Win32PowerSystemTest, ExitRequestEnablesAndRemovesTheShutdownPrivilegeForReal) {
  testsupport::DeleteSettingsRoot();
  ASSERT_GE(TokenAttributes("SeShutdownPrivilege"), 0);
  long long atExit = -9;
  guarded.atExit = [&] { atExit = TokenAttributes("SeShutdownPrivilege"); };
  ExitWindowsWithSettings(kExitReboot);
  EXPECT_EQ(guarded.withheld, (std::vector<std::string>{"ExitWindowsEx(0x12, 0x80040001)"}));
  EXPECT_EQ(atExit & SE_PRIVILEGE_ENABLED, SE_PRIVILEGE_ENABLED);
  EXPECT_EQ(TokenAttributes("SeShutdownPrivilege"), -1);
  // A second request cannot enable it any more and makes no request.
  guarded.withheld.clear();
  try {
    ExitWindowsWithSettings(kExitReboot);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.code, kPrivilegeNotAssigned);
  }
  EXPECT_TRUE(guarded.withheld.empty());
  testsupport::DeleteSettingsRoot();
}

}  // namespace

// The shell restart names its program without a folder. A program of that
// name planted beside ours must not be the one started: the real WinExec is
// asked for a harmless planted copy, which only the program's folder holds.
TEST(Win32PlantedProgramTest, BareProgramNamesStartFromTheWindowsFolderOnly) {
  char self[MAX_PATH] = {}, system[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  std::string planted(self);
  planted.resize(planted.find_last_of('\\') + 1);
  planted += "VesperonPlantedProgram.exe";
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\hostname.exe").c_str(), planted.c_str(), FALSE));
  const std::uint32_t started =
      platform::DefaultPowerSystem().WinExec("VesperonPlantedProgram.exe", SW_HIDE);
  DeleteFileA(planted.c_str());
  EXPECT_LE(started, 31u) << "the copy beside the program was started";
}
