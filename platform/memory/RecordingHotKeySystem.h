#pragma once
// A hot-key system for tests: a global atom table with reference counts and
// a table of registered combinations that behave like the system's (a
// combination held by any window refuses a second registration), a log of
// every call in order, switches that make the next calls fail, and a small
// key-name table of a US layout.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/HotKeySystem.h"

namespace platform {

class RecordingHotKeySystem final : public IHotKeySystem {
 public:
  struct Registration {
    WindowHandle window = 0;
    std::int32_t id = 0;
    std::uint32_t modifiers = 0;
    std::uint32_t virtualKey = 0;
  };

  std::vector<std::string> log;
  // Names whose atom the system does not add.
  std::set<std::string> refuseAtoms;
  // Identifiers whose unregistration the system refuses.
  std::set<std::int32_t> refuseUnregister;

  // The atom table: name -> (atom, references).
  std::uint32_t AtomReferences(const std::string& name) const;
  Atom AtomOf(const std::string& name) const;
  const std::vector<Registration>& Registrations() const { return registrations_; }

  Atom GlobalAddAtomA(const std::string& name) override;
  Atom GlobalDeleteAtom(Atom atom) override;
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override;
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override;
  std::string KeyName(std::uint32_t virtualKey, bool extended) override;

 private:
  struct AtomEntry {
    Atom atom = 0;
    std::uint32_t references = 0;
  };
  std::map<std::string, AtomEntry> atoms_;
  Atom nextAtom_ = 0xC000;  // string atoms start here on Windows
  std::vector<Registration> registrations_;
};

}  // namespace platform
