#pragma once
// Bound system functions: optional Windows functions that the program does
// not link; the platform binds them at the moment of each call (loads the
// library, looks the function up, calls it, releases the library; nothing
// is cached). Where each is offered is decided here: every call first tests
// the running Windows version, then asks platform::PowerSystem() for the
// intent. A function that cannot be called throws AttachableAPIException,
// whose code says why.
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
    kLoadLibraryFailed = 2,  // its library could not be loaded
    kFunctionMissing = 3,    // the library has no function of that name
  };
  explicit AttachableAPIException(std::int32_t code) : Exception(code, kCategoryAttachableApi) {}
};

// Which systems offer a function (the minimums of IsOsVersionAtLeast; 0
// means never on that line).
struct BoundFunction {
  std::int32_t min9x;
  std::int32_t minNT;
};

inline constexpr BoundFunction kBoundLockWorkStation{0, 120};
inline constexpr BoundFunction kBoundSetSuspendState{20, 120};
inline constexpr BoundFunction kBoundSetLayeredWindowAttributes{0, 120};
// LookupPrivilegeValueA and AdjustTokenPrivileges.
inline constexpr BoundFunction kBoundPrivilegeFunctions{0, 100};

// Throws AttachableAPIException code 0 unless the running system offers the
// function. The version classification's own failure (an unknown Windows)
// passes through.
void RequireOffered(const BoundFunction& bound);

// Code 2 or 3 for a function the platform could not bind; nothing for one it
// called.
void RequireBound(platform::Binding binding);

// The family: each tests where it is offered, carries out its intent and
// returns whether the function succeeded.
bool DynLockWorkStation();
bool DynSetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent);
// Colour key 0, the alpha only; used by ApplyTranslucency.
bool DynSetLayeredWindowAttributes(platform::WindowHandle window, std::uint8_t alpha);

}  // namespace Vesperon
