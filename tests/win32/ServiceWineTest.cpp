// Start-up entries and the service in Wine's own registry and service
// manager: the "Run" value carries the program's real path, the service is
// created as asked, and a probe built from the same code, started by the
// manager, runs as the service, answers pause, continue and interrogate and
// stops cleanly. The service is always deleted at the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "system/Autostart.h"
#include "system/ModulePath.h"
#include "system/Service.h"

using namespace Vesperon;

namespace {

// Deletes the service "Vesperon" and the "Run" value, whatever a test left.
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
  HKEY run = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
    RegDeleteValueA(run, "Vesperon");
    RegCloseKey(run);
  }
}

bool ReadRunValue(std::string& value) {
  char data[MAX_PATH + 1] = {};
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_CURRENT_USER, kRunKeyPath, "Vesperon", RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return false;
  }
  value = data;
  return true;
}

struct Config {
  DWORD type = 0, start = 0, error = 0;
  std::string path, displayName, account;
};
bool ReadConfig(Config& config) {
  bool found = false;
  if (SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)) {
    if (SC_HANDLE service = OpenServiceA(scm, "Vesperon", SERVICE_QUERY_CONFIG)) {
      std::vector<char> buffer(8192);
      DWORD needed = 0;
      auto* c = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
      if (QueryServiceConfigA(service, c, static_cast<DWORD>(buffer.size()), &needed)) {
        config = {c->dwServiceType, c->dwStartType, c->dwErrorControl, c->lpBinaryPathName,
                  c->lpDisplayName, c->lpServiceStartName ? c->lpServiceStartName : ""};
        found = true;
      }
      CloseServiceHandle(service);
    }
    CloseServiceHandle(scm);
  }
  return found;
}

class ServiceWineTest : public ::testing::Test {
 protected:
  void SetUp() override { Cleanup(); }
  void TearDown() override { Cleanup(); }
};

TEST_F(ServiceWineTest, StartupChoicesWriteTheRealEntries) {
  const std::string self = GetModulePath();
  ASSERT_NE(self.find(":\\"), std::string::npos) << self;
  std::string run;
  Config config;
  struct Step {
    bool service, startUp;
    bool runAfter, serviceAfter;
  } const steps[] = {
      {false, true, true, false},   // start-up entry added
      {true, false, true, true},    // service created, the entry left as it was
      {false, false, false, false}, // both removed
      {false, false, false, false}, // nothing to remove is no failure
      {true, true, false, true},    // the service replaces the entry
      {false, true, true, false},   // and gives way to it again
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.service) + std::to_string(step.startUp));
    ASSERT_NO_THROW(ApplyStartupChoices(step.service, step.startUp));
    const bool hasRun = ReadRunValue(run);
    EXPECT_EQ(hasRun, step.runAfter);
    if (hasRun) {
      EXPECT_EQ(run, self);
    }
    EXPECT_EQ(IsRunEntry(self, DataSystem::kHiveCurrentUser), step.runAfter);
    EXPECT_EQ(IsServiceInstalled(), step.serviceAfter);
    EXPECT_EQ(ReadConfig(config), step.serviceAfter);
    if (step.serviceAfter) {
      EXPECT_EQ(config.type, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
      EXPECT_EQ(config.start, static_cast<DWORD>(SERVICE_AUTO_START));
      EXPECT_EQ(config.error, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
      EXPECT_EQ(config.displayName, "Vesperon");
      EXPECT_EQ(config.path, ServiceCommandLine(self));
    }
  }
  EXPECT_THROW(RemoveService(), ServiceException);
}

DWORD State(SC_HANDLE service) {
  SERVICE_STATUS status{};
  return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE service, DWORD state) {
  for (int i = 0; i < 400; ++i) {  // 20 s
    if (State(service) == state) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

TEST_F(ServiceWineTest, ProbeRunsAsTheServiceAndAnswersControls) {
  const std::string probe = GetModuleDirectory() + "\\service_probe.exe";
  const std::string log = GetModuleDirectory() + "\\service_probe.log";
  ASSERT_NE(GetFileAttributesA(probe.c_str()), INVALID_FILE_ATTRIBUTES) << probe;
  DeleteFileA(log.c_str());
  InstallService(probe);
  ASSERT_TRUE(IsServiceInstalled());

  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  ASSERT_NE(scm, nullptr);
  SC_HANDLE service = OpenServiceA(scm, "Vesperon", SERVICE_START | SERVICE_STOP |
                                                        SERVICE_PAUSE_CONTINUE |
                                                        SERVICE_INTERROGATE | SERVICE_QUERY_STATUS);
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();
  EXPECT_TRUE(WaitForState(service, SERVICE_RUNNING));

  SERVICE_STATUS status{};
  EXPECT_EQ(State(service), static_cast<DWORD>(SERVICE_RUNNING));
  struct Control {
    DWORD code;
    DWORD reported;
  } const controls[] = {
      {SERVICE_CONTROL_PAUSE, SERVICE_PAUSED},
      {SERVICE_CONTROL_CONTINUE, SERVICE_RUNNING},
      {SERVICE_CONTROL_INTERROGATE, SERVICE_RUNNING},
      {SERVICE_CONTROL_STOP, SERVICE_STOPPED},
  };
  for (const Control& control : controls) {
    SCOPED_TRACE(control.code);
    EXPECT_TRUE(ControlService(service, control.code, &status)) << GetLastError();
    EXPECT_TRUE(WaitForState(service, control.reported));
  }
  CloseServiceHandle(service);
  CloseServiceHandle(scm);

  // The probe's dispatcher returned after the stop, with the stop reported.
  std::string line;
  for (int i = 0; i < 200 && line.empty(); ++i) {
    std::ifstream in(log);
    std::getline(in, line);
    if (line.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(line, "returned, prepared 1, state 1");
  EXPECT_NO_THROW(RemoveService());
  EXPECT_FALSE(IsServiceInstalled());
}

}  // namespace
