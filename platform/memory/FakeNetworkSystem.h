#pragma once
// A network for tests: nothing leaves the process. It writes down every
// call in order, keeps each datagram it is asked to send, can be told to
// fail at any step, and answers the ARP table the test sets up.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/NetworkSystem.h"

namespace platform {

class FakeNetworkSystem final : public INetworkSystem {
 public:
  struct Datagram {
    NetSocket socket = 0;
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    std::vector<std::uint8_t> bytes;
  };
  enum class Failure { kNone, kOpen, kBroadcast, kSend };

  bool OpenDatagramSocket(NetSocket& socket) override;
  bool PermitBroadcast(NetSocket socket) override;
  bool SendDatagram(NetSocket socket, std::uint32_t address, std::uint16_t port,
                    std::span<const std::uint8_t> data) override;
  void CloseSocket(NetSocket socket) override;
  bool SendEcho(std::uint32_t address, std::uint32_t timeoutMs) override;
  bool ReadArpTable(std::vector<ArpEntry>& entries) override;

  // The step that fails; the others succeed.
  Failure failAt = Failure::kNone;
  bool echoAvailable = true;
  bool arpReadable = true;
  std::vector<ArpEntry> arpTable;
  // Entries an echo adds to the end of the table, as the system does when
  // the address answers.
  std::vector<ArpEntry> resolvedByEcho;

  // "Open -> 1", "PermitBroadcast(1)", "Send(1, 192.168.1.255:7, 126 bytes)",
  // "Close(1)", "Echo(192.168.1.20, 5000 ms)", "ReadArpTable()".
  std::vector<std::string> calls;
  std::vector<Datagram> sent;
  // Sockets opened and not closed yet.
  std::vector<NetSocket> openSockets;

 private:
  NetSocket nextSocket_ = 1;
};

}  // namespace platform
