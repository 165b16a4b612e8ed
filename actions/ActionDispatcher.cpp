#include "actions/ActionDispatcher.h"

#include "settings/InternetExplorerVersion.h"
#include "actions/SystemActions.h"
#include "model/OsVersion.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "settings/StoreExceptions.h"

namespace Vesperon {
namespace {

struct ClickBinding {
  DataSystem::MouseButton button;
  TrayClickKind kind;
};

bool BindingOf(MouseMessage message, ClickBinding& out) {
  using DataSystem::MouseButton;
  switch (message) {
    case kMouseLeftDown: out = {MouseButton::Left, kClickPressed}; return true;
    case kMouseLeftUp: out = {MouseButton::Left, kClickReleased}; return true;
    case kMouseLeftDouble: out = {MouseButton::Left, kClickDouble}; return true;
    case kMouseRightDown: out = {MouseButton::Right, kClickPressed}; return true;
    case kMouseRightUp: out = {MouseButton::Right, kClickReleased}; return true;
    case kMouseRightDouble: out = {MouseButton::Right, kClickDouble}; return true;
    case kMouseMiddleDown: out = {MouseButton::Middle, kClickPressed}; return true;
    case kMouseMiddleUp: out = {MouseButton::Middle, kClickReleased}; return true;
    case kMouseMiddleDouble: out = {MouseButton::Middle, kClickDouble}; return true;
    default: return false;
  }
}

// The announcement is only a courtesy: a browser key that cannot be read
// means no balloon, never a scheduled action that does not run.
bool ShellHasBalloons() {
  try {
    return GetInternetExplorerVersion() >= 5.0;
  } catch (const DataSystem::RegistryException&) {
    return false;
  }
}

}  // namespace

std::string InitiatingActionText(ActionId id) {
  return std::string("Initiating \"") + GetActionName(id) + "\" action execution";
}

std::uint32_t PackPointParameter(std::int32_t x, std::int32_t y) {
  return (static_cast<std::uint32_t>(y) & 0xFFFFu) << 16 | (static_cast<std::uint32_t>(x) & 0xFFFFu);
}

ActionId LookupTrayClickAction(MouseMessage mouseMessage) {
  ClickBinding binding{};
  if (!BindingOf(mouseMessage, binding)) return -1;
  DataSystem::MouseShortcut shortcut;
  try {
    shortcut.Load(binding.button);
  } catch (const Vesperon::Exception&) {
    // A click must never fail: settings that cannot be read bind nothing.
    return -1;
  }
  if (shortcut.clickKind != binding.kind) return -1;
  return static_cast<ActionId>(shortcut.action);
}

ActionId TrayMenuCommandAction(TrayMenuCommand command) {
  switch (command) {
    case kTrayMenuShowWindow: return kActionShowMainWindow;
    case kTrayMenuShutdownNetwork: return kActionShutdownNetwork;
    case kTrayMenuLogOff: return kActionLogOff;
    case kTrayMenuHibernate: return kActionHibernate;
    case kTrayMenuLock: return kActionLock;
    case kTrayMenuHangUp: return kActionHangUp;
    case kTrayMenuReboot: return kActionReboot;
    case kTrayMenuTurnOff: return kActionTurnOff;
    case kTrayMenuStandBy: return kActionStandBy;
  }
  return -1;
}

std::vector<TrayMenuCommand> TrayMenuCommandsToRemove() {
  std::vector<TrayMenuCommand> removed;
  if (!IsOsVersionAtLeast(10, 120)) removed.push_back(kTrayMenuStandBy);
  if (!IsOsVersionAtLeast(30, 120)) removed.push_back(kTrayMenuHibernate);
  if (!IsOsVersionAtLeast(0, 120)) removed.push_back(kTrayMenuLock);
  removed.push_back(kTrayMenuShutdownNetwork);
  return removed;
}

void ActionDispatcher::ExecuteSelectedAction() { ExecuteAnnouncedAction(host_.SelectedActionItemData()); }

void ActionDispatcher::ExecuteAnnouncedAction(ActionId id) {
  if (ShellHasBalloons() && host_.TrayIconExists()) {
    // Announcing is a courtesy too: a shell that refuses the balloon (no
    // taskbar yet, Explorer restarting) must not cost the user the action,
    // which for a one-shot trigger has already been spent.
    try {
      host_.ShowBalloon(kNotificationTitle, InitiatingActionText(id), kNotificationTimeoutMs,
                        kBalloonInfo);
    } catch (const Exception&) {
    }
  }
  if (!IsActionId(id)) {
    host_.ShowMessage(kUnknownActionText);
    return;
  }
  ExecuteAction(id);
}

void ActionDispatcher::ExecuteAction(ActionId id) {
  ISystemActions& system = SystemActions();
  switch (id) {
    case kActionTurnOff:
      // Only the NT line can be asked to switch the power off.
      system.ExitWindows(IsOsVersionAtLeast(0, 100) ? kExitPowerOff : kExitShutDown);
      break;
    case kActionReboot: system.ExitWindows(kExitReboot); break;
    case kActionLogOff: system.ExitWindows(kExitLogOff); break;
    case kActionStandBy: system.Suspend(false); break;
    case kActionReminder: system.ShowReminder(); break;
    case kActionHangUp: system.HangUpConnections(); break;
    case kActionHibernate: system.Suspend(true); break;
    case kActionLock: system.LockWorkStation(); break;
    case kActionShutdownNetwork:
      // Kept for stored bindings only; there is no network shutdown.
      host_.ShowMessage(GetActionName(kActionShutdownNetwork));
      break;
    case kActionNone: break;
    case kActionMonitorOff: system.MonitorOff(); break;
    case kActionMonitorOn: system.MonitorOn(); break;
    case kActionScreenSaver: system.RunScreenSaver(); break;
    case kActionKillProcesses: system.KillProcesses(); break;
    case kActionWakeOnLan: system.WakeOnLan(); break;
    case kActionRebootShell: system.RebootShell(); break;
    case kActionShowMainWindow: host_.ShowWindowRestored(); break;
    case kActionTrayMenu: ShowTrayMenuAtCursor(); break;
    default: break;
  }
}

void ActionDispatcher::ShowTrayMenuAtCursor() {
  std::int32_t x = 0, y = 0;
  if (!host_.GetCursorPosition(x, y)) return;
  host_.PostTrayMenuMessage(0, static_cast<std::intptr_t>(PackPointParameter(x, y)));
}

void ActionDispatcher::OnTrayIconMessage(std::uintptr_t iconId, MouseMessage message) {
  if (iconId != kTrayIconId) return;
  const ActionId id = LookupTrayClickAction(message);
  if (id < 0) return;
  if (id > kLastActionId) {
    host_.ShowMessage(kUnknownActionText);
    return;
  }
  ExecuteAction(id);
}

void ActionDispatcher::RunHotKeyAction(ActionId id) {
  if (!IsActionId(id)) {
    host_.ShowMessage(kUnknownActionText);
    return;
  }
  ExecuteAction(id);
}

void ActionDispatcher::OnTrayMenuCommand(TrayMenuCommand command) {
  const ActionId id = TrayMenuCommandAction(command);
  if (id >= 0) ExecuteAction(id);
}

}  // namespace Vesperon
