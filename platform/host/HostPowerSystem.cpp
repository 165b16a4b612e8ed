// The host build has no Windows session to end and no libraries to bind:
// every intent fails without an effect (no library loads, no shell window
// is found, the token cannot be opened). Tests install the recording fake.
#include "platform/PowerSystem.h"

namespace platform {
namespace {

constexpr BoundResult kNoLibrary{Binding::kLibraryMissing, false};

class RefusingPowerSystem final : public IPowerSystem {
 public:
  bool EndSession(std::uint32_t, std::uint32_t) override { return false; }
  bool QuitShell() override { return false; }
  bool StartShell() override { return false; }
  bool BroadcastMonitorPower(bool, std::uint32_t) override { return false; }
  bool StartScreenSaver() override { return false; }
  BoundResult LockWorkStation() override { return kNoLibrary; }
  BoundResult Suspend(bool, bool, bool) override { return kNoLibrary; }
  BoundResult SetLayeredWindowAlpha(WindowHandle, std::uint8_t) override { return kNoLibrary; }
  PrivilegeResult ChangePrivilege(Privilege, PrivilegeChange) override {
    return PrivilegeResult::kTokenNotOpened;
  }
};

}  // namespace

IPowerSystem& DefaultPowerSystem() {
  static RefusingPowerSystem system;
  return system;
}

}  // namespace platform
