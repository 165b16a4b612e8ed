// Wake-on-LAN against a fake network: the datagram, its address, each failing step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/WakeOnLan.h"
#include "platform/Services.h"
#include "platform/memory/FakeNetworkSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using platform::ArpEntry;
using platform::FakeNetworkSystem;
using testing_support::CodeOf;

namespace {

class WakeOnLanTest : public ::testing::Test {
 protected:
  void StoreTarget(const std::string& profile, std::uint32_t address, std::uint32_t mask,
                   const std::string& mac) {
    const std::string section = "Profiles\\" + profile;
    DataSystem::WriteNumbers({DataSystem::kIPAddr, DataSystem::kSubnet}, {address, mask}, section,
                             DataSystem::kHiveCurrentUser);
    DataSystem::WriteStrings({DataSystem::kMACAddr}, {mac}, section, DataSystem::kHiveCurrentUser);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeNetworkSystem network;
  platform::ScopedNetwork networkGuard{network};
};

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
  const struct {
    std::string text;
    bool valid;
    std::string after;
  } rows[] = {
      {"00112233445", false, "00112233445"},  // too short: left as it is
      {"0a1b2c3d4e5f", true, "0A1B2C3D4E5F"},
      {"00:1a:22:3b:44:5c", false, "00:1A:22:3B:44:5C"},
      {"00112233445\xE9", false, "00112233445\xE9"},
      {std::string("0011223344\0" "5", 12), false, std::string("0011223344\0" "5", 12)},
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    EXPECT_EQ(IsValidMacText(text), row.valid) << row.text;
    EXPECT_EQ(text, row.after);
  }
}

ArpEntry Entry(std::uint32_t address, std::vector<std::uint8_t> physical,
               std::uint32_t type = platform::kArpDynamic) {
  return {address, std::move(physical), type};
}

TEST(GetMacAddressTest, EchoThenTheFirstUsableArpEntryForTheAddress) {
  constexpr std::uint32_t kTarget = 0xC0A80114;  // 192.168.1.20
  const std::vector<std::uint8_t> mac = {0x00, 0xA0, 0xC9, 0x14, 0xC8, 0x29};
  const ArpEntry found = Entry(kTarget, mac);
  const struct {
    const char* what;
    std::vector<ArpEntry> table, resolvedByEcho;
    bool echoAvailable, arpReadable, resolved;  // not resolved: WakeOnLANException
  } rows[] = {
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
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakeNetworkSystem network;
    platform::ScopedNetwork guard{network};
    network.arpTable = row.table;
    network.resolvedByEcho = row.resolvedByEcho;
    network.echoAvailable = row.echoAvailable;
    network.arpReadable = row.arpReadable;
    std::string text = "(throws)";
    EXPECT_EQ(CodeOf<WakeOnLANException>([&] { text = GetMacAddress(kTarget); }, 9), row.resolved ? -1 : 0);
    EXPECT_EQ(text, row.resolved ? "00A0C914C829" : "(throws)");
    EXPECT_EQ(network.calls.at(0), "Echo(192.168.1.20, 5000 ms)");
  }
}

}  // namespace
