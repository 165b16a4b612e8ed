// The real Windows network layer, kept on the loopback interface: every
// datagram goes to 127.0.0.1 on a port this test has bound itself, and the
// only echo goes to 127.0.0.1. Nothing is broadcast.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win32/LoopbackReceiver.h"

#include <optional>
#include <vector>

#include "actions/WakeOnLan.h"
#include "platform/NetworkSystem.h"

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;

using testing_support::LoopbackReceiver;

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
