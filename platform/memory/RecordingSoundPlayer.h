#pragma once
// A sound player that plays nothing: it keeps every call in order. A null
// name (the "stop" call) is kept as `stop` true with an empty name.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SoundPlayer.h"

namespace platform {

struct SoundCall {
  bool stop = false;
  std::string name;
  std::uint32_t flags = 0;
  friend bool operator==(const SoundCall&, const SoundCall&) = default;
};

class RecordingSoundPlayer final : public ISoundPlayer {
 public:
  bool Play(const char* name, std::uint32_t flags) override {
    calls.push_back(SoundCall{name == nullptr, name ? name : "", flags});
    return true;
  }

  std::vector<SoundCall> calls;
};

}  // namespace platform
