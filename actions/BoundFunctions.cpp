#include "actions/BoundFunctions.h"

#include <memory>

#include "actions/InternetExplorerVersion.h"
#include "settings/StoreExceptions.h"
#include "model/OsVersion.h"

namespace Vesperon {

void RequireOffered(const BoundFunction& bound) {
  if (!IsOsVersionAtLeast(bound.min9x, bound.minNT)) {
    throw AttachableAPIException(AttachableAPIException::kNotOffered);
  }
  if (!bound.needsBrowser5) return;
  double browser = 0.0;
  try {
    browser = GetInternetExplorerVersion();
  } catch (const DataSystem::RegistryException& failure) {
    // No readable browser version: the system is not known to offer it.
    AttachableAPIException notOffered(AttachableAPIException::kNotOffered);
    notOffered.inner = std::make_shared<DataSystem::RegistryException>(failure);
    throw notOffered;
  }
  if (browser < 5.0) throw AttachableAPIException(AttachableAPIException::kNotOffered);
}

bool DynLockWorkStation() {
  return CallBoundFunction(kBoundLockWorkStation,
                           [](platform::IPowerSystem& system, platform::ProcAddress function) {
                             return system.CallLockWorkStation(function);
                           });
}

bool DynSetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) {
  return CallBoundFunction(
      kBoundSetSuspendState, [&](platform::IPowerSystem& system, platform::ProcAddress function) {
        return system.CallSetSuspendState(function, hibernate, forceCritical, disableWakeEvent);
      });
}

bool DynSetLayeredWindowAttributes(platform::WindowHandle window, std::uint32_t colorKey,
                                   std::uint8_t alpha, std::uint32_t flags) {
  return CallBoundFunction(kBoundSetLayeredWindowAttributes, [&](platform::IPowerSystem& system,
                                                                 platform::ProcAddress function) {
    return system.CallSetLayeredWindowAttributes(function, window, colorKey, alpha, flags);
  });
}

bool DynSetServiceStatus(platform::ServiceStatusHandle handle,
                         platform::ServiceStatusRecord& status) {
  return CallBoundFunction(kBoundSetServiceStatus,
                           [&](platform::IPowerSystem& system, platform::ProcAddress function) {
                             return system.CallSetServiceStatus(function, handle, status);
                           });
}

bool DynLookupPrivilegeValue(const char* systemName, const char* name, platform::Luid& luid) {
  return CallBoundFunction(kBoundLookupPrivilegeValue, [&](platform::IPowerSystem& system,
                                                           platform::ProcAddress function) {
    return system.CallLookupPrivilegeValue(function, systemName, name, luid);
  });
}

bool DynAdjustTokenPrivileges(platform::TokenHandle token, bool disableAll,
                              const platform::PrivilegeRecord* newState, std::uint32_t bufferLength,
                              platform::PrivilegeRecord* previous, std::uint32_t* returnLength) {
  return CallBoundFunction(kBoundAdjustTokenPrivileges, [&](platform::IPowerSystem& system,
                                                            platform::ProcAddress function) {
    return system.CallAdjustTokenPrivileges(function, token, disableAll, newState, bufferLength,
                                            previous, returnLength);
  });
}

long DynSHCopyKey(platform::RegKey source, const char* subkey, platform::RegKey target,
                  std::uint32_t reserved) {
  return CallBoundFunction(
      kBoundSHCopyKey, [&](platform::IPowerSystem& system, platform::ProcAddress function) {
        return system.CallSHCopyKey(function, source, subkey, target, reserved);
      });
}

}  // namespace Vesperon
