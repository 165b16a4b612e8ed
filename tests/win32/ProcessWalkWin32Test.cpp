// The process walk and the dial-up listing on the real Windows services.
// Both routes of the walk are taken by pretending to be NT 4.0 or XP; the
// services underneath stay the real ones. Nothing is ended or hung up here
// (tests/win32/probes/ProcessKillProbe.cpp kills a process of its own).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/DialUpConnections.h"
#include "actions/ProcessList.h"
#include "tests/support/FakeOsVersion.h"

namespace {

using namespace testing_support;

struct Found {
  std::uint32_t id = 0;
  std::string name;
  std::size_t processes = 0;
};

bool FindSelf(std::uint32_t processId, std::uint16_t task, const char* name, std::uintptr_t context) {
  Found& found = *reinterpret_cast<Found*>(context);
  if (task == 0) ++found.processes;
  if (task == 0 && processId == GetCurrentProcessId()) {
    found.id = processId;
    found.name = name;
  }
  return true;
}

TEST(Win32ProcessWalkTest, BothRoutesListThisProcessByItsFileName) {
  for (const platform::OsVersionRecord version : {kNT4, kWinXP}) {
    FakeOsVersion os{version};
    Found found;
    EXPECT_TRUE(Vesperon::EnumerateProcesses(FindSelf, reinterpret_cast<std::uintptr_t>(&found)))
        << version.major;
    EXPECT_EQ(found.id, GetCurrentProcessId()) << version.major;
    EXPECT_EQ(Vesperon::UpperCaseCopy(found.name), "WIN32_TESTS.EXE") << version.major;
    // Wine's own services run beside this process.
    EXPECT_GT(found.processes, 1u) << version.major;
  }
}

TEST(Win32DialUpTest, ListingAcceptsThisBuildsConnectionRecord) {
  std::vector<Vesperon::ConnectionInfo> list{{"stale", "", ""}};
  try {
    Vesperon::ListDialUpConnections(list);
  } catch (const Vesperon::RasConnectionInfoException& e) {
    FAIL() << "the remote access service refused the listing with code " << e.code;
  }
  for (const Vesperon::ConnectionInfo& connection : list) EXPECT_NE(connection.entryName, "stale");
}

}  // namespace
