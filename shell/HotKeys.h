#pragma once
// System-wide hot keys bound to actions. The bindings (HotKeyRecord) live in
// the registry below Global\xzCute, one key per record named by the
// combination's text, shared by all profiles. The registered list
// (RegisteredHotKeys) is one per process: the main window fills it at
// creation and empties it at destruction, the Shortcuts page adds and
// removes entries while the program runs. Everything runs on the
// user-interface thread; nothing here is locked.
//
// Each registration takes a global atom named "Vesperon.Hotkeys." + the
// combination's text; the atom is also the hot-key identifier WM_HOTKEY
// reports, so the same combination gets the same identifier in every
// process that names it the same way.
#include <cstdint>
#include <string>
#include <vector>

#include "actions/ActionCatalog.h"
#include "model/Exception.h"
#include "platform/HotKeySystem.h"

namespace Vesperon {
class ActionDispatcher;
class IActionHost;
}  // namespace Vesperon

namespace HotKeys {

// HotKeyModifierFlags: the modifiers as the hot-key control reports them.
enum HotKeyModifierFlags : std::uint16_t {
  kHotKeyShift = 0x01,
  kHotKeyControl = 0x02,
  kHotKeyAlt = 0x04,
  kHotKeyExtended = 0x08,
};

// The Action of a record that has none: the default of the Action value, so
// a key without it reads as this. Such a record is deleted where it is read
// and never written.
inline constexpr Vesperon::ActionId kNoActionMarker = -3;

inline constexpr char kHotKeyAtomPrefix[] = "Vesperon.Hotkeys.";
// The store section of the hot-key records (below the program's root).
inline constexpr char kHotKeySection[] = "Global\\xzCute";

// Message texts, as users of earlier versions know them.
inline constexpr char kCannotRegisterHotKeyText[] = "Cannot register hotkey: ";  // + name
inline constexpr char kCannotUnregisterHotKeysText[] = "Cannot unregister some of the hotkeys.";
inline constexpr char kHotKeyExistsText[] = "Hotkey already exists.";
inline constexpr char kFailedToRegisterHotKeyText[] = "Failed to register hotkey: ";  // + name
inline constexpr char kFailedToUnregisterHotKeyText[] = "Failed to unregister hotkey.";
// Shown when the stored records cannot be read at all at start-up, and when
// a pressed hot key's record cannot be read.
inline constexpr char kCannotReadHotKeysText[] = "Cannot read the hotkeys from the registry.";

struct HotKeyRecord {
  std::uint16_t Code = 0;      // virtual-key code
  std::uint16_t Modifier = 0;  // HotKeyModifierFlags
  std::string Name;            // the combination's text; the record's identity
  Vesperon::ActionId Action = kNoActionMarker;
};

struct RegisteredHotKey {
  std::uint32_t Id = 0;  // the global atom, also the hot-key identifier
  std::string Name;
};

// Thrown by value. Codes: 0 the system did not add the global atom, 1 the
// system refused the registration, 3 an index beyond the registered list.
class HotKeyException : public Vesperon::Exception {
 public:
  enum Code : std::int32_t {
    kAtomNotAdded = 0,
    kRegistrationRefused = 1,
    kIndexOutOfRange = 3,
  };
  explicit HotKeyException(std::int32_t code) : Exception(code, 0) {}
};

// --- The combination's text.

// The text of a combination, composed the way the hot-key control shows it:
// the names of Ctrl, Shift and Alt (those present, in that order) and of the
// key, joined by " + ", with the running keyboard layout's key names. It is
// the name of a registry key, so it never holds a backslash (a key named "\"
// is written "Backslash"); a key the layout has no name for is written as
// its code, e.g. "Key 0xE8". Both 0 give the empty text.
std::string HotKeyText(std::uint16_t code, std::uint16_t modifier);

// Whether a text can name a record: not empty, at most 255 characters and
// without a backslash (it becomes a single registry key name).
bool IsValidHotKeyName(const std::string& name);

// --- The records in the registry (the current user's hive).

// Every valid record, in the order the registry lists the subkeys; a subkey
// whose Action is missing or -3 is deleted on the way. Store failures pass.
void LoadHotKeyRecords(std::vector<HotKeyRecord>& records);
// Fills Code, Modifier and Action of the record named record.Name; a record
// that does not exist comes back with Action -3 (and its key, if any, is
// deleted). A name IsValidHotKeyName refuses reads as -3 without touching
// the registry.
void ReadHotKeyRecord(HotKeyRecord& record);
// Writes every record whose Action is not -3, in order. A record name that
// IsValidHotKeyName refuses throws a plain Vesperon::Exception before
// anything is written.
void SaveHotKeyRecords(const std::vector<HotKeyRecord>& records);
// Deletes the record's key; never fails towards the caller.
void DeleteHotKeyRecord(const HotKeyRecord& record);

// --- Registration with the system.

// Registers the combination for `window` and appends {atom, name} to the
// registered list. Throws HotKeyException 0 (no atom) or 1 (refused; the
// atom reference is released again and nothing is appended).
void RegisterHotKeyRecord(platform::WindowHandle window, const std::string& name,
                          std::uint16_t code, std::uint16_t modifier);
// Unregisters and forgets the first entry of that name; true when the system
// refused the unregistration (the atom is released and the entry removed all
// the same), false otherwise, also when no entry has that name.
bool UnregisterHotKeyByName(platform::WindowHandle window, const std::string& name);
// Unregisters every entry, last first; the number of refusals.
std::uint32_t UnregisterAllHotKeys(platform::WindowHandle window);
std::uint32_t RegisteredHotKeyCount();
// A copy of the entry; HotKeyException 3 when index is not below the count.
RegisteredHotKey RegisteredHotKeyAt(std::uint32_t index);

// --- What the main window does with them.

// At creation, after the tray icon: registers every stored record for
// `window`; each failure shows "Cannot register hotkey: " + name through
// host.ShowMessage and the others go on. Records that cannot be read at all
// show kCannotReadHotKeysText once and nothing is registered. Never throws a
// store failure; returns the number of records registered.
std::uint32_t RegisterStoredHotKeys(platform::WindowHandle window, Vesperon::IActionHost& host);

// WM_HOTKEY (wParam = identifier): for every registered entry with that
// identifier (the loop does not stop at the first), reads its record again
// and runs its action through dispatcher.RunHotKeyAction, which shows
// "Unknow action" for an Action outside 0 to 17 (a vanished record included).
// A record that cannot be read shows kCannotReadHotKeysText and the loop goes
// on; a failure of the action itself passes to the caller. Returns 0, the
// message's result.
std::intptr_t OnHotKey(Vesperon::ActionDispatcher& dispatcher, Vesperon::IActionHost& host,
                       std::uintptr_t identifier);

// At destruction, after the tray icon is removed: unregisters everything and
// shows "Cannot unregister some of the hotkeys." once if any was refused.
// Returns the number of refusals.
std::uint32_t UnregisterHotKeysAtExit(platform::WindowHandle window, Vesperon::IActionHost& host);

// Empties the registered list without calling the system; for tests that
// start from a clean process state.
void ResetRegisteredHotKeysForTesting();

}  // namespace HotKeys
