// The process walk and the kill action against a recording process system.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "actions/ProcessList.h"
#include "platform/memory/FakeProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;
using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

class ProcessListTest : public ::testing::Test {
 protected:
  // "id:task:name" per call; the callback ends the walk after `limit` calls.
  Strings Walk(bool* result = nullptr, std::size_t limit = 1000000) {
    Recorder recorder{{}, limit};
    const bool made = EnumerateProcesses(&Recorder::Record, reinterpret_cast<std::uintptr_t>(&recorder));
    if (result != nullptr) *result = made;
    return recorder.seen;
  }

  Strings Ends() const {
    Strings ends;
    for (const std::string& call : system.calls) {
      if (call.rfind("end", 0) == 0) ends.push_back(call);
    }
    return ends;
  }

  void StoreToKill(const std::string& profile, const std::string& text) {
    DataSystem::WriteStrings({DataSystem::kToKill}, {text}, "Profiles\\" + profile,
                             DataSystem::kHiveCurrentUser);
  }

  struct Recorder {
    Strings seen;
    std::size_t limit;
    static bool Record(std::uint32_t id, std::uint16_t task, const char* name, std::uintptr_t context) {
      Recorder& self = *reinterpret_cast<Recorder*>(context);
      self.seen.push_back(std::to_string(id) + ":" + std::to_string(task) + ":" + name);
      return self.seen.size() < self.limit;
    }
  };

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeOsVersion os{kWinXP};
  platform::FakeProcessSystem system;
  platform::ScopedProcessSystem systemGuard{system};
};

TEST(ProcessWalkRouteTest, EachVersionTakesItsRoute) {
  const struct {
    platform::OsVersionRecord record;
    ProcessWalkRoute route;
  } cases[] = {
      // NT 4.0, 98 and later: the process_kill probes under Wine.
      {kWin95, ProcessWalkRoute::kSnapshot}, {kNT351, ProcessWalkRoute::kNone},
      {{2, 4, 10}, ProcessWalkRoute::kModules}, {{0, 5, 1}, ProcessWalkRoute::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SelectProcessWalkRoute(c.record), c.route)
        << c.record.platformId << " " << c.record.major << "." << c.record.minor;
  }
}

