// The "Trigger / Startup" page of the running program's Global Options:
// its start-up box writes and removes the "Run" value with the program's
// real path, the expiry delay fields write back seconds, and a program
// started by hand while its service is installed opens its window as usual
// (and shows the service box checked, with the boxes it implies).
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "system/Service.h"

namespace {

using namespace e2e;

constexpr UINT kGlobalOptionsCommand = 173;
constexpr int kService = 1030, kRun = 1031, kMinimized = 1033, kDays = 1002, kTime = 1001;
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Journal() { return JournalPath("vesperon-e2e-startup-journal.txt"); }

bool ReadRunValue(std::string& value) {
  char data[MAX_PATH + 1] = {};
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Vesperon", RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  value = data;
  return true;
}

void DeleteRunValue() {
  HKEY run = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
    RegDeleteValueA(run, "Vesperon");
    RegCloseKey(run);
  }
}

void DeleteService() {
  try {
    Vesperon::RemoveService();
  } catch (const Vesperon::ServiceException&) {
    // none installed
  }
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

// The Global Options sheet of the program and its page in front (the
// "Trigger / Startup" page when it opens).
struct Sheet {
  HWND sheet = nullptr;
  HWND page = nullptr;
  HWND Item(int id) const { return GetDlgItem(page, id); }
  bool IsChecked(int id) const { return SimProcess::Send(Item(id), BM_GETCHECK) == BST_CHECKED; }
  bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
};

Sheet OpenSheet(SimProcess& sim) {
  Sheet s;
  PostMessageA(sim.MainWindow(), WM_COMMAND, MAKEWPARAM(kGlobalOptionsCommand, 0), 0);
  WaitFor([&] { return (s.sheet = sim.FindMessageBox("Global Options")) != nullptr; }, 10000);
  if (s.sheet) {
    WaitFor([&] {
      return (s.page = reinterpret_cast<HWND>(
                  SimProcess::Send(s.sheet, PSM_GETCURRENTPAGEHWND))) != nullptr;
    }, 5000);
  }
  return s;
}

bool CloseSheet(const Sheet& s, int button) {
  PostMessageA(s.sheet, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitFor([&] { return !IsWindow(s.sheet); }, 5000);
}

// DTM_SETSYSTEMTIME on a picker of the program, with
// the time in the program's own memory.
class RemoteTime {
 public:
  explicit RemoteTime(DWORD pid)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid)) {
    if (process_)
      at_ = VirtualAllocEx(process_, nullptr, sizeof(SYSTEMTIME), MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteTime() {
    if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  void Set(HWND picker, const SYSTEMTIME& time) {
    WriteProcessMemory(process_, at_, &time, sizeof time, nullptr);
    SimProcess::Send(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(at_));
  }

 private:
  HANDLE process_;
  void* at_ = nullptr;
};

class StartupPageE2e : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
    DeleteRunValue();
    DeleteService();
  }
  void TearDown() override {
    DeleteRunValue();
    DeleteService();
    registry::DeleteAll();
  }
};

TEST_F(StartupPageE2e, StartUpBoxWritesAndRemovesTheRunValue) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  const std::string self = ImagePath(sim.Id());
  ASSERT_FALSE(self.empty());
  std::string run;
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on ? "checking" : "unchecking");
    Sheet s = OpenSheet(sim);
    ASSERT_NE(s.page, nullptr);
    // On the NT line the service box only shows the state.
    EXPECT_FALSE(s.IsEnabled(kService));
    EXPECT_FALSE(s.IsChecked(kService));
    EXPECT_TRUE(s.IsEnabled(kRun));
    EXPECT_EQ(s.IsChecked(kRun), !on);
    SimProcess::Send(s.Item(kRun), BM_CLICK);
    ASSERT_TRUE(CloseSheet(s, IDOK));
    EXPECT_EQ(ReadRunValue(run), on);
    if (on) {
      EXPECT_EQ(_stricmp(run.c_str(), self.c_str()), 0) << run << " / " << self;
    }
  }
  // Cancel leaves the value as it was.
  Sheet s = OpenSheet(sim);
  ASSERT_NE(s.page, nullptr);
  SimProcess::Send(s.Item(kRun), BM_CLICK);
  ASSERT_TRUE(CloseSheet(s, IDCANCEL));
  EXPECT_FALSE(ReadRunValue(run));
  EXPECT_TRUE(sim.Quit());
}

