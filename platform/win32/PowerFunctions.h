#pragma once
// The optional system functions the power system binds at the moment of
// each call, by library and exported name, and a way to check a binding
// without calling anything.
#include "platform/PowerSystem.h"

namespace platform {

struct SystemFunction {
  const char* library;
  const char* name;
};

inline constexpr SystemFunction kLockWorkStationFunction{"User32.dll", "LockWorkStation"};
inline constexpr SystemFunction kSetSuspendStateFunction{"Powrprof.dll", "SetSuspendState"};
inline constexpr SystemFunction kSetLayeredWindowAttributesFunction{"User32.dll",
                                                                    "SetLayeredWindowAttributes"};
inline constexpr SystemFunction kLookupPrivilegeValueFunction{"Advapi32.dll",
                                                              "LookupPrivilegeValueA"};
inline constexpr SystemFunction kAdjustTokenPrivilegesFunction{"Advapi32.dll",
                                                               "AdjustTokenPrivileges"};

// Loads the library from the system folder, looks the function up and
// releases the library again; nothing is called.
Binding ProbeSystemFunction(const SystemFunction& function);

}  // namespace platform
