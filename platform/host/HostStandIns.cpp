// The host build's services that stand for parts of Windows the host does not
// have. Only the tests run on the host and they install their own stand-ins;
// for a service a test leaves alone, the default is the tests' in-memory one,
// which never reaches the host system.
#include "platform/RegistryPrivileges.h"
#include "platform/Services.h"
#include "platform/memory/FakeDesktop.h"
#include "platform/memory/FakeDialUpSystem.h"
#include "platform/memory/FakeNetworkSystem.h"
#include "platform/memory/FakeProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingHotKeySystem.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "platform/memory/RecordingServiceManager.h"
#include "platform/memory/RecordingSoundPlayer.h"
#include "platform/memory/RecordingTrayShell.h"
#include "platform/memory/RecordingWindowEffects.h"

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
// connection exists.
IDesktop& DefaultDesktop() { return Single<FakeDesktop>(); }
IDialUpSystem& DefaultDialUpSystem() { return Single<FakeDialUpSystem>(); }
IProcessSystem& DefaultProcessSystem() { return Single<FakeProcessSystem>(); }
INetworkSystem& DefaultNetwork() { return Single<FakeNetworkSystem>(); }
IHotKeySystem& DefaultHotKeySystem() { return Single<RecordingHotKeySystem>(); }
IPowerSystem& DefaultPowerSystem() { return Single<RecordingPowerSystem>(); }
IServiceManager& DefaultServiceManager() { return Single<RecordingServiceManager>(); }
ISoundPlayer& DefaultSoundPlayer() { return Single<RecordingSoundPlayer>(); }
ITrayShell& DefaultTrayShell() { return Single<RecordingTrayShell>(); }
IWindowEffects& DefaultWindowEffects() { return Single<RecordingWindowEffects>(); }

}  // namespace platform
