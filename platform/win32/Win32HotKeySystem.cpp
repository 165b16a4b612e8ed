// The real hot-key registration, global atoms and key names.
#include <windows.h>

#include "platform/HotKeySystem.h"

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class Win32HotKeySystem final : public IHotKeySystem {
 public:
  Atom GlobalAddAtomA(const std::string& name) override { return ::GlobalAddAtomA(name.c_str()); }
  Atom GlobalDeleteAtom(Atom atom) override { return ::GlobalDeleteAtom(atom); }
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override {
    return ::RegisterHotKey(ToHwnd(window), id, modifiers, virtualKey) != FALSE;
  }
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override {
    return ::UnregisterHotKey(ToHwnd(window), id) != FALSE;
  }
  std::string KeyName(std::uint32_t virtualKey, bool extended) override {
    const UINT scanCode = ::MapVirtualKeyA(virtualKey, 0 /* MAPVK_VK_TO_VSC */);
    if (scanCode == 0) return {};
    LONG param = static_cast<LONG>(scanCode << 16);
    if (extended) param |= 1 << 24;
    char buffer[64] = {};
    const int length = ::GetKeyNameTextA(param, buffer, static_cast<int>(sizeof buffer));
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
  }
};

}  // namespace

IHotKeySystem& DefaultHotKeySystem() {
  static Win32HotKeySystem system;
  return system;
}

}  // namespace platform
