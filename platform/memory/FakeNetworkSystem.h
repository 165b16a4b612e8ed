#pragma once
// A network for tests: nothing leaves the process. It writes down each
// datagram and echo in order (or answers the failure it is told to), and
// answers the ARP table the test sets up.
#include <string>

#include "platform/NetworkSystem.h"
#include "platform/memory/LogText.h"

namespace platform {

class FakeNetworkSystem final : public INetworkSystem {
 public:
  SendResult SendDatagram(std::uint32_t address, std::uint16_t port,
                          std::span<const std::uint8_t> data) override {
    calls.push_back("Send(" + Dotted(address) + ":" + std::to_string(port) + ", " +
                    HexBytes(data) + ")");
    return sendResult;
  }
  bool SendEcho(std::uint32_t address, std::uint32_t timeoutMs) override {
    calls.push_back("Echo(" + Dotted(address) + ", " + std::to_string(timeoutMs) + " ms)");
    if (!echoAvailable) return false;
    for (const ArpEntry& entry : resolvedByEcho) {
      if (entry.address == address) arpTable.push_back(entry);
    }
    return true;
  }
  bool ReadArpTable(std::vector<ArpEntry>& entries) override {
    entries = arpTable;
    return arpReadable;
  }

  SendResult sendResult = SendResult::kSent;
  bool echoAvailable = true;
  bool arpReadable = true;
  std::vector<ArpEntry> arpTable;
  // Entries an echo adds to the end of the table, as the system does when
  // the address answers.
  std::vector<ArpEntry> resolvedByEcho;
  // "Send(192.168.1.255:7, FFFF...)", "Echo(192.168.1.20, 5000 ms)".
  std::vector<std::string> calls;

 private:
  static std::string Dotted(std::uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
  }
};

}  // namespace platform
