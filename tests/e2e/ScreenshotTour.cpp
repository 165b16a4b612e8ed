// Not a test: the tour scripts/screenshots.sh runs to photograph the main
// window. At each stop it asks the script (through a file) to take the
// picture and waits until it is taken.
#include "tests/e2e/SimProcess.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace e2e;

bool Photograph(const std::string& name) {
  const char* dir = std::getenv("VESPERON_SHOT_DIR");
  if (!dir) return false;
  const std::string base = std::string(dir) + "\\" + name;
  std::ofstream(base + ".want") << name;
  return WaitFor([&] { return GetFileAttributesA((base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES; },
                 30000);
}

class ScreenshotTour : public SimTest {};

TEST_F(ScreenshotTour, DISABLED_MainWindowStates) {
  SimProcess sim;
  HWND main = sim.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  SetForegroundWindow(main);
  EXPECT_TRUE(Photograph("main-inactive"));

  sim.SelectComboItem(1036, 1);  // countdown
  sim.SetText(1040, "0");
  sim.SetPickerTime(1037, TodayAt(0, 10, 0));
  sim.SelectComboItem(1035, 0);
  sim.Click(1000);
  // The shell shows the activation balloon a moment later.
  WaitFor([] { return false; }, 1500);
  EXPECT_TRUE(Photograph("tray-balloon"));
  // Once the balloon's 10 s are over, the counting window alone.
  WaitFor([] { return false; }, 11000);
  EXPECT_TRUE(Photograph("main-counting"));
  sim.Click(1000);  // deactivate before leaving
}

TEST_F(ScreenshotTour, DISABLED_AppearancePages) {
  // A solid background, in English and in the German of the shipped file.
  for (const char* language : {"English", "Deutsch"}) {
    registry::SetString("Global\\Appearance", "Lang", language);
    registry::SetDword("Global\\Appearance", "BkGrType", 1);
    registry::SetDword("Global\\Appearance", "BkGrColR", 200);
    registry::SetDword("Global\\Appearance", "BkGrColG", 220);
    registry::SetDword("Global\\Appearance", "BkGrColB", 240);
    SimProcess sim;
    ASSERT_NE(sim.MainWindow(), nullptr);
    ASSERT_NE(sim.OpenGlobalOptions(2, 1037), nullptr);
    SetForegroundWindow(sim.Sheet());
    EXPECT_TRUE(Photograph(std::string("appearance-page") + (language[0] == 'D' ? "-german" : "")));
    EXPECT_TRUE(sim.CloseSheet(IDCANCEL));
  }
}

TEST_F(ScreenshotTour, DISABLED_ProfilesPageAt144Dpi) {
  const ScopedValues dpi(HKEY_CURRENT_USER, "Control Panel\\Desktop", {{"LogPixels", registry::DwordValue(144)}});
  registry::SetDword("Profiles\\Work\\MainForm", "Trigger", 3);
  SimProcess sim;
  ASSERT_NE(sim.MainWindow(), nullptr);
  ASSERT_NE(sim.OpenGlobalOptions(3, 1054), nullptr);
  SetForegroundWindow(sim.Sheet());
  EXPECT_TRUE(Photograph("profiles-page-144dpi"));
  EXPECT_TRUE(sim.CloseSheet(IDCANCEL));
}

TEST_F(ScreenshotTour, DISABLED_StartupPageAndLastWarning) {
  registry::SetDword("Global\\TriggerStartup", "WarnBefore", 1);
  registry::SetDword("Global\\TriggerStartup", "WarnSecs", 30);
  SimProcess sim;
  ASSERT_NE(sim.Shown(), nullptr);
  ASSERT_NE(sim.OpenGlobalOptions(0, 1031), nullptr);
  SetForegroundWindow(sim.Sheet());
  EXPECT_TRUE(Photograph("startup-page"));
  EXPECT_TRUE(sim.CloseSheet(IDCANCEL));

  sim.SelectComboItem(1036, 1);  // a countdown of 2 s on "Turn off"
  sim.SetText(1040, "0");
  sim.SetPickerTime(1037, TodayAt(0, 0, 2));
  ASSERT_TRUE(sim.ChooseAction("Turn off"));
  sim.Click(1000);
  HWND warning = sim.WaitForBox("Vesperon: Warning");
  ASSERT_NE(warning, nullptr);
  WaitFor([] { return false; }, 2500);  // a few seconds counted off
  EXPECT_TRUE(Photograph("last-warning"));
  EXPECT_TRUE(CloseDialog(warning, IDCANCEL));
}

}  // namespace
