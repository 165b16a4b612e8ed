#pragma once
// A UDP socket bound to 127.0.0.1, on a port the system picks, where the
// tests' datagrams go.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace testing_support {

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
  std::optional<std::vector<std::uint8_t>> Receive(int timeoutMs) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1) return std::nullopt;
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

}  // namespace testing_support
