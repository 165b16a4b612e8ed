// The host build's services that stand for parts of Windows the host does not
// have. Nothing here reaches the host system, and nothing a call asks for can
// have an effect: every such call fails (no library loads, no shell window is
// found, no token opens, no sound plays, no service manager answers), so the
// callers take their failure paths. Tests install their own stand-ins.
#include "platform/DialUpSystem.h"
#include "platform/HotKeySystem.h"
#include "platform/NetworkSystem.h"
#include "platform/PowerSystem.h"
#include "platform/ProcessSystem.h"
#include "platform/RegistryPrivileges.h"
#include "platform/ServiceManager.h"
#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "platform/TrayShell.h"
#include "platform/WindowEffects.h"
#include "platform/memory/FakeDesktop.h"
#include "platform/memory/FakeDialUpSystem.h"
#include "platform/memory/FakeProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"

namespace platform {
namespace {

// A fixed Windows XP record: the portable core then takes the same branches
// it takes on the most common target.
class FixedOsVersion final : public IOsVersionSource {
 public:
  bool Query(OsVersionRecord& out) override {
    out = {2, 5, 1};
    return true;
  }
};

// A wake-up packet or an echo from a test run on a developer's machine
// would reach the real network.
class InertNetworkSystem final : public INetworkSystem {
 public:
  SendResult SendDatagram(std::uint32_t, std::uint16_t, std::span<const std::uint8_t>) override {
    return SendResult::kNoSocket;
  }
  bool SendEcho(std::uint32_t, std::uint32_t) override { return false; }
  bool ReadArpTable(std::vector<ArpEntry>&) override { return false; }
};

class InertHotKeySystem final : public IHotKeySystem {
 public:
  Atom GlobalAddAtomA(const std::string&) override { return 0; }
  Atom GlobalDeleteAtom(Atom atom) override { return atom; }
  bool RegisterHotKey(WindowHandle, std::int32_t, std::uint32_t, std::uint32_t) override { return false; }
  bool UnregisterHotKey(WindowHandle, std::int32_t) override { return false; }
  std::string KeyName(std::uint32_t, bool) override { return {}; }
};

class InertPowerSystem final : public IPowerSystem {
 public:
  bool EndSession(std::uint32_t, std::uint32_t) override { return false; }
  bool QuitShell() override { return false; }
  bool StartShell() override { return false; }
  bool BroadcastMonitorPower(bool, std::uint32_t) override { return false; }
  bool StartScreenSaver() override { return false; }
  BoundResult LockWorkStation() override { return kNoLibrary; }
  BoundResult Suspend(bool, bool, bool) override { return kNoLibrary; }
  BoundResult SetLayeredWindowAlpha(WindowHandle, std::uint8_t) override { return kNoLibrary; }
  PrivilegeResult ChangePrivilege(Privilege, PrivilegeChange) override { return PrivilegeResult::kTokenNotOpened; }

 private:
  static constexpr BoundResult kNoLibrary{Binding::kLibraryMissing, false};
};

// No service is ever seen as installed, and the dispatcher returns at once,
// as it does for a program a user started.
class InertServiceManager final : public IServiceManager {
 public:
  bool InstallService(const std::string&, const std::string&) override { return false; }
  bool IsServiceInstalled(const std::string&) override { return false; }
  bool RemoveService(const std::string&) override { return false; }
  bool RunServiceDispatcher(ServiceMainFunction) override { return false; }
  ServiceStatusHandle RegisterControlHandler(const std::string&, ServiceHandlerFunction) override { return 0; }
  bool SetServiceStatus(ServiceStatusHandle, const ServiceStatusRecord&) override { return false; }
};

class InertSoundPlayer final : public ISoundPlayer {
 public:
  bool Play(const char*, std::uint32_t) override { return false; }
};

// No taskbar: the shell accepts every record and shows nothing, so that the
// tray code runs unchanged.
class InertTrayShell final : public ITrayShell {
 public:
  bool NotifyIcon(TrayShellMessage, const NotifyIconRecord&) override { return true; }
  IconHandle LoadSmallIcon(std::int32_t) override { return 0; }
};

// No windows: no brush, no bitmap, no file chosen.
class InertWindowEffects final : public IWindowEffects {
 public:
  std::uint32_t GetExStyle(WindowHandle) override { return 0; }
  void SetExStyle(WindowHandle, std::uint32_t) override {}
  bool ShowWindow(WindowHandle, bool) override { return false; }
  bool AnimateWindow(WindowHandle, std::uint32_t, std::uint32_t) override { return false; }
  bool RedrawWindow(WindowHandle, std::uint32_t) override { return false; }
  bool InvalidateRect(WindowHandle, bool) override { return false; }
  void SetBackgroundColour(DeviceContext, std::uint32_t) override {}
  void SetTransparentBackground(DeviceContext) override {}
  BrushHandle CreateSolidBrush(std::uint32_t) override { return 0; }
  BitmapHandle LoadBitmapFile(const std::string&, std::uint32_t) override { return 0; }
  BrushHandle CreatePatternBrush(BitmapHandle) override { return 0; }
  bool DeleteObject(std::uintptr_t) override { return false; }
  bool GetFileName(bool, FileDialogRequest&) override { return false; }
};

// The first use makes the service; it lives as long as the process.
template <typename Service>
Service& Single() {
  static Service service;
  return service;
}

}  // namespace

// The registry is kept in memory, one for the whole process; it has no
// privileges to hold.
IRegistry& DefaultRegistry() { return Single<MemoryRegistry>(); }
bool SetBackupRestorePrivileges(bool) { return true; }

IOsVersionSource& DefaultOsVersion() { return Single<FixedOsVersion>(); }
// No Windows processes run, no defragmenter window is open, no dial-up
// connection exists; the walk of the processes cannot be made.
IDesktop& DefaultDesktop() { return Single<FakeDesktop>(); }
IDialUpSystem& DefaultDialUpSystem() { return Single<FakeDialUpSystem>(); }
IProcessSystem& DefaultProcessSystem() {
  static FakeProcessSystem system;
  system.walkFails = true;
  system.selfId = 0;
  return system;
}
INetworkSystem& DefaultNetwork() { return Single<InertNetworkSystem>(); }
IHotKeySystem& DefaultHotKeySystem() { return Single<InertHotKeySystem>(); }
IPowerSystem& DefaultPowerSystem() { return Single<InertPowerSystem>(); }
IServiceManager& DefaultServiceManager() { return Single<InertServiceManager>(); }
ISoundPlayer& DefaultSoundPlayer() { return Single<InertSoundPlayer>(); }
ITrayShell& DefaultTrayShell() { return Single<InertTrayShell>(); }
IWindowEffects& DefaultWindowEffects() { return Single<InertWindowEffects>(); }

}  // namespace platform
