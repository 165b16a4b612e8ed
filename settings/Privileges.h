#pragma once
// Enabling a privilege for the process and dropping it again: the general
// helpers of the program, used around the exit request and around saving
// and loading profile files. The platform looks the privilege up and
// adjusts the process token through bound functions (so on a system
// without them they throw AttachableAPIException code 0 before anything
// else happens).
//
// (platform/RegistryPrivileges.h is a narrower helper of the registry layer:
// it enables or disables SeBackupPrivilege and SeRestorePrivilege together,
// linking the advapi32 functions directly, reports failure as false; it
// never removes a privilege.)
#include <cstdint>

#include "model/Exception.h"
#include "platform/PowerSystem.h"

namespace Vesperon {

// The plain Vesperon::Exception the helpers throw carries category 0 (it is
// no exception class of its own) and one of these codes, naming the step
// that failed. Codes start at 1 so that none is taken for the version
// classification's plain Exception (code 0).
enum PrivilegeFailure : std::int32_t {
  kPrivilegeOpenToken = 1,    // OpenProcessToken failed
  kPrivilegeLookup = 2,       // the name names no privilege
  kPrivilegeAdjust = 3,       // AdjustTokenPrivileges failed
  kPrivilegeNotAssigned = 4,  // it succeeded but the last error is not 0
                              // (ERROR_NOT_ALL_ASSIGNED: the token lacks it)
};

// Enables the privilege in the process token. Any failure throws
// Exception(code, 0) with a PrivilegeFailure code; a function the platform
// could not bind throws AttachableAPIException code 2 or 3.
void EnablePrivilege(platform::Privilege privilege);

// Removes the privilege from the token for good (not merely disabled).
// Fails as EnablePrivilege does.
void RemovePrivilege(platform::Privilege privilege);

// Disables the privilege again, keeping it in the token for the next use.
// Fails as EnablePrivilege does.
void DisablePrivilege(platform::Privilege privilege);

}  // namespace Vesperon
