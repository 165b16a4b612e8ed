// Dial-up listing and hang-up against a fake remote access service.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "actions/DialUpConnections.h"
#include "platform/memory/FakeDialUpSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;
using Sizes = std::vector<std::uint32_t>;

namespace {

class DialUpConnectionsTest : public ::testing::Test {
 protected:
  void StoreToDiscon(const std::string& text) {
    DataSystem::WriteStrings({DataSystem::kToDiscon}, {text}, "Profiles\\Default",
                             DataSystem::kHiveCurrentUser);
  }
  // The code of the RasConnectionInfoException the listing throws, or -1.
  std::int32_t ListingFailure() {
    std::vector<ConnectionInfo> list;
    try {
      ListDialUpConnections(list);
    } catch (const RasConnectionInfoException& e) {
      EXPECT_EQ(e.category, 8);
      return e.code;
    }
    return -1;
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::FakeDialUpSystem ras;
  platform::ScopedDialUpSystem rasGuard{ras};
};

TEST_F(DialUpConnectionsTest, BufferGrowsForFiveCallsAtMostAndErrorsBecomeCodes) {
  const struct {
    const char* name;
    std::deque<std::uint32_t> results;
    std::uint32_t grownSize;
    std::uint32_t acceptedRecordSize;
    std::size_t connections;
    std::int32_t code;  // -1: no exception
    Sizes sizes;
  } cases[] = {
      {"no connection", {}, 0, 0, 0, -1, {712}},
      {"603 five times", {603, 603, 603, 603, 603}, 0, 0, 0, 0, {712, 1424, 2136, 2848, 3560}},
      {"603 four times, then room", {603, 603, 603, 603}, 0, 0, 1, -1,
       {712, 1424, 2136, 2848, 3560}},
      {"out of memory", {8}, 0, 0, 0, 1, {712}},
      {"other error", {87}, 0, 0, 0, 2, {712}},
      // A service that only knows a smaller record refuses ours.
      {"older record size", {}, 0, 704, 0, 2, {712}},
      // A size the process could not sensibly allocate fails as memory.
      {"absurd size asked", {603}, 0x7FFFFFFF, 0, 0, 1, {712}},
      // A size smaller than one record would let the size field overrun.
      {"size below one record", {603}, 10, 0, 0, -1, {712, 712}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ras.scriptedResults = c.results;
    ras.grownSize = c.grownSize;
    ras.acceptedRecordSize = c.acceptedRecordSize;
    ras.connections.assign(c.connections, {1, "ISP", "modem", "Modem #1"});
    ras.bufferSizes.clear();
    EXPECT_EQ(ListingFailure(), c.code);
    EXPECT_EQ(ras.bufferSizes, c.sizes);
  }
}

TEST_F(DialUpConnectionsTest, HangsUpOnlyMatchingEntriesOncePerMatchingPattern) {
  const struct {
    std::optional<std::string> toDiscon;  // nullopt: never stored, "*" applies
    std::vector<std::uint64_t> hangUps;   // connection numbers
  } cases[] = {
      {std::nullopt, {1, 2, 3}},
      {"", {}},
      {"my isp", {2}},
      {"*|Work VPN", {1, 1, 2, 3}},
      {"?y ISP|B\xDCRO", {2, 3}},  // "B\xFCro": a letter of the ANSI code page
  };
  for (const platform::DialUpRecordLayout& layout : {platform::kDialUpRecord32, platform::kDialUpRecord64}) {
    // A 64-bit handle must come back whole.
    const std::uint64_t high = layout.handleBytes == 8 ? 0xABCD00000000ull : 0;
    ras.layout = layout;
    ras.connections = {{high + 1, "Work VPN", "vpn", "WAN Miniport (PPTP)"},
                       {high + 2, "My ISP", "modem", "Modem #1"},
                       {high + 3, "B\xFCro", "isdn", "ISDN #2"}};
    for (const auto& c : cases) {
      testsupport::DeleteSettingsRoot();
      if (c.toDiscon) StoreToDiscon(*c.toDiscon);
      ras.hangUps.clear();
      ras.bufferSizes.clear();
      HangUpMatchingConnections();
      std::vector<std::uint64_t> expected;
      for (std::uint64_t n : c.hangUps) expected.push_back(high + n);
      EXPECT_EQ(ras.hangUps, expected) << layout.size << " " << c.toDiscon.value_or("(not stored)");
      // The enumeration runs even when no pattern can match.
      EXPECT_FALSE(ras.bufferSizes.empty());
    }
  }
}

TEST_F(DialUpConnectionsTest, ListingReplacesTheListWithTheRecordsInOrder) {
  const std::string longName(300, 'N');
  for (const platform::DialUpRecordLayout& layout : {platform::kDialUpRecord32, platform::kDialUpRecord64}) {
    ras.layout = layout;
    ras.connections = {{1, "Work VPN", "vpn", "WAN Miniport (PPTP)"},
                       {2, longName, "modem", std::string(200, 'D')}};
    std::vector<ConnectionInfo> list{{"stale", "x", "y"}};
    ListDialUpConnections(list);
    // Names that fill their fields without a terminator stop at the field's end.
    const std::vector<ConnectionInfo> expected{{"Work VPN", "vpn", "WAN Miniport (PPTP)"},
                                               {std::string(257, 'N'), "modem", std::string(129, 'D')}};
    EXPECT_EQ(list, expected) << layout.size;
    EXPECT_TRUE(ras.hangUps.empty());
  }
}

TEST_F(DialUpConnectionsTest, ACountBeyondTheBufferReadsOnlyTheRecordsInIt) {
  ras.connections = {{1, "A", "modem", "M"}, {2, "B", "modem", "M"}};
  ras.reportedCount = 40;
  std::vector<ConnectionInfo> list;
  ListDialUpConnections(list);
  EXPECT_EQ(list.size(), 2u);
  HangUpConnectionsMatching({"*"});
  EXPECT_EQ(ras.hangUps, (std::vector<std::uint64_t>{1, 2}));
}

TEST_F(DialUpConnectionsTest, WithoutARemoteAccessServiceThereIsNoConnection) {
  ras.available = false;
  std::vector<ConnectionInfo> list{{"stale", "x", "y"}};
  EXPECT_NO_THROW(ListDialUpConnections(list));
  EXPECT_TRUE(list.empty());
  EXPECT_NO_THROW(HangUpMatchingConnections());
  EXPECT_TRUE(ras.bufferSizes.empty());
}

TEST_F(DialUpConnectionsTest, HangUpFailuresAreThrownToTheCaller) {
  ras.connections = {{1, "ISP", "modem", "M"}};
  ras.scriptedResults = {8};
  try {
    HangUpMatchingConnections();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.category, kCategoryRasConnectionInfo);
    EXPECT_EQ(e.code, RasConnectionInfoException::kOutOfMemory);
  }
  EXPECT_TRUE(ras.hangUps.empty());
}

}  // namespace
