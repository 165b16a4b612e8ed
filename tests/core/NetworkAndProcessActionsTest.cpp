// The actions on the network and the processes: the reading of the system's
// connection records, the listing and hang-up built on the remote access
// service, the kill action and the name list against a recording process
// system (the walk itself is proven on the real system by the process probes
// under Wine), and Wake-on-LAN against a fake network: the datagram, its
// address, each failing step.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "actions/DialUpConnections.h"
#include "actions/ProcessList.h"
#include "actions/WakeOnLan.h"
#include "platform/Services.h"
#include "platform/memory/FakeDialUpSystem.h"
#include "platform/memory/FakeNetworkSystem.h"
#include "platform/memory/FakeProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using platform::ArpEntry;
using platform::DialUpConnection;
using platform::FakeNetworkSystem;
using testing_support::CodeOf;
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
};

std::string Text(const std::vector<DialUpConnection>& connections) {
  std::string text;
  for (const DialUpConnection& c : connections) {
    text += std::to_string(c.handle) + ":" + c.entryName + "/" + c.deviceType + "/" + c.deviceName + " ";
  }
  return text;
}

TEST(DialUpRecordsTest, BufferGrowsForFiveCallsAtMostAndErrorsAreReturned) {
  // The results scripted, the size a 603 asks for, the connections; the error and the sizes handed over.
  const std::tuple<const char*, std::deque<std::uint32_t>, std::uint32_t, std::size_t, std::uint32_t, Sizes>
      cases[] = {
      {"no connection", {}, 0, 0, 0, {712}},
      {"603 five times", {603, 603, 603, 603, 603}, 0, 0, 603, {712, 1424, 2136, 2848, 3560}},
      {"603 four times, then room", {603, 603, 603, 603}, 0, 1, 0, {712, 1424, 2136, 2848, 3560}},
      {"out of memory", {8}, 0, 0, 8, {712}},
      // A size the process could not sensibly allocate fails as memory.
      {"absurd size asked", {603}, 0x7FFFFFFF, 0, 8, {712}},
      // A size smaller than one record would let the size field overrun.
      {"size below one record", {603}, 10, 0, 0, {712, 712}},
  };
  for (const auto& [name, results, grownSize, connections, error, sizes] : cases) {
    ScriptedRas ras;
    ras.results = results;
    ras.grownSize = grownSize;
    ras.connections.assign(connections, {1, "ISP", "modem", "Modem #1"});
    std::vector<DialUpConnection> out{{9, "stale", "", ""}};
    EXPECT_EQ(platform::ReadDialUpRecords(ras.layout, std::ref(ras), out), error) << name;
    EXPECT_EQ(out.size(), error == 0 ? connections : 0) << name;
    EXPECT_EQ(ras.sizes, sizes) << name;
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
    EXPECT_EQ(platform::ReadDialUpRecords(ras.layout, std::ref(ras), out), 0u);
    // Names that fill their fields without a terminator stop at the field's end.
    EXPECT_EQ(Text(out), std::to_string(high + 1) + ":Work VPN/vpn/WAN Miniport (PPTP) " +
                             std::to_string(high + 2) + ":" + std::string(257, 'N') + "/modem/" +
                             std::string(129, 'D') + " ")
        << layout.size;
  }
}

// The active profile's patterns and targets against a fake remote access
// service, process system and network.
class DialUpConnectionsTest : public ::testing::Test {
 protected:
  static void StoreTarget(const std::string& profile, std::uint32_t address, std::uint32_t mask,
                          const std::string& mac) {
    const std::string section = "Profiles\\" + profile;
    DataSystem::WriteNumbers({DataSystem::kIPAddr, DataSystem::kSubnet}, {address, mask}, section,
                             DataSystem::kHiveCurrentUser);
    DataSystem::WriteStrings({DataSystem::kMACAddr}, {mac}, section, DataSystem::kHiveCurrentUser);
  }
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
  FakeNetworkSystem network;
  platform::ScopedNetwork networkGuard{network};
};
using ProcessListTest = DialUpConnectionsTest;
using WakeOnLanTest = DialUpConnectionsTest;

