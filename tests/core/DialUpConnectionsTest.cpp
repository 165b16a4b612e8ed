// The reading of the system's connection records, and the listing and
// hang-up built on the remote access service.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/DialUpConnections.h"
#include "platform/Services.h"
#include "platform/memory/FakeDialUpSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using platform::DialUpConnection;
using Sizes = std::vector<std::uint32_t>;

namespace {

// RasEnumConnectionsA as the system answers: scripted results call by call
// (a 603 grows the buffer to `grownSize`, 0: one record more), then the
// connections written as records of `layout`, names cut at their fields.
struct ScriptedRas {
  platform::DialUpRecordLayout layout = platform::kDialUpRecord64;
  std::deque<std::uint32_t> results;
  std::uint32_t grownSize = 0;
  std::vector<DialUpConnection> connections;
  std::optional<std::uint32_t> reportedCount;  // a count beyond the records written
  Sizes sizes;                                 // bufferBytes handed to each call

  std::uint32_t operator()(unsigned char* buffer, std::uint32_t& bytes, std::uint32_t& count) {
    sizes.push_back(bytes);
    std::uint32_t sizeField = 0;
    std::memcpy(&sizeField, buffer, sizeof(sizeField));
    if (sizeField != layout.size) return 632;  // ERROR_INVALID_SIZE
    if (!results.empty()) {
      const std::uint32_t result = results.front();
      results.pop_front();
      if (result == 603) bytes = grownSize != 0 ? grownSize : bytes + layout.size;
      if (result != 0) return result;
    }
    count = static_cast<std::uint32_t>(connections.size());
    if (bytes < count * layout.size) {
      bytes = count * layout.size;
      return 603;
    }
    for (std::size_t k = 0; k < connections.size(); ++k) {
      unsigned char* record = buffer + k * layout.size;
      const auto write = [record](std::uint32_t offset, std::uint32_t chars, const std::string& text) {
        std::memcpy(record + offset, text.data(), std::min<std::size_t>(text.size(), chars));
      };
      std::memcpy(record + layout.handleOffset, &connections[k].handle, layout.handleBytes);
      write(layout.entryNameOffset, platform::kDialUpEntryNameChars, connections[k].entryName);
      write(layout.deviceTypeOffset, platform::kDialUpDeviceTypeChars, connections[k].deviceType);
      write(layout.deviceNameOffset, platform::kDialUpDeviceNameChars, connections[k].deviceName);
    }
    if (reportedCount) count = *reportedCount;
    return 0;
  }

