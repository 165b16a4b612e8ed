#include "actions/WakeOnLan.h"

#include <cstdio>
#include <vector>

#include "platform/NetworkSystem.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {
namespace {

std::string ActiveProfileSection() {
  return std::string("Profiles\\") +
         DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
}

}  // namespace

void WakeOnLan() {
  DataSystem::WakeOnLanSettings settings;
  settings.Load(ActiveProfileSection());
  // The action has nobody to tell about a failed send.
  SendMagicPacket(FormatIPv4(settings.address), settings.macAddress.substr(0, kMacTextDigits),
                  FormatIPv4(settings.subnet));
}

std::int32_t SendMagicPacket(const std::string& addressText, const std::string& macText,
                             const std::string& maskText) {
  const std::optional<std::uint32_t> address = ParseIPv4(addressText);
  const std::optional<std::uint32_t> mask = ParseIPv4(maskText);
  if (!address || !mask) return kMagicPacketBadAddress;
  return SendMagicPacketTo(DirectedBroadcast(*address, *mask), kWakeOnLanPort, macText);
}

std::int32_t SendMagicPacketTo(std::uint32_t target, std::uint16_t port, std::string_view macText) {
  const MagicPacket packet = BuildMagicPacket(ParseMacText(macText));
  using Result = platform::INetworkSystem::SendResult;
  switch (platform::Network().SendDatagram(target, port, packet)) {
    case Result::kSent: return kMagicPacketSent;
    case Result::kNoSocket: return kMagicPacketSocketFailed;
    case Result::kBroadcastRefused: return kMagicPacketBroadcastFailed;
    case Result::kNotAllSent: break;
  }
  return kMagicPacketSendFailed;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  // Letters past F would otherwise give 16 and more and spill into the
  // neighbouring digit of the byte.
  return 0;
}

bool IsValidMacText(std::string& text) {
  if (text.size() < kMacTextDigits) return false;
  bool valid = true;
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    valid = valid && hex;
  }
  return valid;
}

MacAddress ParseMacText(std::string_view text) {
  // A stored text may be shorter than 12 characters; read no further than it.
  const auto digit = [&](std::size_t i) { return i < text.size() ? HexDigitValue(text[i]) : 0; };
  MacAddress mac{};
  for (std::size_t k = 0; k < kMacAddressBytes; ++k) {
    mac[k] = static_cast<std::uint8_t>(16 * digit(2 * k) + digit(2 * k + 1));
  }
  return mac;
}

MagicPacket BuildMagicPacket(const MacAddress& mac) {
  MagicPacket packet{};
  std::size_t at = 0;
  for (int i = 0; i < 6; ++i) packet[at++] = 0xFF;
  for (std::size_t repeat = 0; repeat < kMagicPacketRepeats; ++repeat) {
    for (std::uint8_t byte : mac) packet[at++] = byte;
  }
  return packet;
}

std::string FormatIPv4(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(address >> 24),
                static_cast<int>((address >> 16) & 0xFF), static_cast<int>((address >> 8) & 0xFF),
                static_cast<int>(address & 0xFF));
  return text;
}

std::optional<std::uint32_t> ParseIPv4(std::string_view text) {
  std::uint32_t address = 0;
  std::size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return std::nullopt;
      ++at;
    }
    const std::size_t start = at;
    std::uint32_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3) {
      value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
      ++at;
    }
    const std::size_t digits = at - start;
    if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0')) return std::nullopt;
    address = (address << 8) | value;
  }
  if (at != text.size()) return std::nullopt;
  return address;
}

std::string GetMacAddress(std::uint32_t address) {
  platform::INetworkSystem& network = platform::Network();
  // The reply does not matter: the echo only makes the system resolve the
  // address into its ARP table.
  if (!network.SendEcho(address, kMacLookupEchoTimeoutMs)) throw WakeOnLANException();
  std::vector<platform::ArpEntry> table;
  if (!network.ReadArpTable(table)) throw WakeOnLANException();
  for (const platform::ArpEntry& entry : table) {
    // An unresolved entry for the address carries no hardware address (or a
    // meaningless one); answering with it would store a wrong target.
    if (entry.address != address || entry.type == platform::kArpInvalid ||
        entry.physical.empty()) {
      continue;
    }
    std::string text;
    for (std::uint8_t byte : entry.physical) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02X", byte);
      text += digits;
    }
    return text;
  }
  throw WakeOnLANException();
}

}  // namespace Vesperon
