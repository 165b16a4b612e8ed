// The real Windows network layer, kept on the loopback interface: every
// datagram goes to 127.0.0.1 on a port this test has bound itself, and the
// only echo goes to 127.0.0.1. Nothing is broadcast.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "actions/WakeOnLan.h"
#include "platform/NetworkSystem.h"

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;

// A UDP socket bound to 127.0.0.1, on a port the system picks, where the
// tests' datagrams go.
class LoopbackReceiver {
 public:
  LoopbackReceiver() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof self;
    if (bind(socket_, reinterpret_cast<const sockaddr*>(&self), sizeof self) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&self), &size) == 0) {
      port = ntohs(self.sin_port);
    }
  }
  ~LoopbackReceiver() {
    closesocket(socket_);
    WSACleanup();
  }
  LoopbackReceiver(const LoopbackReceiver&) = delete;
  LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

  // The next datagram, or nothing within the time.
  std::optional<std::vector<std::uint8_t>> Receive(DWORD timeoutMs) {
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    std::vector<std::uint8_t> buffer(2048);
    const int got = recv(socket_, reinterpret_cast<char*>(buffer.data()), 2048, 0);
    if (got < 0) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(got));
    return buffer;
  }

  std::uint16_t port = 0;  // 0 until bound

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

TEST(Win32NetworkSystemTest, MagicPacketArrivesByteForByte) {
  LoopbackReceiver receiver;
  ASSERT_NE(receiver.port, 0);
  EXPECT_EQ(Vesperon::SendMagicPacketTo(kLoopback, receiver.port, "00a0c914c829"), 0);
  std::vector<std::uint8_t> expected(6, 0xFF);
  for (int i = 0; i < 20; ++i) expected.insert(expected.end(), {0x00, 0xA0, 0xC9, 0x14, 0xC8, 0x29});
  EXPECT_EQ(receiver.Receive(5000), expected);
  EXPECT_EQ(receiver.Receive(200), std::nullopt) << "exactly one datagram";
}

// A datagram the system refuses must come back as a failed send, not as sent.
TEST(Win32NetworkSystemTest, RefusedDatagramIsAFailedSend) {
  LoopbackReceiver receiver;
  ASSERT_NE(receiver.port, 0);
  const std::vector<std::uint8_t> tooLarge(70000, 0x5A);  // over the 65507-byte UDP limit
  EXPECT_EQ(platform::Network().SendDatagram(kLoopback, receiver.port, tooLarge),
            platform::INetworkSystem::SendResult::kNotAllSent);
  EXPECT_EQ(receiver.Receive(200), std::nullopt);
}

}  // namespace
