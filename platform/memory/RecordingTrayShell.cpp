#include "platform/memory/RecordingTrayShell.h"

namespace platform {

bool RecordingTrayShell::NotifyIcon(TrayShellMessage message, const NotifyIconRecord& record) {
  calls.push_back({message, record});
  return refused_.count(message) == 0;
}

IconHandle RecordingTrayShell::LoadSmallIcon(std::int32_t resourceId) {
  // A handle that tells the tests which resource it came from.
  return static_cast<IconHandle>(0x10000 + resourceId);
}

}  // namespace platform
