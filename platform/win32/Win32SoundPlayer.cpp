// PlaySoundA of the multimedia library (winmm).
#include <windows.h>
#include <mmsystem.h>

#include "platform/SoundPlayer.h"

namespace platform {
namespace {

class Win32SoundPlayer final : public ISoundPlayer {
 public:
  bool Play(const char* name, std::uint32_t flags) override {
    return PlaySoundA(name, nullptr, flags) != FALSE;
  }
};

}  // namespace

ISoundPlayer& DefaultSoundPlayer() {
  static Win32SoundPlayer player;
  return player;
}

}  // namespace platform
