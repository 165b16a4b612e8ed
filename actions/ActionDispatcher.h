#pragma once
// Turns an ActionId into its operation, for every way an action starts: the
// scheduler and "Execute Now" (the selected action, announced by a balloon),
// hot keys, clicks on the tray icon and the tray menu's commands. The window
// side is reached through IActionHost and every operation with an effect on
// the system through SystemActions(); neither is caught here when it throws.
#include <cstdint>
#include <string>
#include <vector>

#include "actions/ActionCatalog.h"

namespace Vesperon {

// The tray icon's identifier: the first parameter of its callback message.
inline constexpr std::uintptr_t kTrayIconId = 104;

// The button events the tray icon reports; the window turns its mouse
// messages into these.
enum MouseMessage : std::uint32_t {
  kMouseLeftDown,
  kMouseLeftUp,
  kMouseLeftDouble,
  kMouseRightDown,
  kMouseRightUp,
  kMouseRightDouble,
  kMouseMiddleDown,
  kMouseMiddleUp,
  kMouseMiddleDouble,
};

// How the stored click settings (LBClickC, MBClickC, RBClickC) name a click.
enum TrayClickKind : std::uint32_t {
  kClickPressed = 0,
  kClickReleased = 1,
  kClickDouble = 2,
};

// Commands of the tray menu that run an action; the window maps its menu
// items to these.
enum TrayMenuCommand : std::int32_t {
  kTrayMenuReboot,
  kTrayMenuStandBy,
  kTrayMenuHibernate,
  kTrayMenuTurnOff,
  kTrayMenuLogOff,
  kTrayMenuLock,
  kTrayMenuHangUp,
  kTrayMenuShutdownNetwork,
  kTrayMenuShowWindow,
};
inline constexpr int kTrayMenuCommandCount = 9;

// Balloon icons, with the NIIF_* values.
enum BalloonIcon : std::uint32_t {
  kBalloonNoIcon = 0,
  kBalloonInfo = 1,
  kBalloonWarning = 2,
  kBalloonError = 3,
};

inline constexpr char kNotificationTitle[] = "Vesperon: Notification";
inline constexpr std::uint32_t kNotificationTimeoutMs = 10000;
// The text users of earlier versions know, misspelling included.
inline constexpr char kUnknownActionText[] = "Unknow action";

// What the dispatcher needs of the main window.
class IActionHost {
 public:
  virtual ~IActionHost() = default;

  // The item data of the action selector's selected entry: its ActionId, or
  // -1 when nothing is selected.
  virtual ActionId SelectedActionItemData() = 0;
  // Whether the tray icon object exists.
  virtual bool TrayIconExists() = 0;
  // A balloon on the tray icon; it returns at once, without waiting for it.
  virtual void ShowBalloon(const std::string& title, const std::string& text,
                           std::uint32_t timeoutMs, BalloonIcon icon) = 0;
  // A modal message box owned by the main window, captioned with the
  // application's default title, with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // Shows the main window with SW_RESTORE.
  virtual void ShowWindowRestored() = 0;
  // The cursor position in screen coordinates; false when it cannot be read.
  virtual bool GetCursorPosition(std::int32_t& x, std::int32_t& y) = 0;
  // Posts the registered message "Vesperon.Display.TrayIcon.Menu" to the
  // main window with these parameters.
  virtual void PostTrayMenuMessage(std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// `Initiating "NAME" action execution`; the name is empty for an id that
// names no action.
std::string InitiatingActionText(ActionId id);

// A screen point as a message parameter: x in the low and y in the high 16
// bits, each as its 16-bit two's complement, so that the receiver gets
// negative coordinates (monitors left of or above the primary) back by
// reading each half as a signed 16-bit number. Coordinates outside -32768 to
// 32767 keep only their low 16 bits, as with MAKELPARAM.
std::uint32_t PackPointParameter(std::int32_t x, std::int32_t y);

// The action the user bound to a tray-icon button event, read from the
// mouse-operation settings; -1 when the stored click kind is another, or the
// settings cannot be read.
ActionId LookupTrayClickAction(MouseMessage mouseMessage);

// The action a tray-menu command runs.
ActionId TrayMenuCommandAction(TrayMenuCommand command);

// Tray-menu commands to remove when the main window starts, because the
// running system cannot carry them out (network shutdown: none can).
std::vector<TrayMenuCommand> TrayMenuCommandsToRemove();

class ActionDispatcher {
 public:
  explicit ActionDispatcher(IActionHost& host) : host_(host) {}

  // Runs the selected action after announcing it with a balloon (when the
  // shell has balloons and the tray icon exists; a balloon the shell refuses
  // is skipped); an id that names no action gets the "Unknow action" box
  // instead.
  void ExecuteSelectedAction();
  // The same for the action `id` (one the user was warned about).
  void ExecuteAnnouncedAction(ActionId id);
  // Runs one action, without announcing it. Ids that name no action do
  // nothing; the entry points show "Unknow action" before getting here.
  void ExecuteAction(ActionId id);

  // The tray icon's callback message: the icon's identifier and the button event.
  void OnTrayIconMessage(std::uintptr_t iconId, MouseMessage message);
  // The action stored with a pressed hot key.
  void RunHotKeyAction(ActionId id);
  // A tray-menu command.
  void OnTrayMenuCommand(TrayMenuCommand command);

 private:
  void ShowTrayMenuAtCursor();

  IActionHost& host_;
};

}  // namespace Vesperon