  std::uint32_t Read(std::vector<DialUpConnection>& out) {
    return platform::ReadDialUpRecords(layout, std::ref(*this), out);
  }
};

std::string Text(const std::vector<DialUpConnection>& connections) {
  std::string text;
  for (const DialUpConnection& c : connections) {
    text += std::to_string(c.handle) + ":" + c.entryName + "/" + c.deviceType + "/" + c.deviceName + " ";
  }
  return text;
}

TEST(DialUpRecordsTest, BufferGrowsForFiveCallsAtMostAndErrorsAreReturned) {
  const struct {
    const char* name;
    std::deque<std::uint32_t> results;
    std::uint32_t grownSize;
    std::size_t connections;
    std::uint32_t error;
    Sizes sizes;
  } cases[] = {
      {"no connection", {}, 0, 0, 0, {712}},
      {"603 five times", {603, 603, 603, 603, 603}, 0, 0, 603, {712, 1424, 2136, 2848, 3560}},
      {"603 four times, then room", {603, 603, 603, 603}, 0, 1, 0, {712, 1424, 2136, 2848, 3560}},
      {"out of memory", {8}, 0, 0, 8, {712}},
      {"other error", {87}, 0, 0, 87, {712}},
      // A size the process could not sensibly allocate fails as memory.
      {"absurd size asked", {603}, 0x7FFFFFFF, 0, 8, {712}},
      // A size smaller than one record would let the size field overrun.
      {"size below one record", {603}, 10, 0, 0, {712, 712}},
  };
  for (const auto& c : cases) {
    ScriptedRas ras;
    ras.results = c.results;
    ras.grownSize = c.grownSize;
    ras.connections.assign(c.connections, {1, "ISP", "modem", "Modem #1"});
    std::vector<DialUpConnection> out{{9, "stale", "", ""}};
    EXPECT_EQ(ras.Read(out), c.error) << c.name;
    EXPECT_EQ(out.size(), c.error == 0 ? c.connections : 0) << c.name;
    EXPECT_EQ(ras.sizes, c.sizes) << c.name;
  }
}

TEST(DialUpRecordsTest, RecordsAreReadInOrderWithinTheirFieldsAndTheBuffer) {
  for (const platform::DialUpRecordLayout& layout : {platform::kDialUpRecord32, platform::kDialUpRecord64}) {
    ScriptedRas ras;
    ras.layout = layout;
    // A 64-bit handle must come back whole.
    const std::uint64_t high = layout.handleBytes == 8 ? 0xABCD00000000ull : 0;
    ras.connections = {{high + 1, "Work VPN", "vpn", "WAN Miniport (PPTP)"},
                       {high + 2, std::string(300, 'N'), "modem", std::string(200, 'D')}};
    ras.reportedCount = 40;  // only records wholly inside the buffer are read
    std::vector<DialUpConnection> out;
    EXPECT_EQ(ras.Read(out), 0u);
    // Names that fill their fields without a terminator stop at the field's end.
    EXPECT_EQ(Text(out), std::to_string(high + 1) + ":Work VPN/vpn/WAN Miniport (PPTP) " +
                             std::to_string(high + 2) + ":" + std::string(257, 'N') + "/modem/" +
                             std::string(129, 'D') + " ")
        << layout.size;
  }
}

class DialUpConnectionsTest : public ::testing::Test {
 protected:
  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::FakeDialUpSystem ras;
  platform::ScopedDialUpSystem rasGuard{ras};
};

TEST_F(DialUpConnectionsTest, HangsUpOnlyMatchingEntriesOncePerMatchingPattern) {
  const struct {
    std::optional<std::string> toDiscon;  // nullopt: never stored, "*" applies
    std::vector<std::uint64_t> hangUps;
  } cases[] = {
      {std::nullopt, {1, 2, 3}},
      {"", {}},
      {"my isp", {2}},
      {"*|Work VPN", {1, 1, 2, 3}},
      {"?y ISP|B\xDCRO", {2, 3}},  // "B\xFCro": a letter of the ANSI code page
  };
  ras.connections = {{1, "Work VPN", "vpn", "WAN Miniport (PPTP)"},
                     {2, "My ISP", "modem", "Modem #1"},
                     {3, "B\xFCro", "isdn", "ISDN #2"}};
  for (const auto& c : cases) {
    testsupport::DeleteSettingsRoot();
    if (c.toDiscon) {
      DataSystem::WriteStrings({DataSystem::kToDiscon}, {*c.toDiscon}, "Profiles\\Default",
                               DataSystem::kHiveCurrentUser);
    }
    ras.hangUps.clear();
    ras.listings = 0;
    HangUpMatchingConnections();
    EXPECT_EQ(ras.hangUps, c.hangUps) << c.toDiscon.value_or("(not stored)");
    EXPECT_EQ(ras.listings, 1);  // listed even when no pattern can match
  }
  std::vector<ConnectionInfo> list{{"stale", "x", "y"}};
  ListDialUpConnections(list);
  EXPECT_EQ(list, (std::vector<ConnectionInfo>{{"Work VPN", "vpn", "WAN Miniport (PPTP)"},
                                              {"My ISP", "modem", "Modem #1"},
                                              {"B\xFCro", "isdn", "ISDN #2"}}));
}

TEST_F(DialUpConnectionsTest, ListingFailuresAreThrownAsCodesAndEndNothing) {
  ras.connections = {{1, "ISP", "modem", "M"}};
  const struct {
    std::uint32_t error;
    std::int32_t code;
  } cases[] = {
      {603, RasConnectionInfoException::kBufferTooSmall},
      {8, RasConnectionInfoException::kOutOfMemory},
      {87, RasConnectionInfoException::kOtherError},
  };
  for (const auto& c : cases) {
    ras.error = c.error;
    for (const bool hangUp : {false, true}) {
      std::vector<ConnectionInfo> list;
      const auto call = [&] { hangUp ? HangUpMatchingConnections() : ListDialUpConnections(list); };
      EXPECT_EQ(testing_support::CodeOf<Exception>(call, kCategoryRasConnectionInfo), c.code) << c.error;
    }
  }
  EXPECT_TRUE(ras.hangUps.empty());
}

}  // namespace
