// A stored hot key pressed on the X display runs its action in the running
// program.
#include "tests/e2e/SimProcess.h"

#include <gtest/gtest.h>

#include "tests/win32/RunUnix.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/HotKeys.h"

namespace {

using namespace e2e;

using testing_support::RunUnix;

TEST(HotKeyE2e, StoredHotKeyRunsItsActionInTheRunningProgram) {
  registry::DeleteAll();
  registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  const std::uint16_t modifier = HotKeys::kHotKeyControl | HotKeys::kHotKeyShift;
  HotKeys::SaveHotKeyRecords({{VK_F8, modifier, HotKeys::HotKeyText(VK_F8, modifier), 12}});

  const char* exe = std::getenv("VESPERON_SIM_EXE");
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  SimProcess sim(exe ? exe : "VesperonSim.exe", std::string(temp) + "vesperon-e2e-hotkey.txt");
  HWND main = sim.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));

  // X delivers keys to the focused window: focus the program's own, and
  // press again if another test on the shared display took the focus.
  const std::string press =
      "Z:\\usr\\bin\\xdotool search --sync --name \"Vesperon 3\" windowfocus --sync "
      "key --clearmodifiers ctrl+shift+F8";
  bool ran = false;
  for (int attempt = 0; attempt < 3 && !ran; ++attempt) {
    ASSERT_TRUE(RunUnix(press)) << "xdotool could not be started";
    ran = WaitFor([&] { return !sim.JournalLines().empty(); }, 3000);
  }
  EXPECT_TRUE(ran) << "no action after three presses";
  EXPECT_EQ(sim.JournalLines(), std::vector<std::string>{"ScreenSaver"});
  EXPECT_TRUE(sim.Quit());
  registry::DeleteAll();
}

}  // namespace
