#pragma once
// What the power, log-off, lock, privilege and service actions ask of
// Windows, one intent each: end the session, ask the shell to quit and start
// it again, switch the monitors, start the screen saver, lock, suspend,
// change a privilege of the process, make a window translucent.
//
// The decisions (which flags, which reason code, in which order, which
// Windows version offers which function) are all made in actions/; this
// layer carries out one intent each and reports how it went. Functions that
// older systems lack are bound inside the implementation at the moment of
// the call, and the result says whether that worked. The Win32 build's
// default is the real system (platform/win32); the host build's refuses
// every intent (platform/host); tests install the recording fake of
// platform/memory/RecordingPowerSystem.h.
#include <cstdint>

#include "platform/ServiceSlot.h"

namespace platform {

// A window handle (HWND) as an opaque number; 0 is "none".
using WindowHandle = std::uintptr_t;

// Whether a function bound at the moment of the call could be reached.
enum class Binding : std::uint8_t {
  kBound,            // found, and called
  kLibraryMissing,   // its library could not be loaded
  kFunctionMissing,  // the library has no function of that name
};

// How an intent carried out through a bound function went.
struct BoundResult {
  Binding binding = Binding::kBound;
  bool succeeded = false;
};

// The privileges the program enables for itself.
enum class Privilege : std::uint8_t { kShutdown, kBackup, kRestore };
// Enabled, disabled (still held), or removed from the token for good.
enum class PrivilegeChange : std::uint8_t { kEnable, kDisable, kRemove };
// The step at which a privilege change failed, or kDone. The token is
// opened for each change and closed again.
enum class PrivilegeResult : std::uint8_t {
  kDone,
  kTokenNotOpened,    // OpenProcessToken failed
  kUnknownPrivilege,  // the name names no privilege on this system
  kAdjustFailed,      // AdjustTokenPrivileges failed
  kNotHeld,           // it succeeded without assigning: the token lacks it
  kLibraryMissing,    // the lookup or adjustment could not be bound
  kFunctionMissing,
};

class IPowerSystem {
 public:
  virtual ~IPowerSystem() = default;

  // Ends the session: ExitWindowsEx(flags, reason).
  virtual bool EndSession(std::uint32_t flags, std::uint32_t reason) = 0;
  // Posts WM_QUIT to the shell's desktop window ("Progman"); false, and
  // nothing posted, when there is none (a message posted to no window would
  // go to the calling thread).
  virtual bool QuitShell() = 0;
  // Starts the shell (Explorer.exe, SW_SHOWDEFAULT) from the Windows folder
  // by its full path, never from the program's folder.
  virtual bool StartShell() = 0;
  // WM_SYSCOMMAND SC_MONITORPOWER to every top-level window, skipping hung
  // windows and giving up on any one after `timeoutMs`.
  virtual bool BroadcastMonitorPower(bool on, std::uint32_t timeoutMs) = 0;
  // WM_SYSCOMMAND SC_SCREENSAVE posted to every top-level window.
  virtual bool StartScreenSaver() = 0;

  // Bound at the moment of the call.
  virtual BoundResult LockWorkStation() = 0;
  virtual BoundResult Suspend(bool hibernate, bool forceCritical, bool disableWakeEvent) = 0;
  // SetLayeredWindowAttributes with colour key 0 and the alpha only.
  virtual BoundResult SetLayeredWindowAlpha(WindowHandle window, std::uint8_t alpha) = 0;

  // Looks the privilege up and adjusts the process token (both bound).
  virtual PrivilegeResult ChangePrivilege(Privilege privilege, PrivilegeChange change) = 0;
};

// The build's default: the real Windows calls in the Win32 build, a system
// that refuses every call (and so never has an effect) in the host build.
// Defined once per build by platform/win32 or platform/host.
IPowerSystem& DefaultPowerSystem();

using PowerSystemSlot = ServiceSlot<IPowerSystem, DefaultPowerSystem>;
inline IPowerSystem& PowerSystem() { return PowerSystemSlot::Get(); }
using ScopedPowerSystem = PowerSystemSlot::Scoped;

}  // namespace platform
