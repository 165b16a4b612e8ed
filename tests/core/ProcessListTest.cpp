// The kill action and the name list against a recording process system; the
// walk itself is proven on the real system by the process probes under Wine.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "actions/ProcessList.h"
#include "platform/Services.h"
#include "platform/memory/FakeProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;
using Strings = std::vector<std::string>;

namespace {

class ProcessListTest : public ::testing::Test {
 protected:
  void StoreToKill(const std::string& profile, const std::string& text) {
    DataSystem::WriteStrings({DataSystem::kToKill}, {text}, "Profiles\\" + profile,
                             DataSystem::kHiveCurrentUser);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::FakeProcessSystem system;
  platform::ScopedProcessSystem systemGuard{system};
};

TEST_F(ProcessListTest, WalksThatCannotBeMadeReportNothingAndFalse) {
  system.processes = {{4, 0, "System"}, {100, 7, "C:\\EDIT.EXE"}};
  Strings names{"stale"};
  EXPECT_TRUE(ListRunningProcessNames(names));
  EXPECT_EQ(names, (Strings{"System", "C:\\EDIT.EXE"}));
  system.walkFails = true;
  EXPECT_FALSE(ListRunningProcessNames(names));  // the process trigger keeps waiting
  EXPECT_EQ(names, Strings{});
  StoreToKill("Default", "*");
  KillMatchingProcesses();
  EXPECT_EQ(system.ends, Strings{});
}

TEST_F(ProcessListTest, KillEndsEveryMatchOncePerMatchingPattern) {
  system.selfId = 50;
  system.processes = {{10, 0, "notepad.exe"},  {11, 0, "NOTEPAD.EXE"},  {12, 0, "note.txt"},
                      {13, 0, "calc.exe"},     {50, 0, "vesperon.exe"}, {14, 0, "B\xDCRO.EXE"},
                      {100, 0, "ntvdm.exe"},   {100, 7, "C:\\EDIT.EXE"},
                      {15, 0, "C:\\WINDOWS\\WRITE.EXE"}};  // the 9x line names full paths
  const struct {
    std::optional<std::string> toKill;  // nullopt: never stored
    Strings ends;
  } cases[] = {
      {std::nullopt, {}},  // the default: nothing
      {"NOTE*.EXE", {"end 10", "end 11"}},
      {"calc.exe||notepad.exe|", {"end 10", "end 11", "end 13"}},
      // Two patterns, two attempts; the second one fails on the real system.
      {"notepad.exe|*PAD*", {"end 10", "end 10", "end 11", "end 11"}},
      // Everything but the program itself; a task alone, not its machine's other tasks.
      {"*",
       {"end 10", "end 11", "end 12", "end 13", "end 14", "end 100", "end task 100:7", "end 15"}},
      {"*edit.exe", {"end task 100:7"}},
      {"b\xFCro.exe", {"end 14"}},  // a letter of the ANSI code page, not only a to z
      {"write.exe", {}},            // a full path needs a pattern for it
      {"*\\write.exe", {"end 15"}},
  };
  for (const auto& c : cases) {
    testsupport::DeleteSettingsRoot();
    if (c.toKill) StoreToKill("Default", *c.toKill);
    system.ends.clear();
    KillMatchingProcesses();
    EXPECT_EQ(system.ends, c.ends) << (c.toKill ? *c.toKill : "(not stored)");
  }
  // The patterns are the active profile's.
  StoreToKill("Work", "calc.exe");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  system.ends.clear();
  KillMatchingProcesses();
  EXPECT_EQ(system.ends, Strings{"end 13"});
}

}  // namespace
