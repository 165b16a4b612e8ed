#pragma once
// The one multimedia call the program makes: PlaySoundA without a module.
// The reminder decides what plays and how (actions/Reminder); this layer
// only carries the call out. The Win32 build's default plays through the
// system (platform/win32); the host build's stays silent (platform/host);
// tests install platform/memory/RecordingSoundPlayer.h so that nothing is
// ever heard.
#include <cstdint>
#include "platform/ServiceSlot.h"

namespace platform {

class ISoundPlayer {
 public:
  virtual ~ISoundPlayer() = default;
  // PlaySoundA(name, no module, flags); a null name stops whatever sound
  // the process plays. True when the system accepted the call.
  virtual bool Play(const char* name, std::uint32_t flags) = 0;
};

ISoundPlayer& DefaultSoundPlayer();

using SoundPlayerSlot = ServiceSlot<ISoundPlayer, DefaultSoundPlayer>;
inline ISoundPlayer& SoundPlayer() { return SoundPlayerSlot::Get(); }
using ScopedSoundPlayer = SoundPlayerSlot::Scoped;

}  // namespace platform
