#pragma once
// The closed set of actions: identifiers, display names, image positions and
// which of them the running Windows version offers.
#include <cstdint>
#include <vector>

namespace Vesperon {

using ActionId = std::int32_t;

enum Action : ActionId {
  kActionTurnOff = 0,
  kActionReboot = 1,
  kActionLogOff = 2,
  kActionStandBy = 3,
  kActionReminder = 4,
  kActionHangUp = 5,
  kActionHibernate = 6,
  kActionLock = 7,
  kActionShutdownNetwork = 8,
  kActionNone = 9,
  kActionMonitorOff = 10,
  kActionMonitorOn = 11,
  kActionScreenSaver = 12,
  kActionKillProcesses = 13,
  kActionWakeOnLan = 14,
  kActionRebootShell = 15,
  kActionShowMainWindow = 16,
  kActionTrayMenu = 17,
};

inline constexpr ActionId kLastActionId = 17;
inline constexpr int kActionImageCount = 18;

// An id names an action when, taken as unsigned, it is at most 17: negative
// ids are out of range too.
constexpr bool IsActionId(ActionId id) {
  return static_cast<std::uint32_t>(id) <= static_cast<std::uint32_t>(kLastActionId);
}

// Display name; the empty text for an id that names no action. The name of
// the lock action depends on the Windows version (fast user switching).
const char* GetActionName(ActionId id);

// Position in the action image list; -1 for an id that names no action.
int GetActionImageIndex(ActionId id);

// The actions the running system offers, in the order of the action selector.
std::vector<ActionId> GetAvailableActions();
// The available actions plus those that only make sense on a shortcut.
std::vector<ActionId> GetShortcutActions();
bool IsActionAvailable(ActionId id);

}  // namespace Vesperon
