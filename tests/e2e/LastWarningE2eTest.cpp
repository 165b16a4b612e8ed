// The last warning before a scheduled "Turn off": Escape cancels it and
// nothing runs, nor does ending the program under it; the end of its count
// runs the action once. The "Trigger / Startup" page stores whether and how
// long to warn.
#include "tests/e2e/SimProcess.h"

namespace {

using namespace e2e;

constexpr int kWarnBox = 1082, kWarnSeconds = 1083, kRunAtStartUp = 1031, kWarningText = 1202;
constexpr char kStartup[] = "Global\\TriggerStartup";

class LastWarningE2e : public SimTest {};

enum class End { Escape, TimeOut, Exit };

// Each row sets the warning on the "Trigger / Startup" page, which holds
// the seconds to their range (700 is stored as 600).
TEST_F(LastWarningE2e, EscapeOrExitRunsNothingAndTheEndOfTheCountRunsTheActionOnce) {
  const struct {
    End end;
    const char* typed;
    DWORD stored;
  } rows[] = {{End::Escape, "5", 5}, {End::TimeOut, "5", 5}, {End::Exit, "700", 600}};
  for (const auto& [end, typed, stored] : rows) {
    SCOPED_TRACE(static_cast<int>(end));
    SimProcess sim;
    ASSERT_NE(sim.Shown(), nullptr);
    HWND page = sim.OpenGlobalOptions(0, kRunAtStartUp);
    ASSERT_NE(page, nullptr);
    if (!IsChecked(GetDlgItem(page, kWarnBox))) SimProcess::Send(GetDlgItem(page, kWarnBox), BM_CLICK);
    TypeText(GetDlgItem(page, kWarnSeconds), std::string(typed));
    ASSERT_TRUE(sim.CloseSheet(IDOK));
    EXPECT_EQ(registry::Dword(kStartup, "WarnBefore"), 1u);
    EXPECT_EQ(registry::Dword(kStartup, "WarnSecs"), stored) << typed;
    ASSERT_TRUE(sim.ArmCountdown(2, "Turn off"));
    sim.Click(kActivate);

    HWND warning = sim.WaitForBox("Vesperon: Warning");
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(sim.Text(GetDlgItem(warning, kWarningText)).rfind("Action \"Turn off\" will arise in ", 0), 0u);
    EXPECT_TRUE(sim.JournalLines().empty());
    if (end == End::Escape) {
      PostKey(GetDlgItem(warning, IDOK), VK_ESCAPE);
      EXPECT_TRUE(WaitFor([&] { return !IsWindow(warning); }, 3000));
      EXPECT_FALSE(WaitFor([&] { return !sim.JournalLines().empty(); }, 7000));
      EXPECT_TRUE(IsWindow(sim.MainWindow()));  // the program goes on
    } else if (end == End::TimeOut) {
      EXPECT_TRUE(WaitFor([&] { return !sim.JournalLines().empty(); }, 9000));
      EXPECT_FALSE(WaitFor([&] { return sim.JournalLines().size() > 1; }, 3000));
      EXPECT_EQ(sim.JournalLines(), std::vector<std::string>{"ExitWindows 8"});
      EXPECT_FALSE(IsWindow(warning));
    }
    EXPECT_TRUE(sim.Quit());
    EXPECT_EQ(sim.JournalLines().size(), end == End::TimeOut ? 1u : 0u);
  }
}

}  // namespace
