#pragma once
// The Win32 numbers behind the core's own names: control and menu ids, icon
// resources, message-box icons and mouse messages. The core names what it
// means; these tables say which resource or window message that is, and the
// static_asserts tie each table to every name of its enum and to
// resources/resource.h.
#include <windows.h>

#include <iterator>
#include <optional>

#include "actions/ActionCatalog.h"
#include "actions/ActionDispatcher.h"
#include "app/SchedulerEngine.h"
#include "resources/resource.h"
#include "shell/TrayIcon.h"

namespace win {

inline constexpr int kEngineControlIds[] = {
    IDC_ACTIVATE,   IDC_ACTION_LIST,   IDC_TRIGGER_LIST,  IDC_TIME_FIELD,    IDC_DATE_FIELD,
    IDC_NUMBER_FIELD, IDC_WEEKDAY_LIST, IDC_NUMBER_UPDOWN, IDC_PROCESS_FIELD,
};
static_assert(std::size(kEngineControlIds) == Vesperon::kEngineControlCount);
static_assert(kEngineControlIds[Vesperon::kActivateButton] == IDC_ACTIVATE);
static_assert(kEngineControlIds[Vesperon::kProcessField] == IDC_PROCESS_FIELD);
constexpr int ControlId(Vesperon::EngineControl control) { return kEngineControlIds[control]; }

constexpr UINT MessageBoxIcon(Vesperon::MessageIcon icon) {
  return icon == Vesperon::kMessageIconQuestion ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
}

inline constexpr int kTrayImageResources[] = {IDI_VESPERON, IDI_VESPERON_16COLOUR};
static_assert(kTrayImageResources[Vesperon::kTrayImageFullColour] == IDI_VESPERON);
static_assert(kTrayImageResources[Vesperon::kTrayImageSixteenColour] == IDI_VESPERON_16COLOUR);
constexpr int IconResource(Vesperon::TrayImage image) { return kTrayImageResources[image]; }

// Icon resources in image-list order: position k holds the k-th of them.
inline constexpr int kActionIconResources[] = {
    IDI_ACTION_TURN_OFF,     IDI_ACTION_REBOOT,       IDI_ACTION_LOG_OFF,
    IDI_ACTION_STAND_BY,     IDI_ACTION_REMINDER,     IDI_ACTION_HANG_UP,
    IDI_ACTION_HIBERNATE,    IDI_ACTION_LOCK,         IDI_ACTION_SHUTDOWN_NETWORK,
    IDI_ACTION_TRAY_MENU,    IDI_ACTION_SHOW_WINDOW,  IDI_ACTION_KILL,
    IDI_ACTION_NONE,         IDI_ACTION_WAKE_ON_LAN,  IDI_ACTION_REBOOT_SHELL,
    IDI_ACTION_SCREEN_SAVER, IDI_ACTION_MONITOR_ON,   IDI_ACTION_MONITOR_OFF,
};
static_assert(std::size(kActionIconResources) == Vesperon::kActionImageCount);

inline constexpr int kTrayMenuIds[] = {
    ID_TRAY_REBOOT, ID_TRAY_STAND_BY, ID_TRAY_HIBERNATE, ID_TRAY_TURN_OFF,         ID_TRAY_LOG_OFF,
    ID_TRAY_LOCK,   ID_TRAY_HANG_UP,  ID_TRAY_SHUTDOWN_NETWORK, ID_TRAY_SHOW_WINDOW,
};
static_assert(std::size(kTrayMenuIds) == Vesperon::kTrayMenuCommandCount);
static_assert(kTrayMenuIds[Vesperon::kTrayMenuShowWindow] == ID_TRAY_SHOW_WINDOW);
constexpr UINT MenuItemId(Vesperon::TrayMenuCommand command) {
  return static_cast<UINT>(kTrayMenuIds[command]);
}
// The tray-menu command of a menu item; none for an item that runs no action.
inline std::optional<Vesperon::TrayMenuCommand> TrayMenuCommandOf(UINT id) {
  for (int k = 0; k < Vesperon::kTrayMenuCommandCount; ++k) {
    if (static_cast<UINT>(kTrayMenuIds[k]) == id) return static_cast<Vesperon::TrayMenuCommand>(k);
  }
  return std::nullopt;
}

// The button events of the tray icon's callback, WM_LBUTTONDOWN ..
// WM_MBUTTONDBLCLK in the order of the core's names; none for the others.
static_assert(WM_MBUTTONDBLCLK - WM_LBUTTONDOWN == Vesperon::kMouseMiddleDouble);
inline std::optional<Vesperon::MouseMessage> MouseMessageOf(LPARAM message) {
  if (message < WM_LBUTTONDOWN || message > WM_MBUTTONDBLCLK) return std::nullopt;
  return static_cast<Vesperon::MouseMessage>(message - WM_LBUTTONDOWN);
}

}  // namespace win
