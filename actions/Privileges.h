#pragma once
// Enabling a named privilege for the process and dropping it again: the
// general helpers of the program, used around the exit request and around
// saving and loading profile files. They adjust the process
// token through the bound functions DynLookupPrivilegeValue and
// DynAdjustTokenPrivileges (so on a system without them they throw
// AttachableAPIException code 0 before anything else happens).
//
// (platform/RegistryPrivileges.h is a narrower helper of the registry layer:
// it enables or disables SeBackupPrivilege and SeRestorePrivilege together,
// linking the advapi32 functions directly, reports failure as false and
// closes its token at once; it never removes a privilege.)
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

// Access to the token: query (8) and adjust privileges (0x20).
inline constexpr std::uint32_t kTokenQueryAndAdjust = 0x28;
// Privilege attributes (SE_PRIVILEGE_ENABLED, SE_PRIVILEGE_REMOVED).
inline constexpr std::uint32_t kPrivilegeEnabled = 2;
inline constexpr std::uint32_t kPrivilegeRemoved = 4;

inline constexpr char kShutdownPrivilegeName[] = "SeShutdownPrivilege";

// Opens the process token (access 0x28), looks `name` up on the local system
// and enables it: on success `token` is the open token and `record` {1, the
// identifier, enabled}. Any failure throws Exception(code, 0) with a
// PrivilegeFailure code; the token is then closed again and `token` and
// `record` are left as they were. An AttachableAPIException of the bound
// functions passes through the same way.
void EnablePrivilege(const char* name, platform::TokenHandle& token,
                     platform::PrivilegeRecord& record);

// Removes the privilege of `record` from `token` for good (a copy of the
// record with attributes 4). Throws Exception(kPrivilegeAdjust or
// kPrivilegeNotAssigned, 0) on failure. The token stays open; closing it is
// the caller's business (see ScopedToken).
void RemovePrivilege(const platform::PrivilegeRecord& record, platform::TokenHandle token);

// Closes a token handle when it goes out of scope (0: nothing to close).
class ScopedToken {
 public:
  explicit ScopedToken(platform::TokenHandle token = 0) : token_(token) {}
  ~ScopedToken() {
    if (token_ != 0) platform::PowerSystem().CloseHandle(token_);
  }
  ScopedToken(const ScopedToken&) = delete;
  ScopedToken& operator=(const ScopedToken&) = delete;
  platform::TokenHandle Get() const { return token_; }
  platform::TokenHandle Release() {
    const platform::TokenHandle token = token_;
    token_ = 0;
    return token;
  }

 private:
  platform::TokenHandle token_;
};

}  // namespace Vesperon
