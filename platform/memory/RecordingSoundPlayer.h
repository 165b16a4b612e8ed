#pragma once
// A sound player that plays nothing: it writes every call into `log`, in
// order, "Play(C:\s.wav, 0x20009)", or "Stop" for the call with a null name.
#include <vector>

#include "platform/SoundPlayer.h"
#include "platform/memory/LogText.h"

namespace platform {

class RecordingSoundPlayer final : public ISoundPlayer {
 public:
  bool Play(const char* name, std::uint32_t flags) override {
    log.push_back(name ? "Play(" + std::string(name) + ", " + HexText(flags) + ")" : "Stop");
    return true;
  }

  std::vector<std::string> log;
};

}  // namespace platform