TEST_F(ProcessListTest, WalkReportsProcessesAndTheTasksOfVirtualDosMachines) {
  system.processes = {{4, "System", {}, false},
                      {100, "ntvdm.exe", {{7, "C:\\APPS\\EDIT.EXE"}, {9, "C:\\WRITE.EXE"}}, false},
                      {200, "svchost.exe", {}, true},
                      {300, "NTVDM.EXE", {}, false}};
  const struct {
    const char* name;
    platform::OsVersionRecord version;
    bool hasTaskWalk;
    Strings calls;
    Strings seen;
  } cases[] = {
      {"XP", kWinXP, true,
       {"bind snapshot", "bind tasks", "tasks 100", "tasks 300"},
       {"4:0:System", "100:0:ntvdm.exe", "100:7:C:\\APPS\\EDIT.EXE", "100:9:C:\\WRITE.EXE",
        "200:0:svchost.exe", "300:0:NTVDM.EXE"}},
      // The 9x line has no NTVDM processes to look into.
      {"98", kWin98, true,
       {"bind snapshot"},
       {"4:0:System", "100:0:ntvdm.exe", "200:0:svchost.exe", "300:0:NTVDM.EXE"}},
      // NT 4.0 names a process it may not open with an empty name.
      {"NT4", kNT4, true,
       {"bind status", "bind tasks", "tasks 100", "tasks 300"},
       {"4:0:System", "100:0:ntvdm.exe", "100:7:C:\\APPS\\EDIT.EXE", "100:9:C:\\WRITE.EXE",
        "200:0:", "300:0:NTVDM.EXE"}},
      // Without the task functions the processes are still all listed.
      {"XP, no tasks", kWinXP, false,
       {"bind snapshot", "bind tasks"},
       {"4:0:System", "100:0:ntvdm.exe", "200:0:svchost.exe", "300:0:NTVDM.EXE"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    os.Set(c.version);
    system.calls.clear();
    system.hasTaskWalkApi = c.hasTaskWalk;
    bool made = false;
    EXPECT_EQ(Walk(&made), c.seen);
    EXPECT_TRUE(made);
    EXPECT_EQ(system.calls, c.calls);
  }
}

TEST_F(ProcessListTest, CallbackFalseEndsTheWholeWalk) {
  system.processes = {{100, "NTVDM.EXE", {{7, "A.EXE"}, {9, "B.EXE"}}, false}, {200, "x.exe", {}, false}};
  const struct {
    platform::OsVersionRecord version;
    std::size_t limit;
    Strings seen;
  } cases[] = {
      // Stopping inside the task walk ends the process walk too.
      {kWinXP, 2, {"100:0:NTVDM.EXE", "100:7:A.EXE"}},
      {kNT4, 2, {"100:0:NTVDM.EXE", "100:7:A.EXE"}},
  };
  for (const auto& c : cases) {
    os.Set(c.version);
    bool made = false;
    EXPECT_EQ(Walk(&made, c.limit), c.seen) << c.limit;
    EXPECT_TRUE(made);
  }
}

TEST_F(ProcessListTest, WalksThatCannotBeMadeReportNothingAndFalse) {
  system.processes = {{4, "System", {}, false}};
  const struct {
    const char* name;
    platform::OsVersionRecord version;
    void (*breakIt)(platform::FakeProcessSystem&);
    Strings calls;
  } cases[] = {
      {"NT 3.51", kNT351, [](platform::FakeProcessSystem&) {}, {}},
      {"no tool-help", kWinXP, [](platform::FakeProcessSystem& s) { s.hasSnapshotApi = false; },
       {"bind snapshot"}},
      {"snapshot fails", kWinXP, [](platform::FakeProcessSystem& s) { s.snapshotFails = true; },
       {"bind snapshot", "bind tasks"}},
      {"EnumProcesses fails", kNT4,
       [](platform::FakeProcessSystem& s) { s.enumProcessIdsFails = true; },
       {"bind status", "bind tasks"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::FakeProcessSystem broken;
    broken.processes = system.processes;
    c.breakIt(broken);
    platform::ScopedProcessSystem guard{broken};
    os.Set(c.version);
    bool made = true;
    EXPECT_EQ(Walk(&made), Strings{});
    EXPECT_FALSE(made);
    EXPECT_EQ(broken.calls, c.calls);
    Strings names{"stale"};
    EXPECT_FALSE(ListRunningProcessNames(names));  // the process trigger keeps waiting
    EXPECT_EQ(names, Strings{});
  }
}

TEST_F(ProcessListTest, ProcessIdBufferDoublesWhileTheSystemFillsIt) {
  os.Set(kNT4);
  const struct {
    std::size_t processes;
    std::vector<std::uint32_t> sizes;
  } cases[] = {
      {255, {1024}},
      {256, {1024, 2048}},  // a full buffer may have cut the list short
  };
  for (const auto& c : cases) {
    system.processes.clear();
    for (std::size_t i = 0; i < c.processes; ++i) {
      system.processes.push_back({static_cast<std::uint32_t>(8 + 4 * i), "p.exe", {}, false});
    }
    system.idBufferSizes.clear();
    EXPECT_EQ(Walk().size(), c.processes);
    EXPECT_EQ(system.idBufferSizes, c.sizes) << c.processes;
  }
}

TEST_F(ProcessListTest, ProcessIdBufferStopsGrowingAtOneMegabyte) {
  os.Set(kNT4);
  system.processes = {{8, "a.exe", {}, false}};
  system.idBufferAlwaysFull = true;
  bool made = false;
  const Strings seen = Walk(&made);
  EXPECT_TRUE(made);
  ASSERT_EQ(system.idBufferSizes.size(), 11u);
  EXPECT_EQ(system.idBufferSizes.back(), 1u << 20);
  ASSERT_EQ(seen.size(), (1u << 20) / 4);
  EXPECT_EQ(seen.front(), "8:0:a.exe");
}

TEST_F(ProcessListTest, KillEndsEveryMatchOncePerMatchingPattern) {
  system.selfId = 50;
  system.processes = {{10, "notepad.exe", {}, false},     {11, "NOTEPAD.EXE", {}, false},
                      {12, "note.txt", {}, false},        {13, "calc.exe", {}, false},
                      {50, "vesperon.exe", {}, false},  {14, "B\xDCRO.EXE", {}, false},
                      {100, "ntvdm.exe", {{7, "C:\\EDIT.EXE"}}, false}};
  const struct {
    std::optional<std::string> toKill;  // nullopt: never stored
    Strings ends;
  } cases[] = {
      {std::nullopt, {}},  // the default: nothing
      {"NOTE*.EXE", {"end 10 exit 0", "end 11 exit 0"}},
      {"calc.exe||notepad.exe|", {"end 10 exit 0", "end 11 exit 0", "end 13 exit 0"}},
      // Two patterns, two attempts; the second one fails on the real system.
      {"notepad.exe|*PAD*", {"end 10 exit 0", "end 10 exit 0", "end 11 exit 0", "end 11 exit 0"}},
      // Everything but the program itself; a task alone, not its machine's other tasks.
      {"*",
       {"end 10 exit 0", "end 11 exit 0", "end 12 exit 0", "end 13 exit 0", "end 14 exit 0",
        "end 100 exit 0", "end task 100:7"}},
      {"*edit.exe", {"end task 100:7"}},
      {"b\xFCro.exe", {"end 14 exit 0"}},  // a letter of the ANSI code page, not only a to z
  };
  for (const auto& c : cases) {
    testsupport::DeleteSettingsRoot();
    if (c.toKill) StoreToKill("Default", *c.toKill);
    system.calls.clear();
    KillMatchingProcesses();
    EXPECT_EQ(Ends(), c.ends) << (c.toKill ? *c.toKill : "(not stored)");
  }
}

TEST_F(ProcessListTest, KillOnThe9xLineNeedsAPatternForTheFullPath) {
  os.Set(kWin98);
  system.processes = {{0xFFF1, "C:\\WINDOWS\\NOTEPAD.EXE", {}, false}};
  const struct {
    const char* toKill;
    Strings ends;
  } cases[] = {
      {"notepad.exe", {}},
      {"*\\notepad.exe", {"end 65521 exit 0"}},
  };
  for (const auto& c : cases) {
    StoreToKill("Default", c.toKill);
    system.calls.clear();
    KillMatchingProcesses();
    EXPECT_EQ(Ends(), c.ends) << c.toKill;
  }
}

TEST_F(ProcessListTest, KillReadsThePatternsOfTheActiveProfile) {
  system.processes = {{10, "a.exe", {}, false}, {11, "b.exe", {}, false}};
  StoreToKill("Default", "a.exe");
  StoreToKill("Work", "b.exe");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  KillMatchingProcesses();
  EXPECT_EQ(Ends(), Strings{"end 11 exit 0"});
}

}  // namespace
