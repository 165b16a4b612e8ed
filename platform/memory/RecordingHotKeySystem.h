#pragma once
// A hot-key system for tests: a global atom table with reference counts and
// a table of registered combinations that behave like the system's (a
// combination held by any window refuses a second registration), a log of
// every call in order, switches that make the next calls fail, and a small
// key-name table of a US layout.
#include <algorithm>
#include <map>
#include <set>
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
  std::uint32_t AtomReferences(const std::string& name) const {
    return atoms_.count(name) ? atoms_.at(name).references : 0;
  }
  Atom AtomOf(const std::string& name) const { return atoms_.count(name) ? atoms_.at(name).atom : 0; }
  const std::vector<Registration>& Registrations() const { return registrations_; }

  Atom GlobalAddAtomA(const std::string& name) override {
    log.push_back("GlobalAddAtomA(" + name + ")");
    if (refuseAtoms.count(name) != 0) return 0;
    AtomEntry& entry = atoms_[name];
    if (entry.references++ == 0) entry.atom = nextAtom_++;
    return entry.atom;
  }
  Atom GlobalDeleteAtom(Atom atom) override {
    log.push_back("GlobalDeleteAtom(" + std::to_string(atom) + ")");
    for (auto it = atoms_.begin(); it != atoms_.end(); ++it) {
      if (it->second.atom != atom) continue;
      if (--it->second.references == 0) atoms_.erase(it);
      return 0;
    }
    return atom;
  }
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override {
    log.push_back("RegisterHotKey(" + std::to_string(window) + ", " + std::to_string(id) + ", " +
                  std::to_string(modifiers) + ", " + std::to_string(virtualKey) + ")");
    const bool taken = std::any_of(registrations_.begin(), registrations_.end(), [&](const auto& r) {
      return r.modifiers == modifiers && r.virtualKey == virtualKey;
    });
    if (taken) return false;
    registrations_.push_back({window, id, modifiers, virtualKey});
    return true;
  }
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override {
    log.push_back("UnregisterHotKey(" + std::to_string(window) + ", " + std::to_string(id) + ")");
    if (refuseUnregister.count(id) != 0) return false;
    const auto it = std::find_if(registrations_.begin(), registrations_.end(),
                                 [&](const auto& r) { return r.window == window && r.id == id; });
    if (it == registrations_.end()) return false;
    registrations_.erase(it);
    return true;
  }
  std::string KeyName(std::uint32_t virtualKey, bool extended) override {
    static const std::map<std::uint32_t, std::string> kNames = {
        {0x10, "Shift"}, {0x11, "Ctrl"}, {0x12, "Alt"}, {0x41, "A"}, {0x51, "Q"}, {0x70, "F1"}, {0xDC, "\\"},
        {0x2E, "Num Del"}};
    if (extended) return virtualKey == 0x2E ? "Delete" : "";
    const auto it = kNames.find(virtualKey);
    return it == kNames.end() ? std::string() : it->second;
  }

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
