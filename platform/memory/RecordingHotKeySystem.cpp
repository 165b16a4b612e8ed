#include "platform/memory/RecordingHotKeySystem.h"

#include <algorithm>

namespace platform {

std::uint32_t RecordingHotKeySystem::AtomReferences(const std::string& name) const {
  const auto it = atoms_.find(name);
  return it == atoms_.end() ? 0 : it->second.references;
}

Atom RecordingHotKeySystem::AtomOf(const std::string& name) const {
  const auto it = atoms_.find(name);
  return it == atoms_.end() ? 0 : it->second.atom;
}

Atom RecordingHotKeySystem::GlobalAddAtomA(const std::string& name) {
  log.push_back("GlobalAddAtomA(" + name + ")");
  if (refuseAtoms.count(name) != 0) return 0;
  AtomEntry& entry = atoms_[name];
  if (entry.references++ == 0) entry.atom = nextAtom_++;
  return entry.atom;
}

Atom RecordingHotKeySystem::GlobalDeleteAtom(Atom atom) {
  log.push_back("GlobalDeleteAtom(" + std::to_string(atom) + ")");
  for (auto it = atoms_.begin(); it != atoms_.end(); ++it) {
    if (it->second.atom != atom) continue;
    if (--it->second.references == 0) atoms_.erase(it);
    return 0;
  }
  return atom;
}

bool RecordingHotKeySystem::RegisterHotKey(WindowHandle window, std::int32_t id,
                                           std::uint32_t modifiers, std::uint32_t virtualKey) {
  log.push_back("RegisterHotKey(" + std::to_string(window) + ", " + std::to_string(id) + ", " +
                std::to_string(modifiers) + ", " + std::to_string(virtualKey) + ")");
  const bool taken = std::any_of(registrations_.begin(), registrations_.end(), [&](const auto& r) {
    return r.modifiers == modifiers && r.virtualKey == virtualKey;
  });
  if (taken) return false;
  registrations_.push_back({window, id, modifiers, virtualKey});
  return true;
}

bool RecordingHotKeySystem::UnregisterHotKey(WindowHandle window, std::int32_t id) {
  log.push_back("UnregisterHotKey(" + std::to_string(window) + ", " + std::to_string(id) + ")");
  if (refuseUnregister.count(id) != 0) return false;
  const auto it = std::find_if(registrations_.begin(), registrations_.end(),
                               [&](const auto& r) { return r.window == window && r.id == id; });
  if (it == registrations_.end()) return false;
  registrations_.erase(it);
  return true;
}

std::string RecordingHotKeySystem::KeyName(std::uint32_t virtualKey, bool extended) {
  static const std::map<std::uint32_t, std::string> kNames = {
      {0x10, "Shift"}, {0x11, "Ctrl"}, {0x12, "Alt"}, {0x41, "A"}, {0x51, "Q"}, {0x70, "F1"}, {0xDC, "\\"},
      {0x2E, "Num Del"}};
  if (extended) return virtualKey == 0x2E ? "Delete" : "";
  const auto it = kNames.find(virtualKey);
  return it == kNames.end() ? std::string() : it->second;
}

}  // namespace platform
