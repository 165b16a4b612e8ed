#pragma once
// A remote access service for tests: the active connections (or the error
// of the listing) are whatever the test sets; every listing is counted and
// every hang-up written down. Nothing is ever hung up.
#include "platform/DialUpSystem.h"

namespace platform {

class FakeDialUpSystem final : public IDialUpSystem {
 public:
  std::uint32_t ListConnections(std::vector<DialUpConnection>& out) override {
    ++listings;
    out.clear();
    if (error == 0) out = connections;
    return error;
  }
  void HangUp(const DialUpConnection& connection) override { hangUps.push_back(connection.handle); }

  std::vector<DialUpConnection> connections;
  std::uint32_t error = 0;
  int listings = 0;
  std::vector<std::uint64_t> hangUps;  // in call order
};

}  // namespace platform
