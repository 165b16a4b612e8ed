#include "settings/Privileges.h"

#include "settings/BoundFunctions.h"

namespace Vesperon {
namespace {

constexpr std::int32_t kPlainCategory = 0;

[[noreturn]] void Fail(PrivilegeFailure code) { throw Exception(code, kPlainCategory); }

void Change(platform::Privilege privilege, platform::PrivilegeChange change) {
  RequireOffered(kBoundPrivilegeFunctions);
  using platform::PrivilegeResult;
  switch (platform::PowerSystem().ChangePrivilege(privilege, change)) {
    case PrivilegeResult::kDone: return;
    case PrivilegeResult::kTokenNotOpened: Fail(kPrivilegeOpenToken);
    case PrivilegeResult::kUnknownPrivilege: Fail(kPrivilegeLookup);
    case PrivilegeResult::kAdjustFailed: Fail(kPrivilegeAdjust);
    case PrivilegeResult::kNotHeld: Fail(kPrivilegeNotAssigned);
    case PrivilegeResult::kLibraryMissing: RequireBound(platform::Binding::kLibraryMissing); return;
    case PrivilegeResult::kFunctionMissing: RequireBound(platform::Binding::kFunctionMissing); return;
  }
}

}  // namespace

void EnablePrivilege(platform::Privilege privilege) {
  Change(privilege, platform::PrivilegeChange::kEnable);
}

void RemovePrivilege(platform::Privilege privilege) {
  Change(privilege, platform::PrivilegeChange::kRemove);
}

void DisablePrivilege(platform::Privilege privilege) {
  Change(privilege, platform::PrivilegeChange::kDisable);
}

}  // namespace Vesperon
