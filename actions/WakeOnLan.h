#pragma once
// Wake-on-LAN: the magic packet that wakes a computer on the network, sent to
// the directed broadcast address of its subnet, and the lookup of a
// computer's hardware address in the system's ARP table. Everything here is
// portable; the sockets, the ICMP echo and the ARP table are reached through
// platform::Network().
//
// IPv4 addresses are 32-bit numbers with the first octet in the most
// significant byte: the form the stored IPAddr and Subnet settings have.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/Exception.h"

namespace Vesperon {

// The hardware-address lookup found nothing (or could not look).
class WakeOnLANException : public Exception {
 public:
  WakeOnLANException() : Exception(0, kCategoryWakeOnLan) {}
};

// Results of SendMagicPacket.
enum SendMagicPacketResult : std::int32_t {
  kMagicPacketSent = 0,
  // The address or mask text is not a dotted-decimal IPv4 address. Nothing is
  // sent: guessing would mean broadcasting to the whole segment.
  kMagicPacketBadAddress = -1,
  kMagicPacketSocketFailed = -5,
  kMagicPacketBroadcastFailed = -6,
  kMagicPacketSendFailed = -7,
};

inline constexpr std::uint16_t kWakeOnLanPort = 7;  // UDP echo
inline constexpr std::size_t kMacAddressBytes = 6;
inline constexpr std::size_t kMacTextDigits = 2 * kMacAddressBytes;
inline constexpr std::size_t kMagicPacketRepeats = 20;
inline constexpr std::size_t kMagicPacketSize = 6 + kMagicPacketRepeats * kMacAddressBytes;  // 126
// How long the lookup waits for the echo that makes the system resolve the address.
inline constexpr std::uint32_t kMacLookupEchoTimeoutMs = 5000;

using MacAddress = std::array<std::uint8_t, kMacAddressBytes>;
using MagicPacket = std::array<std::uint8_t, kMagicPacketSize>;

// The "Wake on LAN" action: sends the magic packet for the active profile's
// WakeOnLAN settings (IPAddr, Subnet, MACAddr). A failure to send is not
// reported; the settings store's exceptions pass through.
void WakeOnLan();

// Sends the packet for the first 12 digits of `macText` to UDP port 7 of the
// directed broadcast address of `addressText` and `maskText` (dotted decimal).
std::int32_t SendMagicPacket(const std::string& addressText, const std::string& macText,
                             const std::string& maskText);
// The packet for `macText` to `target`:`port` as given: no broadcast address
// is worked out. Returns one of SendMagicPacketResult (never -1).
std::int32_t SendMagicPacketTo(std::uint32_t target, std::uint16_t port, std::string_view macText);

// The value of a hexadecimal digit of either case; any other character is 0.
int HexDigitValue(char c);
// Whether the text can be a hardware address: at least 12 characters, all
// hexadecimal digits (longer texts pass; only their first 12 digits are used).
// A text of 12 characters or more is turned to upper case in place, whatever
// the result.
bool IsValidMacText(std::string& text);

// Byte k from digits 2k and 2k+1 as HexDigitValue reads them; digits missing
// from a short text count as 0.
MacAddress ParseMacText(std::string_view text);
// Six 0xFF bytes, then the address 20 times.
MagicPacket BuildMagicPacket(const MacAddress& mac);

// Every host bit of the address set: the address every host of its subnet
// receives. A mask of 0 gives 255.255.255.255.
constexpr std::uint32_t DirectedBroadcast(std::uint32_t address, std::uint32_t mask) {
  return (address & mask) | ~mask;
}
// "%d.%d.%d.%d", first octet first.
std::string FormatIPv4(std::uint32_t address);
// Exactly four decimal parts of 0 to 255, separated by points, nothing
// else. Parts with a leading zero are refused: the system's parser reads
// them as octal, and the two must never disagree on a target.
std::optional<std::uint32_t> ParseIPv4(std::string_view text);

// The hardware address of `address` as two upper-case hexadecimal digits per
// byte: an ICMP echo first makes the system resolve the address, then the
// first usable ARP entry for it gives the answer. Throws WakeOnLANException
// when the echo cannot be sent, the table cannot be read or holds no
// usable entry for the address. Blocks for up to the echo time-out.
std::string GetMacAddress(std::uint32_t address);

}  // namespace Vesperon
