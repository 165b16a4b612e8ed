// The reading of the system's connection records, the listing and hang-up
// built on the remote access service, and the kill action and the name list
// against a recording process system (the walk itself is proven on the real
// system by the process probes under Wine).
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/DialUpConnections.h"
#include "platform/Services.h"
#include "actions/ProcessList.h"
#include "platform/memory/FakeDialUpSystem.h"
#include "platform/memory/FakeProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using platform::DialUpConnection;
using Sizes = std::vector<std::uint32_t>;
using Strings = std::vector<std::string>;

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

// The active profile's patterns against a fake remote access service and process system.
class DialUpConnectionsTest : public ::testing::Test {
 protected:
  static void Store(DataSystem::SettingId id, const std::string& text,
                    const std::string& profile = "Default") {
    DataSystem::WriteStrings({id}, {text}, "Profiles\\" + profile, DataSystem::kHiveCurrentUser);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::FakeDialUpSystem ras;
  platform::ScopedDialUpSystem rasGuard{ras};
  platform::FakeProcessSystem system;
  platform::ScopedProcessSystem systemGuard{system};
};
using ProcessListTest = DialUpConnectionsTest;

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
    if (c.toDiscon) Store(DataSystem::kToDiscon, *c.toDiscon);
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
  const std::pair<std::uint32_t, std::int32_t> cases[] = {{603, RasConnectionInfoException::kBufferTooSmall},
                                                          {8, RasConnectionInfoException::kOutOfMemory},
                                                          {87, RasConnectionInfoException::kOtherError}};
  for (const auto& [error, code] : cases) {
    ras.error = error;
    for (const bool hangUp : {false, true}) {
      std::vector<ConnectionInfo> list;
      const auto call = [&] { hangUp ? HangUpMatchingConnections() : ListDialUpConnections(list); };
      EXPECT_EQ(testing_support::CodeOf<Exception>(call, kCategoryRasConnectionInfo), code) << error;
    }
  }
  EXPECT_TRUE(ras.hangUps.empty());
}

TEST_F(ProcessListTest, WalksThatCannotBeMadeReportNothingAndFalse) {
  system.processes = {{4, 0, "System"}, {100, 7, "C:\\EDIT.EXE"}};
  Strings names{"stale"};
  EXPECT_TRUE(ListRunningProcessNames(names));
  EXPECT_EQ(names, (Strings{"System", "C:\\EDIT.EXE"}));
  system.walkFails = true;
  EXPECT_FALSE(ListRunningProcessNames(names));  // the process trigger keeps waiting
  EXPECT_EQ(names, Strings{});
  Store(DataSystem::kToKill, "*");
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
      {"write.exe", {}},  // a full path needs a pattern for it (letters of the ANSI code page: above)
  };
  for (const auto& c : cases) {
    testsupport::DeleteSettingsRoot();
    if (c.toKill) Store(DataSystem::kToKill, *c.toKill);
    system.ends.clear();
    KillMatchingProcesses();
    EXPECT_EQ(system.ends, c.ends) << (c.toKill ? *c.toKill : "(not stored)");
  }
  // The patterns are the active profile's.
  Store(DataSystem::kToKill, "calc.exe", "Work");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  system.ends.clear();
  KillMatchingProcesses();
  EXPECT_EQ(system.ends, Strings{"end 13"});
}

}  // namespace
