#include "actions/Privileges.h"

#include "actions/BoundFunctions.h"

namespace Vesperon {
namespace {

constexpr std::int32_t kPlainCategory = 0;

[[noreturn]] void Fail(PrivilegeFailure code) { throw Exception(code, kPlainCategory); }

// Adjusts `token` with the one-entry record and checks both the result and
// the last error: AdjustTokenPrivileges succeeds without assigning a
// privilege the token does not hold, and only the last error tells.
void Adjust(platform::TokenHandle token, const platform::PrivilegeRecord& record) {
  if (!DynAdjustTokenPrivileges(token, false, &record, 0, nullptr, nullptr)) {
    Fail(kPrivilegeAdjust);
  }
  if (platform::PowerSystem().GetLastError() != 0) Fail(kPrivilegeNotAssigned);
}

}  // namespace

void EnablePrivilege(const char* name, platform::TokenHandle& token,
                     platform::PrivilegeRecord& record) {
  platform::TokenHandle opened = 0;
  if (!platform::PowerSystem().OpenCurrentProcessToken(kTokenQueryAndAdjust, opened)) {
    Fail(kPrivilegeOpenToken);
  }
  ScopedToken guard(opened);
  platform::PrivilegeRecord enabled;
  if (!DynLookupPrivilegeValue(nullptr, name, enabled.luid)) Fail(kPrivilegeLookup);
  enabled.count = 1;
  enabled.attributes = kPrivilegeEnabled;
  Adjust(opened, enabled);
  token = guard.Release();
  record = enabled;
}

void RemovePrivilege(const platform::PrivilegeRecord& record, platform::TokenHandle token) {
  platform::PrivilegeRecord removed = record;
  removed.attributes = kPrivilegeRemoved;
  Adjust(token, removed);
}

}  // namespace Vesperon
