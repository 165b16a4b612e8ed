#include "platform/memory/RecordingSoundPlayer.h"

namespace platform {

bool RecordingSoundPlayer::Play(const char* name, std::uint32_t flags) {
  calls.push_back(SoundCall{name == nullptr, name ? name : "", flags});
  return true;
}

}  // namespace platform
