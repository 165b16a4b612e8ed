#include "platform/memory/FakeNetworkSystem.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {
std::string Dotted(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFFu,
                (address >> 8) & 0xFFu, address & 0xFFu);
  return text;
}
}  // namespace

bool FakeNetworkSystem::OpenDatagramSocket(NetSocket& socket) {
  if (failAt == Failure::kOpen) {
    calls.push_back("Open -> failed");
    return false;
  }
  socket = nextSocket_++;
  openSockets.push_back(socket);
  calls.push_back("Open -> " + std::to_string(socket));
  return true;
}

bool FakeNetworkSystem::PermitBroadcast(NetSocket socket) {
  calls.push_back("PermitBroadcast(" + std::to_string(socket) + ")");
  return failAt != Failure::kBroadcast;
}

bool FakeNetworkSystem::SendDatagram(NetSocket socket, std::uint32_t address, std::uint16_t port,
                                     std::span<const std::uint8_t> data) {
  calls.push_back("Send(" + std::to_string(socket) + ", " + Dotted(address) + ":" +
                  std::to_string(port) + ", " + std::to_string(data.size()) + " bytes)");
  if (failAt == Failure::kSend) return false;
  sent.push_back({socket, address, port, std::vector<std::uint8_t>(data.begin(), data.end())});
  return true;
}

void FakeNetworkSystem::CloseSocket(NetSocket socket) {
  calls.push_back("Close(" + std::to_string(socket) + ")");
  openSockets.erase(std::remove(openSockets.begin(), openSockets.end(), socket), openSockets.end());
}

bool FakeNetworkSystem::SendEcho(std::uint32_t address, std::uint32_t timeoutMs) {
  calls.push_back("Echo(" + Dotted(address) + ", " + std::to_string(timeoutMs) + " ms)");
  if (!echoAvailable) return false;
  for (const ArpEntry& entry : resolvedByEcho) {
    if (entry.address == address) arpTable.push_back(entry);
  }
  return true;
}

bool FakeNetworkSystem::ReadArpTable(std::vector<ArpEntry>& entries) {
  calls.push_back("ReadArpTable()");
  if (!arpReadable) return false;
  entries = arpTable;
  return true;
}

}  // namespace platform
