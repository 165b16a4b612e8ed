// PlaySoundA of the multimedia library (winmm). The library is not one the
// system protects from a planted copy, so it is not imported: it is loaded
// from the system folder at the first sound.
#include <windows.h>

#include "platform/SoundPlayer.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);

PlaySoundFn BindPlaySound() {
  const HMODULE winmm = LoadSystemLibrary("winmm.dll");
  if (winmm == nullptr) return nullptr;
  return reinterpret_cast<PlaySoundFn>(
      reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundA")));
}

class Win32SoundPlayer final : public ISoundPlayer {
 public:
  bool Play(const char* name, std::uint32_t flags) override {
    static const PlaySoundFn playSound = BindPlaySound();
    return playSound != nullptr && playSound(name, nullptr, flags) != FALSE;
  }
};

}  // namespace

ISoundPlayer& DefaultSoundPlayer() {
  static Win32SoundPlayer player;
  return player;
}

}  // namespace platform
