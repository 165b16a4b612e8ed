// The host build sends nothing: a wake-up packet or an echo from a test run
// on a developer's machine would reach the real network. Every operation
// fails, so the callers take their failure paths.
#include "platform/NetworkSystem.h"

namespace platform {
namespace {
class InertNetworkSystem final : public INetworkSystem {
 public:
  SendResult SendDatagram(std::uint32_t, std::uint16_t, std::span<const std::uint8_t>) override {
    return SendResult::kNoSocket;
  }
  bool SendEcho(std::uint32_t, std::uint32_t) override { return false; }
  bool ReadArpTable(std::vector<ArpEntry>&) override { return false; }
};
}  // namespace

INetworkSystem& DefaultNetwork() {
  static InertNetworkSystem network;
  return network;
}
}  // namespace platform
