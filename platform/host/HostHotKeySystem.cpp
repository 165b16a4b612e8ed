// The host build has no system-wide hot keys: atoms are never added and
// registrations are refused, so nothing here can have an effect. Tests
// install the recording fake instead.
#include "platform/HotKeySystem.h"

namespace platform {
namespace {

class RefusingHotKeySystem final : public IHotKeySystem {
 public:
  Atom GlobalAddAtomA(const std::string&) override { return 0; }
  Atom GlobalDeleteAtom(Atom atom) override { return atom; }
  bool RegisterHotKey(WindowHandle, std::int32_t, std::uint32_t, std::uint32_t) override {
    return false;
  }
  bool UnregisterHotKey(WindowHandle, std::int32_t) override { return false; }
  std::string KeyName(std::uint32_t, bool) override { return {}; }
};

}  // namespace

IHotKeySystem& DefaultHotKeySystem() {
  static RefusingHotKeySystem system;
  return system;
}

}  // namespace platform
