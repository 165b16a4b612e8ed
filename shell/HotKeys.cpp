#include "shell/HotKeys.h"

#include <cstdio>

#include "actions/ActionDispatcher.h"
#include "platform/Services.h"
#include "settings/Profiles.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace HotKeys {
namespace {

using DataSystem::kHiveCurrentUser;

// The process's registered hot keys, in the order of registration.
std::vector<RegisteredHotKey> g_registered;

constexpr std::uint32_t kVirtualShift = 0x10;    // VK_SHIFT
constexpr std::uint32_t kVirtualControl = 0x11;  // VK_CONTROL
constexpr std::uint32_t kVirtualAlt = 0x12;      // VK_MENU
constexpr std::size_t kLongestKeyName = 255;     // a registry key name

std::string RecordSection(const std::string& name) {
  return std::string(kHotKeySection) + "\\" + name;
}

// Removes one record's key tree with the store's own deletion, which leaves
// a "DefaultList" value in the xzCute key that nothing reads.
void DeleteRecordKey(const std::string& name) { DataSystem::DeleteProfile(kHotKeySection, name); }

// Code, Modifier and Action of one record key, deleting the key when it
// holds no action. Returns false for such a key.
bool ReadRecordValues(const std::string& name, HotKeyRecord& record) {
  DataSystem::HotKeySettings stored;
  stored.Load(RecordSection(name));
  record.Code = static_cast<std::uint16_t>(stored.code & 0xFFFF);
  record.Modifier = static_cast<std::uint16_t>(stored.modifier & 0xFFFF);
  record.Action = static_cast<Vesperon::ActionId>(stored.action);
  if (record.Action != kNoActionMarker) return true;
  DeleteRecordKey(name);
  return false;
}

std::uint32_t SystemModifiers(std::uint16_t modifier) {
  std::uint32_t result = 0;
  if (modifier & kHotKeyShift) result |= platform::kModShift;
  if (modifier & kHotKeyControl) result |= platform::kModControl;
  if (modifier & kHotKeyAlt) result |= platform::kModAlt;
  return result;  // the extended-key flag has no meaning to the system
}

std::string KeyNameOr(std::uint32_t virtualKey, bool extended, const char* fallback) {
  std::string name = platform::HotKeySystem().KeyName(virtualKey, extended);
  if (name.empty()) name = fallback;
  return name;
}

// Unregisters one entry and releases its atom; true when the system refused
// the unregistration. The atom goes whatever the answer, so that a refused
// entry does not keep the name's atom alive for the rest of the session.
bool ReleaseEntry(platform::WindowHandle window, const RegisteredHotKey& entry) {
  platform::IHotKeySystem& system = platform::HotKeySystem();
  const bool refused = !system.UnregisterHotKey(window, static_cast<std::int32_t>(entry.Id));
  system.GlobalDeleteAtom(static_cast<platform::Atom>(entry.Id));
  return refused;
}

}  // namespace

std::string HotKeyText(std::uint16_t code, std::uint16_t modifier) {
  std::string text;
  auto append = [&text](const std::string& part) {
    if (!text.empty()) text += " + ";
    text += part;
  };
  if (modifier & kHotKeyControl) append(KeyNameOr(kVirtualControl, false, "Ctrl"));
  if (modifier & kHotKeyShift) append(KeyNameOr(kVirtualShift, false, "Shift"));
  if (modifier & kHotKeyAlt) append(KeyNameOr(kVirtualAlt, false, "Alt"));
  if (code != 0) {
    std::string key = platform::HotKeySystem().KeyName(code, (modifier & kHotKeyExtended) != 0);
    if (key.empty()) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "Key 0x%02X", static_cast<unsigned>(code));
      key = buffer;
    }
    // The text becomes a registry key name, in which a backslash would
    // open a subkey: the record would be stored one level too deep and
    // then deleted at the next load as a record without an action.
    std::string safe;
    for (const char c : key) {
      if (c == '\\') {
        safe += "Backslash";
      } else {
        safe += c;
      }
    }
    append(safe);
  }
  return text;
}

bool IsValidHotKeyName(const std::string& name) {
  return !name.empty() && name.size() <= kLongestKeyName && name.find('\\') == std::string::npos;
}

void LoadHotKeyRecords(std::vector<HotKeyRecord>& records) {
  records.clear();
  std::vector<std::string> names;
  DataSystem::ListSubkeys(kHotKeySection, names, kHiveCurrentUser);
  for (const std::string& name : names) {
    HotKeyRecord record;
    record.Name = name;
    if (ReadRecordValues(name, record)) records.push_back(std::move(record));
  }
}

