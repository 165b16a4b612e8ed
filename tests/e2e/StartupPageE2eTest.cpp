// The "Trigger / Startup" page of the running program's Global Options: its
// start-up box writes and removes the "Run" value with the program's real
// path. (The boxes a service implies: the core's TriggerStartupPageTest; the
// program as the service: ServiceWineTest.)
#include "tests/e2e/SimProcess.h"

namespace {

using namespace e2e;

constexpr int kService = 1030, kRun = 1031;
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The "Run" value, or "<none>".
std::string RunValue() {
  const auto value = registry::Read(HKEY_CURRENT_USER, kRunKey, "Vesperon");
  return value && value->type == REG_SZ ? registry::TextOf(*value) : "<none>";
}

std::string ImagePath(DWORD pid) {
  char path[MAX_PATH + 1] = {};
  DWORD size = sizeof path;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
    QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
  }
  return path;
}

class StartupPageE2e : public SimTest {};

// The program in a folder whose name has a space, as under "Program Files":
// the value names it in quotes, so that Windows cannot start a program
// named after the folder's first word instead. (A value without quotes, as
// older versions wrote it, still counting: the core's AutostartTest.)
TEST_F(StartupPageE2e, StartUpBoxWritesAndRemovesTheRunValue) {
  const ScopedValues noRunValue(HKEY_CURRENT_USER, kRunKey, {{"Vesperon", std::nullopt}});
  const std::string folder = JournalPath("Vesperon e2e");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "\\VesperonSim.exe";
  ASSERT_TRUE(CopyFileA(SimExe().c_str(), exe.c_str(), FALSE));
  struct Cleanup {
    std::string exe, folder;
    ~Cleanup() {
      DeleteFileA(exe.c_str());
      RemoveDirectoryA(folder.c_str());
    }
  } const cleanup{exe, folder};
  SimProcess sim(exe);
  ASSERT_NE(sim.MainWindow(), nullptr);
  const std::string self = ImagePath(sim.Id());
  ASSERT_NE(self.find(' '), std::string::npos) << self;
  // Checked, unchecked, then checked and cancelled: Cancel leaves the value as it was.
  const struct {
    int button;
    bool checkedBefore, stored;
  } rounds[] = {{IDOK, false, true}, {IDOK, true, false}, {IDCANCEL, false, false}};
  for (const auto& [button, checkedBefore, stored] : rounds) {
    SCOPED_TRACE(button == IDCANCEL ? "cancelled" : checkedBefore ? "unchecking" : "checking");
    HWND page = sim.OpenGlobalOptions(0, kRun);
    ASSERT_NE(page, nullptr);
    // On the NT line the service box only shows the state.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kService)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kService)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kRun)));
    EXPECT_EQ(IsChecked(GetDlgItem(page, kRun)), checkedBefore);
    SimProcess::Send(GetDlgItem(page, kRun), BM_CLICK);
    ASSERT_TRUE(sim.CloseSheet(button));
    const std::string run = RunValue(), want = stored ? "\"" + self + "\"" : "<none>";
    EXPECT_EQ(_stricmp(run.c_str(), want.c_str()), 0) << run << " / " << want;
  }
}

}  // namespace
