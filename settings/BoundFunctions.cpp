#include "settings/BoundFunctions.h"

#include "model/OsVersion.h"

namespace Vesperon {

void RequireOffered(const BoundFunction& bound) {
  if (!IsOsVersionAtLeast(bound.min9x, bound.minNT)) {
    throw AttachableAPIException(AttachableAPIException::kNotOffered);
  }
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

}  // namespace Vesperon
