// The dial-up listing on the real Windows services; nothing is hung up. (The
// process walk on each route: tests/win32/probes/ProcessKillProbe.cpp.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/DialUpConnections.h"

namespace {

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
