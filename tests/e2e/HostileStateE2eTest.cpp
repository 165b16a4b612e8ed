// The program started over settings that anything may have left behind:
// values of the wrong type, empty or oversized values, a last-event text
// that is no date, an action the system does not offer. It must come up,
// repair what it reads, leave alone what it does not, keep scheduling, and
// say why it cannot.
#include "tests/e2e/SimProcess.h"

#include <string>
#include <vector>

namespace {

using namespace e2e;

using registry::Bytes;
using registry::DwordValue;
using registry::TextValue;

// Waits for the window to finish starting, answering the message boxes it
// shows on the way; their captions and texts come back.
std::vector<std::string> StartUp(SimProcess& sim) {
  std::vector<std::string> boxes;
  for (int round = 0; round < 10; ++round) {
    HWND box = nullptr;
    WaitFor([&] {
      for (const char* caption : {"Vesperon", "General Error", "Registry Error", "Other Error"}) {
        if ((box = sim.FindMessageBox(caption)) != nullptr) return true;
      }
      return sim.MainWindow(0) != nullptr;
    }, 15000);
    if (box == nullptr) break;
    boxes.push_back(sim.Text(box) + ": " + sim.Text(GetDlgItem(box, 0xFFFF)));
    CloseDialog(box, IDOK);
  }
  return boxes;
}

class HostileStateE2e : public SimTest {
 protected:
  // Nothing else stored: the first start, which stays in the tray.
  void SetUp() override { registry::DeleteAll(); }
};

TEST_F(HostileStateE2e, WrongTypesAndSizesAreRepairedWhereReadAndKeptElsewhere) {
  const std::string mainForm = "Profiles\\Default\\MainForm";
  const Bytes huge(100000, 0xAB);
  enum Outcome { kKept, kRepaired };
  struct Row {
    std::string key;
    std::string name;
    registry::Value value;
    Outcome outcome;
    DWORD repairedTo;
  };
  const Row rows[] = {
      // What start-up reads: numbers not of four bytes come back as defaults.
      {mainForm, "Trigger", {REG_DWORD, {}}, kRepaired, 0},
      {mainForm, "TriggerDate", {REG_BINARY, huge}, kRepaired, 0},
      {mainForm, "TriggerActive", TextValue("yes please"), kRepaired, 0},
      {"Global\\TriggerStartup", "Minimize", {REG_BINARY, Bytes(8, 1)}, kRepaired, 1},
      {"Global\\xzCute\\Ctrl + F11", "Modifier", {REG_BINARY, huge}, kRepaired, 0},
      // Four bytes read as a number whatever their type; texts are read as
      // they are: neither is a repair.
      {mainForm, "TriggerTime", TextValue("abc"), kKept, 0},
      {mainForm, "TriggerCmb2", {REG_DWORD, {'A', 'B', 0, 0}}, kKept, 0},
      {"Profiles\\Default\\Trigger", "LastEvent", TextValue("31/31/31 99:99 \x01\x7f garbage"), kKept, 0},
      {"Global\\xzCute\\Ctrl + F11", "Code", DwordValue(0x7A), kKept, 0},
      {"Global\\xzCute\\Ctrl + F11", "Action", DwordValue(9), kKept, 0},
      // What nothing reads at start-up stays exactly as it was.
      {"Profiles\\Default\\Reminder", "Txt", DwordValue(5), kKept, 0},
      {"Global\\xzCute", "LBAction", TextValue("garbage!"), kKept, 0},
  };
  for (const Row& r : rows) ASSERT_TRUE(registry::SetRaw(r.key, r.name, r.value)) << r.name;
  // A hot-key record whose action is no number is no record: it goes.
  registry::SetDword("Global\\xzCute\\Shift + F10", "Code", 0x79);
  registry::SetString("Global\\xzCute\\Shift + F10", "Action", "garbage!");

  SimProcess sim;
  ASSERT_TRUE(sim.Started());
  const std::vector<std::string> boxes = StartUp(sim);
  ASSERT_NE(sim.MainWindow(), nullptr);
  for (const std::string& box : boxes) {
    EXPECT_EQ(box.find("Error"), std::string::npos) << box;
  }
  EXPECT_FALSE(sim.IsChecked(kActivate));  // the repaired TriggerActive: nothing restored

  for (const Row& r : rows) {
    SCOPED_TRACE(r.key + "\\" + r.name);
    EXPECT_EQ(registry::GetRaw(r.key, r.name), r.outcome == kRepaired ? DwordValue(r.repairedTo) : r.value);
  }
  EXPECT_FALSE(registry::KeyExists("Global\\xzCute\\Shift + F10"));
  EXPECT_TRUE(sim.Quit());
  EXPECT_TRUE(sim.JournalLines().empty());
}

TEST_F(HostileStateE2e, StoredActionTheSystemDoesNotOfferIsReportedAndNothingIsStored) {
  // "Hang Up Connection(s)" was stored on Windows XP; Windows 2000 does not
  // offer it, so no action is selected.
  const std::string mainForm = "Profiles\\Default\\MainForm";
  registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  registry::SetDword(mainForm, "Action", 5);
  registry::SetDword(mainForm, "Trigger", 2);
  registry::SetDword(mainForm, "TriggerActive", 1);
  const std::string lastEvent = "1/1/2001 12:00:00 AM";
  registry::SetString("Profiles\\Default\\Trigger", "LastEvent", lastEvent);

  SimProcess sim(SimExe("win2k"));
  ASSERT_TRUE(sim.Started());
  // Once at start-up; the stored state stays for a system that offers it.
  EXPECT_EQ(StartUp(sim), std::vector<std::string>{"Vesperon: Please select an action."});
  ASSERT_NE(sim.MainWindow(), nullptr);
  EXPECT_FALSE(sim.IsChecked(kActivate));
  EXPECT_EQ(registry::Dword(mainForm, "TriggerActive"), 1u);

  // Activate by hand: the same message, and nothing is stored.
  sim.PostClick(kActivate);
  EXPECT_EQ(sim.TakeMessageBox(), "Please select an action.");
  EXPECT_FALSE(sim.IsChecked(kActivate));
  EXPECT_EQ(registry::Dword(mainForm, "Action"), 5u);
  EXPECT_EQ(registry::Dword(mainForm, "TriggerActive"), 1u);
  EXPECT_EQ(registry::String("Profiles\\Default\\Trigger", "LastEvent"), lastEvent);
  EXPECT_TRUE(sim.Quit());
  EXPECT_TRUE(sim.JournalLines().empty());
}

}  // namespace
