#pragma once
// Bound system functions: optional Windows functions that the
// program does not link but looks up at the moment of each call, after
// checking that the running Windows version offers them. Every call tests
// the version, loads the library, looks the function up by name, calls it
// and releases the library again; nothing is cached. A function that cannot
// be called throws AttachableAPIException, whose code says why.
//
// All Windows calls go through platform::PowerSystem(); the decisions (the
// version gates, the library and function names, the order of the steps and
// the failure codes) are made here.
#include <cstdint>

#include "model/Exception.h"
#include "platform/PowerSystem.h"

namespace Vesperon {

// Why a bound function was not called (category 7). Thrown by value and
// caught by const reference, like every exception of the program.
class AttachableAPIException : public Exception {
 public:
  enum Code : std::int32_t {
    kNotOffered = 0,         // this Windows version does not offer the function
    kLoadLibraryFailed = 2,  // LoadLibraryA failed
    kFunctionMissing = 3,    // the library has no function of that name
  };
  explicit AttachableAPIException(std::int32_t code) : Exception(code, kCategoryAttachableApi) {}
};

// One row of the family: where the function lives and which systems offer it
// (the minimums of IsOsVersionAtLeast; 0 means never on that line).
struct BoundFunction {
  const char* library;
  const char* function;
  std::int32_t min9x;
  std::int32_t minNT;
  // Also needs GetInternetExplorerVersion() of at least 5.0.
  bool needsBrowser5 = false;
};

inline constexpr BoundFunction kBoundLockWorkStation{"User32.dll", "LockWorkStation", 0, 120};
inline constexpr BoundFunction kBoundSetSuspendState{"Powrprof.dll", "SetSuspendState", 20, 120};
inline constexpr BoundFunction kBoundSetLayeredWindowAttributes{
    "User32.dll", "SetLayeredWindowAttributes", 0, 120};
inline constexpr BoundFunction kBoundSetServiceStatus{"Advapi32.dll", "SetServiceStatus", 0, 100};
inline constexpr BoundFunction kBoundLookupPrivilegeValue{"Advapi32.dll", "LookupPrivilegeValueA",
                                                          0, 100};
inline constexpr BoundFunction kBoundAdjustTokenPrivileges{"Advapi32.dll", "AdjustTokenPrivileges",
                                                           0, 100};
// "SHCopyKey" is only the name of the header macro: shlwapi.dll exports
// SHCopyKeyA and SHCopyKeyW (on every Windows and in Wine), so looking up
// "SHCopyKey" would fail with code 3 everywhere. The program's texts are
// ANSI, so the A export is bound.
inline constexpr BoundFunction kBoundSHCopyKey{"shlwapi.dll", "SHCopyKeyA", 10, 110, true};

// The flags argument of SetLayeredWindowAttributes that sets the alpha only
// (LWA_ALPHA), as ApplyTranslucency passes it with colour key 0.
inline constexpr std::uint32_t kLayeredWindowAlpha = 2;

// Step 1: throws AttachableAPIException code 0 unless the running system
// offers the function. For a row that needs the browser, a browser version
// that cannot be read (its key missing) counts as "not offered": the
// exception then carries the registry failure as `inner`. The version
// classification's own failure (an unknown Windows) passes through.
void RequireOffered(const BoundFunction& bound);

// Releases a loaded library when it goes out of scope, so that a failed
// lookup or an exception out of the call still frees it.
class BoundLibrary {
 public:
  BoundLibrary(platform::IPowerSystem& system, platform::ModuleHandle module)
      : system_(system), module_(module) {}
  ~BoundLibrary() { system_.FreeLibrary(module_); }
  BoundLibrary(const BoundLibrary&) = delete;
  BoundLibrary& operator=(const BoundLibrary&) = delete;

 private:
  platform::IPowerSystem& system_;
  platform::ModuleHandle module_;
};

// The whole algorithm for one row: tests the version (code 0), loads the
// library (code 2), looks the function up (code 3, after releasing the
// library), runs `call(system, address)`, releases the library and returns
// what `call` returned. An exception out of `call` releases the library too.
template <typename Call>
auto CallBoundFunction(const BoundFunction& bound, Call&& call)
    -> decltype(call(platform::PowerSystem(), platform::ProcAddress{})) {
  RequireOffered(bound);
  platform::IPowerSystem& system = platform::PowerSystem();
  const platform::ModuleHandle module = system.LoadLibraryA(bound.library);
  if (module == 0) throw AttachableAPIException(AttachableAPIException::kLoadLibraryFailed);
  const BoundLibrary release(system, module);
  const platform::ProcAddress address = system.GetProcAddress(module, bound.function);
  if (address == 0) throw AttachableAPIException(AttachableAPIException::kFunctionMissing);
  return call(system, address);
}

// The family. Each takes the arguments of the Windows function it stands for
// and returns its result.
bool DynLockWorkStation();
bool DynSetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent);
bool DynSetLayeredWindowAttributes(platform::WindowHandle window, std::uint32_t colorKey,
                                   std::uint8_t alpha, std::uint32_t flags);
bool DynSetServiceStatus(platform::ServiceStatusHandle handle,
                         platform::ServiceStatusRecord& status);
bool DynLookupPrivilegeValue(const char* systemName, const char* name, platform::Luid& luid);
bool DynAdjustTokenPrivileges(platform::TokenHandle token, bool disableAll,
                              const platform::PrivilegeRecord* newState, std::uint32_t bufferLength,
                              platform::PrivilegeRecord* previous, std::uint32_t* returnLength);
// Returns the system error code (0 on success).
long DynSHCopyKey(platform::RegKey source, const char* subkey, platform::RegKey target,
                  std::uint32_t reserved);

}  // namespace Vesperon