TEST_F(DialUpConnectionsTest, HangsUpOnlyMatchingEntriesOncePerMatchingPattern) {
  // The stored list (nullopt: never stored, "*" applies), and the connections hung up.
  const std::pair<std::optional<std::string>, std::vector<std::uint64_t>> cases[] = {
      {std::nullopt, {1, 2, 3}},
      {"", {}},
      {"my isp", {2}},
      {"*|Work VPN", {1, 1, 2, 3}},
      {"?y ISP|B\xDCRO", {2, 3}},  // "B\xFCro": a letter of the ANSI code page
  };
  ras.connections = {{1, "Work VPN", "vpn", "WAN Miniport (PPTP)"},
                     {2, "My ISP", "modem", "Modem #1"},
                     {3, "B\xFCro", "isdn", "ISDN #2"}};
  for (const auto& [toDiscon, hangUps] : cases) {
    testsupport::DeleteSettingsRoot();
    if (toDiscon) Store(DataSystem::kToDiscon, *toDiscon);
    ras.hangUps.clear();
    ras.listings = 0;
    HangUpMatchingConnections();
    EXPECT_EQ(ras.hangUps, hangUps) << toDiscon.value_or("(not stored)");
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
  // The stored list (nullopt: never stored), and the processes ended.
  const std::pair<std::optional<std::string>, Strings> cases[] = {
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
  for (const auto& [toKill, ends] : cases) {
    testsupport::DeleteSettingsRoot();
    if (toKill) Store(DataSystem::kToKill, *toKill);
    system.ends.clear();
    KillMatchingProcesses();
    EXPECT_EQ(system.ends, ends) << toKill.value_or("(not stored)");
  }
  // The patterns are the active profile's.
  Store(DataSystem::kToKill, "calc.exe", "Work");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  system.ends.clear();
  KillMatchingProcesses();
  EXPECT_EQ(system.ends, Strings{"end 13"});
}

// Six FF bytes, then the 6 bytes 20 times: 126 bytes.
std::string Packet(const std::string& macDigits) {
  std::string text(12, 'F');
  for (int i = 0; i < 20; ++i) text += macDigits;
  return text;
}

TEST_F(WakeOnLanTest, SendsTheActiveProfilesPacketToItsSubnetsBroadcastAddress) {
  struct Row {
    const char* what;
    std::uint32_t address, mask;
    const char* mac;  // nullptr: nothing stored
    std::string expected;  // the one datagram sent: "address:port, hex"
    const char* profile = "Default";  // another one is made active; Default holds 11...1
  };
  const std::string mac = Packet("0A1B2C3D4E5F");
  const Row rows[] = {
      {"defaults: six FFs and 120 zeros", 0, 0, nullptr, "255.255.255.255:7, " + Packet("000000000000")},
      // First octet in the high byte.
      {"byte order", 0x0A000001, 0xFF000000, "0A1B2C3D4E5F", "10.255.255.255:7, " + mac},
      {"mask 0", 0xC0A80114, 0, "0A1B2C3D4E5F", "255.255.255.255:7, " + mac},
      {"first 12 digits", 0xC0A80114, 0xFFFFFF00, "0A1B2C3D4E5FEE", "192.168.1.255:7, " + mac},
      {"short text", 0xC0A80114, 0xFFFFFF00, "A9C", "192.168.1.255:7, " + Packet("A9C000000000")},
      // Non-digits, letters past F and high bytes count as 0; either case is read.
      {"non-hex", 0xC0A80114, 0xFFFFFF00, "G\xFF:2z-3a4f5e", "192.168.1.255:7, " + Packet("0002003A4F5E")},
      {"active profile", 0x0A000105, 0xFFFF0000, "222222222222", "10.0.255.255:7, " + Packet("222222222222"),
       "Office"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    network = FakeNetworkSystem();
    testsupport::DeleteSettingsRoot();
    if (row.mac) StoreTarget(row.profile, row.address, row.mask, row.mac);
    if (std::string(row.profile) != "Default") {
      StoreTarget("Default", 0xC0A80114, 0xFFFFFF00, "111111111111");
      DataSystem::SetActiveProfileName("Profiles", row.profile, DataSystem::kHiveCurrentUser);
    }
    WakeOnLan();
    EXPECT_EQ(network.calls, std::vector<std::string>{"Send(" + row.expected + ")"});
  }
}

// Anything but plain dotted decimal sends nothing, never a broadcast to the
// whole segment; each failing step of a send has its own result.
TEST_F(WakeOnLanTest, AddressTextsMustBeDottedDecimalAndEachFailingStepHasItsResult) {
  for (const char* text : {"256.1.1.1", "1.2.3", "1.2.3.4.5", "010.1.1.1", ""}) {
    EXPECT_EQ(ParseIPv4(text), std::nullopt) << text;
    EXPECT_EQ(SendMagicPacket(text, "0A1B2C3D4E5F", "255.255.255.0"), -1) << text;
    EXPECT_EQ(SendMagicPacket("192.168.1.20", "0A1B2C3D4E5F", text), -1) << text;
  }
  EXPECT_TRUE(network.calls.empty());
  using R = platform::INetworkSystem::SendResult;
  for (const auto& [result, code] :
       {std::pair{R::kNoSocket, -5}, {R::kBroadcastRefused, -6}, {R::kNotAllSent, -7}}) {
    network.sendResult = result;
    EXPECT_EQ(SendMagicPacket("192.168.1.20", "0A1B2C3D4E5F", "255.255.255.0"), code);
  }
}

TEST(IsValidMacTextTest, TwelveOrMoreHexDigitsTurnedToUpperCase) {
  const std::tuple<std::string, bool, std::string> rows[] = {  // the text, valid, the text after
      {"00112233445", false, "00112233445"},  // too short: left as it is
      {"0a1b2c3d4e5f", true, "0A1B2C3D4E5F"},
      {"00:1a:22:3b:44:5c", false, "00:1A:22:3B:44:5C"},
      {"00112233445\xE9", false, "00112233445\xE9"},
      {std::string("0011223344\0" "5", 12), false, std::string("0011223344\0" "5", 12)},
  };
  for (const auto& [before, valid, after] : rows) {
    std::string text = before;
    EXPECT_EQ(IsValidMacText(text), valid) << before;
    EXPECT_EQ(text, after);
  }
}

ArpEntry Entry(std::uint32_t address, std::vector<std::uint8_t> physical,
               std::uint32_t type = platform::kArpDynamic) {
  return {address, std::move(physical), type};
}

TEST_F(WakeOnLanTest, GetMacAddressEchoesThenTakesTheFirstUsableArpEntryForTheAddress) {
  constexpr std::uint32_t kTarget = 0xC0A80114;  // 192.168.1.20
  const std::vector<std::uint8_t> mac = {0x00, 0xA0, 0xC9, 0x14, 0xC8, 0x29};
  const ArpEntry found = Entry(kTarget, mac);
  // Not resolved: WakeOnLANException.
  const std::tuple<const char*, std::vector<ArpEntry>, std::vector<ArpEntry>, bool, bool, bool> rows[] = {
      {"first match wins", {Entry(0xC0A80101, {1, 2, 3, 4, 5, 6}), found, Entry(kTarget, {1, 1, 1, 1, 1, 1})},
       {}, true, true, true},
      {"resolved by the echo", {}, {found}, true, true, true},
      {"unresolved entries skipped",
       {Entry(kTarget, {0, 0, 0, 0, 0, 0}, platform::kArpInvalid), Entry(kTarget, {}),
        Entry(kTarget, mac, platform::kArpStatic)}, {}, true, true, true},
      {"byte-swapped is another host", {Entry(0x1401A8C0, mac)}, {}, true, true, false},
      {"no ICMP", {found}, {}, false, true, false},
      {"table unreadable", {found}, {}, true, false, false},
  };
  for (const auto& [what, table, resolvedByEcho, echoAvailable, arpReadable, resolved] : rows) {
    SCOPED_TRACE(what);
    network = FakeNetworkSystem();
    network.arpTable = table;
    network.resolvedByEcho = resolvedByEcho;
    network.echoAvailable = echoAvailable;
    network.arpReadable = arpReadable;
    std::string text = "(throws)";
    EXPECT_EQ(CodeOf<WakeOnLANException>([&] { text = GetMacAddress(kTarget); }, 9), resolved ? -1 : 0);
    EXPECT_EQ(text, resolved ? "00A0C914C829" : "(throws)");
    EXPECT_EQ(network.calls.at(0), "Echo(192.168.1.20, 5000 ms)");
  }
}

}  // namespace
