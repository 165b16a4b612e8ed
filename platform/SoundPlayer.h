#pragma once
// The one multimedia call the program makes: PlaySoundA without a module.
// The reminder decides what plays and how (actions/Reminder); this layer
// only carries the call out. The Win32 build's default plays through the
// system (platform/win32); the host build's stays silent (platform/host);
// tests install platform/memory/RecordingSoundPlayer.h so that nothing is
// ever heard.
#include <cstdint>

namespace platform {

class ISoundPlayer {
 public:
  virtual ~ISoundPlayer() = default;
  // PlaySoundA(name, no module, flags); a null name stops whatever sound
  // the process plays. True when the system accepted the call.
  virtual bool Play(const char* name, std::uint32_t flags) = 0;
};

ISoundPlayer& DefaultSoundPlayer();

namespace detail {
inline ISoundPlayer* g_soundPlayer = nullptr;
}  // namespace detail

inline ISoundPlayer& SoundPlayer() {
  return detail::g_soundPlayer ? *detail::g_soundPlayer : DefaultSoundPlayer();
}
// Installs a player; nullptr goes back to the build's default. Returns the
// one installed before.
inline ISoundPlayer* SetSoundPlayer(ISoundPlayer* player) {
  ISoundPlayer* const previous = detail::g_soundPlayer;
  detail::g_soundPlayer = player;
  return previous;
}

class ScopedSoundPlayer {
 public:
  explicit ScopedSoundPlayer(ISoundPlayer& player) : previous_(SetSoundPlayer(&player)) {}
  ~ScopedSoundPlayer() { SetSoundPlayer(previous_); }
  ScopedSoundPlayer(const ScopedSoundPlayer&) = delete;
  ScopedSoundPlayer& operator=(const ScopedSoundPlayer&) = delete;

 private:
  ISoundPlayer* previous_;
};

}  // namespace platform
