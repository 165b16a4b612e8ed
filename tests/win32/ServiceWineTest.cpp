// The service in Wine's own service manager: the program itself, installed
// as the service and started by the manager, answers the controls and ends
// when it is stopped.
// The service is always deleted at the end. (The "Run" value with the
// program's real path: StartupPageE2eTest.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/RegistryTestSupport.h"
#include "model/ModulePath.h"
#include "system/Service.h"

using namespace Vesperon;

namespace {

// Deletes the service "Vesperon", whatever a test left.
void Cleanup() {
  if (SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
    if (SC_HANDLE service = OpenServiceA(scm, "Vesperon", SERVICE_ALL_ACCESS)) {
      SERVICE_STATUS status{};
      ControlService(service, SERVICE_CONTROL_STOP, &status);
      DeleteService(service);
      CloseServiceHandle(service);
    }
    CloseServiceHandle(scm);
  }
}

class ServiceWineTest : public ::testing::Test {
 protected:
  void SetUp() override { Cleanup(); }
  void TearDown() override { Cleanup(); }
};

bool WaitForState(SC_HANDLE service, DWORD state) {
  SERVICE_STATUS status{};
  for (int i = 0; i < 400; ++i, Sleep(50)) {  // 20 s
    if (QueryServiceStatus(service, &status) && status.dwCurrentState == state) return true;
  }
  return false;
}

// The shipped program, installed as the service with the manager's settings
// the start-up choices need: it answers pause, continue and interrogate, and
// ends by itself when stopped. (Which choices install and remove it: the
// core's AutostartTest.)
TEST_F(ServiceWineTest, ProgramRunAsTheServiceEndsWhenStopped) {
  char full[MAX_PATH] = {};
  const std::string relative = GetModuleDirectory() + "\\..\\app\\Vesperon.exe";
  GetFullPathNameA(relative.c_str(), sizeof full, full, nullptr);
  ASSERT_NE(GetFileAttributesA(full), INVALID_FILE_ATTRIBUTES) << full;
  testsupport::DeleteSettingsRoot();
  InstallService(full);
  ASSERT_TRUE(IsServiceInstalled());

  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  ASSERT_NE(scm, nullptr);
  SC_HANDLE service = OpenServiceA(scm, "Vesperon", SERVICE_START | SERVICE_STOP | SERVICE_PAUSE_CONTINUE |
                                                        SERVICE_INTERROGATE | SERVICE_QUERY_STATUS |
                                                        SERVICE_QUERY_CONFIG);
  ASSERT_NE(service, nullptr);
  std::vector<char> buffer(8192);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  DWORD needed = 0;
  ASSERT_TRUE(QueryServiceConfigA(service, config, static_cast<DWORD>(buffer.size()), &needed))
      << GetLastError();
  EXPECT_EQ((std::vector<DWORD>{config->dwServiceType, config->dwStartType, config->dwErrorControl}),
            (std::vector<DWORD>{SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL}));
  EXPECT_STREQ(config->lpDisplayName, "Vesperon");
  EXPECT_EQ(config->lpBinaryPathName, ServiceCommandLine(full));
  ASSERT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();
  EXPECT_TRUE(WaitForState(service, SERVICE_RUNNING));
  SERVICE_STATUS_PROCESS process{};
  ASSERT_TRUE(QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                   reinterpret_cast<BYTE*>(&process), sizeof process, &needed));
  HANDLE program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                               FALSE, process.dwProcessId);
  ASSERT_NE(program, nullptr) << GetLastError();

  const struct {
    DWORD code;
    DWORD reported;
  } controls[] = {
      {SERVICE_CONTROL_PAUSE, SERVICE_PAUSED},
      {SERVICE_CONTROL_CONTINUE, SERVICE_RUNNING},
      {SERVICE_CONTROL_INTERROGATE, SERVICE_RUNNING},
      {SERVICE_CONTROL_STOP, SERVICE_STOPPED},
  };
  for (const auto& control : controls) {
    SCOPED_TRACE(control.code);
    SERVICE_STATUS status{};
    EXPECT_TRUE(ControlService(service, control.code, &status)) << GetLastError();
    EXPECT_TRUE(WaitForState(service, control.reported));
  }
  // It ends by itself, through its window's normal end (exit code 0), and
  // does not live on as the system account's program.
  EXPECT_EQ(WaitForSingleObject(program, 5000), WAIT_OBJECT_0);
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(program, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  if (exitCode == STILL_ACTIVE) TerminateProcess(program, 99);
  CloseHandle(program);
  CloseServiceHandle(service);
  CloseServiceHandle(scm);
  EXPECT_NO_THROW(RemoveService());
  EXPECT_FALSE(IsServiceInstalled());
  EXPECT_THROW(RemoveService(), ServiceException);
  testsupport::DeleteSettingsRoot();
}

}  // namespace
