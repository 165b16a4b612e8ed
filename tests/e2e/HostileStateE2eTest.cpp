// The program started over a stored action the system does not offer: it
// must come up, keep the stored state and say why it cannot activate. (Values
// of the wrong type or size: MainWindowE2e's first start.)
#include "tests/e2e/SimProcess.h"

namespace {

using namespace e2e;

class HostileStateE2e : public SimTest {};

TEST_F(HostileStateE2e, StoredActionTheSystemDoesNotOfferIsReportedAndNothingIsStored) {
  // "Hang Up Connection(s)" was stored on Windows XP; Windows 2000 does not
  // offer it, so no action is selected.
  const std::string mainForm = "Profiles\\Default\\MainForm";
  registry::SetDword(mainForm, "Action", 5);
  registry::SetDword(mainForm, "Trigger", 2);
  registry::SetDword(mainForm, "TriggerActive", 1);
  // A last-event text that is no date is kept as it is.
  const std::string lastEvent = "31/31/31 99:99 \x01\x7f garbage";
  registry::SetString("Profiles\\Default\\Trigger", "LastEvent", lastEvent);

  SimProcess sim(SimExe("win2k"));
  // Once at start-up (a second box would hold the start); the stored state
  // stays for a system that offers it.
  EXPECT_EQ(sim.TakeMessageBox("Vesperon", 15000), "Please select an action.");
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
