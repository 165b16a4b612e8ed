// The host build has no sound service: every call is refused without effect.
#include "platform/SoundPlayer.h"

namespace platform {
namespace {

class SilentSoundPlayer final : public ISoundPlayer {
 public:
  bool Play(const char*, std::uint32_t) override { return false; }
};

}  // namespace

ISoundPlayer& DefaultSoundPlayer() {
  static SilentSoundPlayer player;
  return player;
}

}  // namespace platform