TEST_F(StartupPageE2e, ExpiryDelayFieldsWriteSeconds) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  RemoteTime remote(sim.Id());
  struct Row {
    const char* typed;
    WORD hour, minute, second;
    const char* shown;  // the days field after typing
    DWORD stored;
  } const rows[] = {
      {"1", 1, 1, 1, "1", 90061},
      {"0", 0, 0, 0, "0", 0},
      {"20000", 0, 0, 5, "10000", 864000005},
      {"3", 23, 59, 59, "3", 345599},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    Sheet s = OpenSheet(sim);
    ASSERT_NE(s.page, nullptr);
    SendMessageA(s.Item(kDays), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.typed));
    EXPECT_EQ(sim.Text(s.Item(kDays)), row.shown);
    SYSTEMTIME time{};
    time.wYear = 2000;
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = row.hour;
    time.wMinute = row.minute;
    time.wSecond = row.second;
    remote.Set(s.Item(kTime), time);
    ASSERT_TRUE(CloseSheet(s, IDOK));
    DWORD stored = 0;
    EXPECT_TRUE(registry::GetDword("Global\\TriggerStartup", "ExpireDelay", stored));
    EXPECT_EQ(stored, row.stored);
  }
  EXPECT_TRUE(sim.Quit());
}

TEST_F(StartupPageE2e, DaysArrowsStepByOneWithinTheRange) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  Sheet s = OpenSheet(sim);
  ASSERT_NE(s.page, nullptr);
  HWND arrows = s.Item(1080);
  RECT box{};
  GetClientRect(arrows, &box);
  auto click = [&](bool up) {
    const LPARAM at = MAKELPARAM(box.right / 2, up ? box.bottom / 4 : box.bottom * 3 / 4);
    SimProcess::Send(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SimProcess::Send(arrows, WM_LBUTTONUP, 0, at);
    return sim.Text(s.Item(kDays));
  };
  struct Row {
    const char* start;
    bool up;
    const char* after;
  } const rows[] = {{"0", true, "1"}, {"1", true, "2"}, {"2", false, "1"},
                    {"0", false, "0"}, {"10000", true, "10000"}, {"10000", false, "9999"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.start) + (row.up ? " up" : " down"));
    SendMessageA(s.Item(kDays), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.start));
    EXPECT_EQ(click(row.up), row.after);
  }
  ASSERT_TRUE(CloseSheet(s, IDOK));
  DWORD stored = 0;
  EXPECT_TRUE(registry::GetDword("Global\\TriggerStartup", "ExpireDelay", stored));
  EXPECT_EQ(stored / 86400, 9999u);
  EXPECT_TRUE(sim.Quit());
}

TEST_F(StartupPageE2e, StartedByHandWithTheServiceInstalledOpensTheWindow) {
  SimProcess probe(SimExe(), Journal());
  ASSERT_NE(probe.MainWindow(), nullptr);
  Vesperon::InstallService(ImagePath(probe.Id()));
  ASSERT_TRUE(probe.Quit());
  ASSERT_TRUE(Vesperon::IsServiceInstalled());

  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(sim.MainWindow()) != FALSE; }, 5000));
  EXPECT_EQ(sim.Text(1014), "Timer is inactive");
  Sheet s = OpenSheet(sim);
  ASSERT_NE(s.page, nullptr);
  EXPECT_TRUE(s.IsChecked(kService));
  EXPECT_FALSE(s.IsEnabled(kService));
  EXPECT_TRUE(s.IsChecked(kRun));
  EXPECT_FALSE(s.IsEnabled(kRun));
  EXPECT_TRUE(s.IsChecked(kMinimized));
  EXPECT_FALSE(s.IsEnabled(kMinimized));
  // OK keeps the service and leaves the start-up entry as it was (none).
  ASSERT_TRUE(CloseSheet(s, IDOK));
  EXPECT_TRUE(Vesperon::IsServiceInstalled());
  std::string run;
  EXPECT_FALSE(ReadRunValue(run));
  EXPECT_TRUE(sim.Quit());
}

}  // namespace
