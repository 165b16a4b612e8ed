#pragma once
// What the start-up entry and service tests run on: an in-memory registry,
// the recording service manager, Windows XP, and the program's own path.
#include <string>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingServiceManager.h"
#include "model/ModulePath.h"
#include "tests/support/FakeOsVersion.h"

namespace testing_support {

struct StartupTestWorld {
  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::RecordingServiceManager scm;
  platform::ScopedServiceManager scmGuard{scm};
  FakeOsVersion os{kWinXP};
  const std::string self = Vesperon::GetModulePath();
};

}  // namespace testing_support
