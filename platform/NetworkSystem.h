#pragma once
// What the Wake-on-LAN action and the hardware-address lookup need from the
// network: one datagram that may be a broadcast, an ICMP echo that makes the
// system resolve an address, and the system's ARP table. Addresses cross
// this interface as 32-bit numbers with the first octet in the most
// significant byte (192.168.1.20 is 0xC0A80114); ports as plain numbers.
// The implementations convert to network byte order themselves.
//
// Network() is the implementation in use: the real one in the Windows build,
// an inert one on the host (nothing can be sent there by accident). Tests
// install a fake with ScopedNetwork.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Services.h"
#include "platform/ServiceSlot.h"

namespace platform {

// The kinds of an ARP entry, with the MIB_IPNET_TYPE_* values.
enum ArpEntryType : std::uint32_t {
  kArpOther = 1,
  kArpInvalid = 2,  // a stale or unresolved entry: its hardware address means nothing
  kArpDynamic = 3,
  kArpStatic = 4,
};

struct ArpEntry {
  std::uint32_t address = 0;             // first octet most significant
  std::vector<std::uint8_t> physical;    // as many bytes as the entry says (at most 8)
  std::uint32_t type = kArpDynamic;      // ArpEntryType
};

class INetworkSystem {
 public:
  virtual ~INetworkSystem() = default;

  // One datagram to address:port through a socket of its own that may
  // broadcast, closed again whatever happened.
  enum class SendResult { kSent, kNoSocket, kBroadcastRefused, kNotAllSent };
  virtual SendResult SendDatagram(std::uint32_t address, std::uint16_t port,
                                  std::span<const std::uint8_t> data) = 0;

  // Sends one ICMP echo request to the address and waits up to the time-out
  // for the reply, which is not examined. False only when no echo could be
  // attempted at all (the ICMP service is unavailable).
  virtual bool SendEcho(std::uint32_t address, std::uint32_t timeoutMs) = 0;
  // The whole ARP table in the system's order, unsorted. False: it could not
  // be read.
  virtual bool ReadArpTable(std::vector<ArpEntry>& entries) = 0;
};

// Defined once per build by platform/win32 or platform/host.
INetworkSystem& DefaultNetwork();

using NetworkSlot = ServiceSlot<INetworkSystem, DefaultNetwork>;
inline INetworkSystem& Network() { return NetworkSlot::Get(); }
using ScopedNetwork = NetworkSlot::Scoped;

}  // namespace platform