void ReadHotKeyRecord(HotKeyRecord& record) {
  // An empty name would address the xzCute key itself: reading would write
  // record values into it and the clean-up would delete every hot key and
  // the mouse operations with them.
  if (!IsValidHotKeyName(record.Name)) {
    record.Code = 0;
    record.Modifier = 0;
    record.Action = kNoActionMarker;
    return;
  }
  ReadRecordValues(record.Name, record);
}

void SaveHotKeyRecords(const std::vector<HotKeyRecord>& records) {
  for (const HotKeyRecord& record : records) {
    if (record.Action != kNoActionMarker && !IsValidHotKeyName(record.Name)) {
      throw Vesperon::Exception();
    }
  }
  for (const HotKeyRecord& record : records) {
    if (record.Action == kNoActionMarker) continue;
    DataSystem::HotKeySettings{record.Code, record.Modifier, static_cast<std::uint32_t>(record.Action)}
        .Save(RecordSection(record.Name));
  }
}

void DeleteHotKeyRecord(const HotKeyRecord& record) {
  if (!IsValidHotKeyName(record.Name)) return;  // would delete the whole section
  try {
    DeleteRecordKey(record.Name);
  } catch (...) {
    // A record that cannot be deleted stays; the caller goes on either way.
  }
}

void RegisterHotKeyRecord(platform::WindowHandle window, const std::string& name,
                          std::uint16_t code, std::uint16_t modifier) {
  platform::IHotKeySystem& system = platform::HotKeySystem();
  const platform::Atom atom = system.GlobalAddAtomA(kHotKeyAtomPrefix + name);
  if (atom == 0) throw HotKeyException(HotKeyException::kAtomNotAdded);
  if (!system.RegisterHotKey(window, atom, SystemModifiers(modifier), code)) {
    // The reference taken above would otherwise outlive every entry.
    system.GlobalDeleteAtom(atom);
    throw HotKeyException(HotKeyException::kRegistrationRefused);
  }
  g_registered.push_back({atom, name});
}

bool UnregisterHotKeyByName(platform::WindowHandle window, const std::string& name) {
  for (auto it = g_registered.begin(); it != g_registered.end(); ++it) {
    if (it->Name != name) continue;
    const RegisteredHotKey entry = *it;
    g_registered.erase(it);
    return ReleaseEntry(window, entry);
  }
  return false;
}

std::uint32_t UnregisterAllHotKeys(platform::WindowHandle window) {
  std::uint32_t refused = 0;
  while (!g_registered.empty()) {
    const RegisteredHotKey entry = g_registered.back();
    g_registered.pop_back();
    if (ReleaseEntry(window, entry)) ++refused;
  }
  return refused;
}

std::uint32_t RegisteredHotKeyCount() { return static_cast<std::uint32_t>(g_registered.size()); }

RegisteredHotKey RegisteredHotKeyAt(std::uint32_t index) {
  if (index >= g_registered.size()) throw HotKeyException(HotKeyException::kIndexOutOfRange);
  return g_registered[index];
}

std::uint32_t RegisterStoredHotKeys(platform::WindowHandle window, Vesperon::IActionHost& host) {
  std::vector<HotKeyRecord> records;
  try {
    LoadHotKeyRecords(records);
  } catch (const Vesperon::Exception&) {
    // The window must come up all the same; the bindings stay stored and
    // are tried again at the next start.
    host.ShowMessage(kCannotReadHotKeysText);
    return 0;
  }
  std::uint32_t registered = 0;
  for (const HotKeyRecord& record : records) {
    try {
      RegisterHotKeyRecord(window, record.Name, record.Code, record.Modifier);
      ++registered;
    } catch (...) {
      host.ShowMessage(kCannotRegisterHotKeyText + record.Name);
    }
  }
  return registered;
}

std::intptr_t OnHotKey(Vesperon::ActionDispatcher& dispatcher, Vesperon::IActionHost& host,
                       std::uintptr_t identifier) {
  // An action may open a modal window whose message loop lets the Shortcuts
  // page change the list: walk a copy, so that the walk itself stays valid.
  const std::vector<RegisteredHotKey> entries = g_registered;
  for (const RegisteredHotKey& entry : entries) {
    if (entry.Id != identifier) continue;
    HotKeyRecord record;
    record.Name = entry.Name;
    try {
      ReadHotKeyRecord(record);
    } catch (const Vesperon::Exception&) {
      host.ShowMessage(kCannotReadHotKeysText);
      continue;
    }
    dispatcher.RunHotKeyAction(record.Action);
  }
  return 0;
}

std::uint32_t UnregisterHotKeysAtExit(platform::WindowHandle window, Vesperon::IActionHost& host) {
  const std::uint32_t refused = UnregisterAllHotKeys(window);
  if (refused != 0) host.ShowMessage(kCannotUnregisterHotKeysText);
  return refused;
}

void ResetRegisteredHotKeysForTesting() { g_registered.clear(); }

}  // namespace HotKeys
