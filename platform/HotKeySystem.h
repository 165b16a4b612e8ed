#pragma once
// The system-wide hot keys and the global atom table the hot-key bindings
// use: GlobalAddAtomA, GlobalDeleteAtom, RegisterHotKey, UnregisterHotKey and
// the keyboard layout's key names. Every decision (atom names, modifier
// translation, bookkeeping, messages) is made in shell/HotKeys; this layer
// carries out one call each and reports its result. The Win32 build's default
// is the real system (platform/win32); the host build's refuses every call
// (platform/host); tests install platform/memory/RecordingHotKeySystem.h.
#include <cstdint>
#include <string>
#include "platform/ServiceSlot.h"

namespace platform {

// HWND as an opaque number; 0 is "none".
using WindowHandle = std::uintptr_t;
// A 16-bit global atom; 0 is "none".
using Atom = std::uint16_t;

// RegisterHotKey's modifier flags, with the Windows values.
enum SystemHotKeyModifiers : std::uint32_t {
  kModAlt = 0x0001,      // MOD_ALT
  kModControl = 0x0002,  // MOD_CONTROL
  kModShift = 0x0004,    // MOD_SHIFT
};

class IHotKeySystem {
 public:
  virtual ~IHotKeySystem() = default;

  // GlobalAddAtomA: the atom (an existing name gets its atom back and one
  // more reference), 0 when the system did not add it.
  virtual Atom GlobalAddAtomA(const std::string& name) = 0;
  // GlobalDeleteAtom: drops one reference; returns 0 on success and the
  // atom itself on failure, as the system does.
  virtual Atom GlobalDeleteAtom(Atom atom) = 0;
  // RegisterHotKey(window, id, modifiers, virtualKey).
  virtual bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                              std::uint32_t virtualKey) = 0;
  // UnregisterHotKey(window, id).
  virtual bool UnregisterHotKey(WindowHandle window, std::int32_t id) = 0;
  // The name the running keyboard layout gives a virtual key (GetKeyNameTextA
  // of its scan code, with the extended-key bit when `extended`); empty when
  // the layout has none.
  virtual std::string KeyName(std::uint32_t virtualKey, bool extended) = 0;
};

// The build's default: the real Windows calls in the Win32 build, a system
// that refuses every call in the host build. Defined once per build.
IHotKeySystem& DefaultHotKeySystem();

using HotKeySystemSlot = ServiceSlot<IHotKeySystem, DefaultHotKeySystem>;
inline IHotKeySystem& HotKeySystem() { return HotKeySystemSlot::Get(); }
using ScopedHotKeySystem = HotKeySystemSlot::Scoped;

}  // namespace platform
