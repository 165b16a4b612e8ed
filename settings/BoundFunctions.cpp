#include "settings/BoundFunctions.h"

#include <memory>

#include "settings/InternetExplorerVersion.h"
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

void RequireBound(platform::Binding binding) {
  switch (binding) {
    case platform::Binding::kBound: return;
    case platform::Binding::kLibraryMissing:
      throw AttachableAPIException(AttachableAPIException::kLoadLibraryFailed);
    case platform::Binding::kFunctionMissing:
      throw AttachableAPIException(AttachableAPIException::kFunctionMissing);
  }
}

namespace {

platform::BoundResult Checked(const platform::BoundResult& result) {
  RequireBound(result.binding);
  return result;
}

}  // namespace

bool DynLockWorkStation() {
  RequireOffered(kBoundLockWorkStation);
  return Checked(platform::PowerSystem().LockWorkStation()).succeeded;
}

bool DynSetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) {
  RequireOffered(kBoundSetSuspendState);
  return Checked(platform::PowerSystem().Suspend(hibernate, forceCritical, disableWakeEvent))
      .succeeded;
}

bool DynSetLayeredWindowAttributes(platform::WindowHandle window, std::uint8_t alpha) {
  RequireOffered(kBoundSetLayeredWindowAttributes);
  return Checked(platform::PowerSystem().SetLayeredWindowAlpha(window, alpha)).succeeded;
}

bool DynSetServiceStatus(platform::ServiceStatusHandle handle,
                         const platform::ServiceStatusRecord& status) {
  RequireOffered(kBoundSetServiceStatus);
  return Checked(platform::PowerSystem().SetServiceStatus(handle, status)).succeeded;
}

long DynSHCopyKey(platform::RegKey source, const char* subkey, platform::RegKey target) {
  RequireOffered(kBoundSHCopyKey);
  return Checked(platform::PowerSystem().CopyRegistryKey(source, subkey, target)).error;
}

}  // namespace Vesperon
