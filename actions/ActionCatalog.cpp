#include "actions/ActionCatalog.h"

#include <algorithm>

#include "model/OsVersion.h"

namespace Vesperon {
namespace {

struct ActionRow {
  const char* name;
  int imageIndex;
};

const ActionRow kActions[kLastActionId + 1] = {
    {"Turn off", 0},
    {"Reboot", 1},
    {"Log off", 2},
    {"Stand by", 3},
    {"Reminder", 4},
    {"Hang Up Connection(s)", 5},
    {"Hibernate", 6},
    {"Lock", 7},
    {"Shutdown Network Computer(s)", 8},
    {"No action", 12},
    {"Turn off monitor", 17},
    {"Turn on monitor", 16},
    {"Run Screen Saver", 15},
    {"Kill Process(es)", 11},
    {"Wake on LAN", 13},
    {"Reboot Shell", 14},
    {"Show main window", 10},
    {"Pop up tray icon menu", 9},
};

// Actions offered only on some systems, in selector order, with the
// (9x line, NT line) minimums that offer them.
struct VersionGatedAction {
  ActionId id;
  std::int32_t min9x;
  std::int32_t minNT;
};
const VersionGatedAction kGatedActions[] = {
    {kActionTurnOff, 10, 110},   {kActionLogOff, 10, 110},   {kActionReboot, 10, 110},
    {kActionHibernate, 30, 120}, {kActionStandBy, 10, 120},  {kActionHangUp, 30, 130},
    {kActionLock, 0, 120},
};
const ActionId kAlwaysOffered[] = {
    kActionMonitorOff, kActionWakeOnLan,   kActionKillProcesses, kActionReminder,
    kActionMonitorOn,  kActionScreenSaver, kActionRebootShell,   kActionNone,
};

}  // namespace

const char* GetActionName(ActionId id) {
  if (!IsActionId(id)) return "";
  if (id == kActionLock &&
      (IsOsVersionAtLeast(0, kOsWindowsLater) || GetOsVersionCode() == kOsWindowsXP)) {
    return "Lock / Switch user";
  }
  return kActions[id].name;
}

int GetActionImageIndex(ActionId id) { return IsActionId(id) ? kActions[id].imageIndex : -1; }

std::vector<ActionId> GetAvailableActions() {
  std::vector<ActionId> ids;
  for (const VersionGatedAction& a : kGatedActions) {
    if (IsOsVersionAtLeast(a.min9x, a.minNT)) ids.push_back(a.id);
  }
  ids.insert(ids.end(), std::begin(kAlwaysOffered), std::end(kAlwaysOffered));
  return ids;
}

std::vector<ActionId> GetShortcutActions() {
  std::vector<ActionId> ids = GetAvailableActions();
  ids.push_back(kActionShowMainWindow);
  ids.push_back(kActionTrayMenu);
  return ids;
}

bool IsActionAvailable(ActionId id) {
  const std::vector<ActionId> ids = GetAvailableActions();
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace Vesperon
