// The system tweaks dialog as the main window's menu opens it, under the
// Windows versions Wine pretends to be: which controls it shows, what it
// shows for a stored time-out, and what OK writes into the (Wine prefix's)
// registry.
#include "tests/e2e/SimProcess.h"

#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace e2e;

constexpr UINT kSystemTweaksCommand = 32775;
constexpr int kTimeoutEdit = 1113;
const std::vector<int> kAllControls = {1034, 1080, 1081, 1109, 1110, 1111,
                                       1112, 1113, 1114, 1115};

// Where Windows keeps the settings the dialog edits, written out here
// rather than taken from the program so that a wrong path shows up.
struct KeyRef {
  HKEY root;
  const char* path;
};
const KeyRef kKeys[] = {
    {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management"},
    {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
    {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VxD\\DHCP"},
    {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Shutdown"},
};
struct ValueRef {
  int key;
  const char* name;
};
const ValueRef kValues[] = {{0, "ClearPageFileAtShutdown"}, {1, "WaitToKillAppTimeout"},
                            {2, "DisableStatusMessages"},   {2, "verbosestatus"},
                            {3, "ShutdownWithoutLogon"},    {4, "ReleaseLeaseOnShutdown"},
                            {5, "FastReboot"}};

struct Raw {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const Raw&) const = default;
};
// Every value of the keys above: "key index|name" -> contents.
using Snapshot = std::map<std::string, Raw>;

Snapshot TakeSnapshot() {
  Snapshot snapshot;
  for (int k = 0; k < static_cast<int>(std::size(kKeys)); ++k) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(kKeys[k].root, kKeys[k].path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
      continue;
    }
    for (DWORD i = 0;; ++i) {
      char name[256] = {};
      DWORD nameSize = sizeof name;
      Raw raw;
      raw.data.resize(4096);
      DWORD size = static_cast<DWORD>(raw.data.size());
      if (RegEnumValueA(key, i, name, &nameSize, nullptr, &raw.type, raw.data.data(), &size) !=
          ERROR_SUCCESS) {
        break;
      }
      raw.data.resize(size);
      snapshot[std::to_string(k) + "|" + name] = raw;
    }
    RegCloseKey(key);
  }
  return snapshot;
}

void WriteValue(const ValueRef& value, const Raw* raw) {
  HKEY key = nullptr;
  const KeyRef& ref = kKeys[value.key];
  if (RegCreateKeyExA(ref.root, ref.path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (raw) {
    RegSetValueExA(key, value.name, 0, raw->type, raw->data.data(),
                   static_cast<DWORD>(raw->data.size()));
  } else {
    RegDeleteValueA(key, value.name);
  }
  RegCloseKey(key);
}

Raw Sz(const std::string& text) {
  return {REG_SZ, std::vector<BYTE>(text.begin(), text.end() + 1)};
}

class SystemTweaksE2e : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    before_ = TakeSnapshot();
    // A known start: a time-out of 20 s, every other value missing (so its
    // default applies).
    for (const ValueRef& value : kValues) WriteValue(value, nullptr);
    WriteValue(kValues[1], &timeout_);
  }
  void TearDown() override {
    for (const ValueRef& value : kValues) {
      const auto found = before_.find(std::to_string(value.key) + "|" + value.name);
      WriteValue(value, found == before_.end() ? nullptr : &found->second);
    }
    SimTest::TearDown();
  }

  static HWND OpenTweaks(SimProcess& sim) { return sim.OpenByCommand(kSystemTweaksCommand, "System Tweaks"); }

  Snapshot before_;
  const Raw timeout_ = Sz("20000");
};

struct VersionCase {
  const char* name;
  const char* version;
  const char* storedTimeout;
  std::set<int> shown;
  const char* timeoutText;  // nullptr: the field is hidden
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class SystemTweaksVersionE2e : public SystemTweaksE2e,
                               public testing::WithParamInterface<VersionCase> {};

TEST_P(SystemTweaksVersionE2e, ShowsTheControlsOfTheVersionAndOkUntouchedWritesNothing) {
  const VersionCase& c = GetParam();
  // "1500" would be stored back as "1000" if filling the field counted as
  // an edit.
  const Raw stored = Sz(c.storedTimeout);
  WriteValue(kValues[1], &stored);
  const Snapshot start = TakeSnapshot();
  SimProcess sim(SimExe(c.version));
  ASSERT_TRUE(sim.Started()) << SimExe(c.version);
  HWND dialog = OpenTweaks(sim);
  ASSERT_NE(dialog, nullptr);
  for (int id : kAllControls) {
    HWND control = GetDlgItem(dialog, id);
    ASSERT_NE(control, nullptr) << id;
    const bool shown = c.shown.count(id) != 0;
    EXPECT_EQ(IsWindowVisible(control) != FALSE, shown) << id;
    EXPECT_EQ(IsWindowEnabled(control) != FALSE, shown) << id;
  }
  if (c.timeoutText) {
    EXPECT_EQ(sim.Text(GetDlgItem(dialog, kTimeoutEdit)), c.timeoutText);
  }

  EXPECT_TRUE(CloseDialog(dialog, IDOK));
  EXPECT_EQ(TakeSnapshot(), start);
  EXPECT_TRUE(sim.Quit());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, SystemTweaksVersionE2e,
    testing::Values(
        VersionCase{"winxp", "winxp", "20000", {1034, 1080, 1081, 1110, 1111, 1112, 1113, 1115}, "20"},
        VersionCase{"win98", "win98", "20000", {1109, 1114}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SystemTweaksE2e, CancelWritesNothingAndEnteredSecondsAreStoredAsMilliseconds) {
  Snapshot expected = TakeSnapshot();
  SimProcess sim(SimExe("winxp"));
  for (const int button : {IDCANCEL, IDOK}) {
    HWND dialog = OpenTweaks(sim);
    ASSERT_NE(dialog, nullptr);
    SimProcess::Send(GetDlgItem(dialog, kTimeoutEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("7"));
    if (button == IDCANCEL) SimProcess::Send(GetDlgItem(dialog, 1034), BM_CLICK);
    EXPECT_TRUE(CloseDialog(dialog, button));
    if (button == IDOK) expected["1|WaitToKillAppTimeout"] = Sz("7000");
    EXPECT_EQ(TakeSnapshot(), expected);
  }
  EXPECT_TRUE(sim.Quit());
}

}  // namespace
