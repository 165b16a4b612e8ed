// The host build has no taskbar: the shell accepts every record and shows
// nothing, so that the tray code runs unchanged in host tests.
#include "platform/TrayShell.h"

namespace platform {
namespace {
class HostTrayShell final : public ITrayShell {
 public:
  bool NotifyIcon(TrayShellMessage, const NotifyIconRecord&) override { return true; }
  IconHandle LoadSmallIcon(std::int32_t) override { return 0; }
};
}  // namespace

ITrayShell& DefaultTrayShell() {
  static HostTrayShell shell;
  return shell;
}
}  // namespace platform
