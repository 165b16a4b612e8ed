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

using registry::Value;
// Every value of the keys above: "key index|name" -> contents.
using Snapshot = std::map<std::string, Value>;

Snapshot TakeSnapshot() {
  Snapshot all;
  for (int k = 0; k < static_cast<int>(std::size(kKeys)); ++k) {
    for (const auto& [name, value] : registry::Snapshot(kKeys[k].root, kKeys[k].path)) {
      all[std::to_string(k) + name] = value;
    }
  }
  return all;
}

void WriteValue(const ValueRef& value, const std::optional<Value>& contents) {
  registry::Write(kKeys[value.key].root, kKeys[value.key].path, value.name, contents);
}

class SystemTweaksE2e : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    before_ = TakeSnapshot();
    // A known start: a time-out of 20 s, every other value missing (so its
    // default applies).
    for (const ValueRef& value : kValues) WriteValue(value, std::nullopt);
    WriteValue(kValues[1], registry::TextValue("20000"));
  }
  void TearDown() override {
    for (const ValueRef& value : kValues) {
      const auto found = before_.find(std::to_string(value.key) + "|" + value.name);
      WriteValue(value, found == before_.end() ? std::nullopt : std::optional(found->second));
    }
    SimTest::TearDown();
  }

  static HWND OpenTweaks(SimProcess& sim) { return sim.OpenByCommand(kSystemTweaksCommand, "System Tweaks"); }

  Snapshot before_;
};

TEST_F(SystemTweaksE2e, ShowsTheControlsOfTheVersionAndWritesOnlyWhatOkTakes) {
  const struct {
    const char* version;
    std::set<int> shown;
    const char* timeoutText;  // nullptr: the field is hidden
  } cases[] = {{"winxp", {1034, 1080, 1081, 1110, 1111, 1112, 1113, 1115}, "20"}, {"win98", {1109, 1114}, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    Snapshot expected = TakeSnapshot();
    SimProcess sim(SimExe(c.version));
    HWND dialog = OpenTweaks(sim);
    ASSERT_NE(dialog, nullptr) << SimExe(c.version);
    for (int id : kAllControls) {
      HWND control = GetDlgItem(dialog, id);
      ASSERT_NE(control, nullptr) << id;
      const bool shown = c.shown.count(id) != 0;
      EXPECT_EQ(IsWindowVisible(control) != FALSE, shown) << id;
      EXPECT_EQ(IsWindowEnabled(control) != FALSE, shown) << id;
    }
    // Filling the fields is no edit: OK on the untouched dialog writes nothing.
    EXPECT_TRUE(CloseDialog(dialog, IDOK));
    EXPECT_EQ(TakeSnapshot(), expected);
    if (!c.timeoutText) continue;
    // Cancel writes nothing; entered seconds are stored as milliseconds.
    for (const int button : {IDCANCEL, IDOK}) {
      dialog = OpenTweaks(sim);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(sim.Text(GetDlgItem(dialog, kTimeoutEdit)), c.timeoutText);
      TypeText(GetDlgItem(dialog, kTimeoutEdit), "7");
      if (button == IDCANCEL) SimProcess::Send(GetDlgItem(dialog, 1034), BM_CLICK);
      EXPECT_TRUE(CloseDialog(dialog, button));
      if (button == IDOK) expected["1|WaitToKillAppTimeout"] = registry::TextValue("7000");
      EXPECT_EQ(TakeSnapshot(), expected);
    }
  }
}

}  // namespace
