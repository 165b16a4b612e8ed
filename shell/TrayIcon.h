#pragma once
// The main window's icon in the taskbar notification area: adding, changing,
// balloons and removal, with the record size and text limits of the shell the
// running Windows version has. Every call fills the shell's record afresh and
// hands it to platform::TrayShell().
#include <cstdint>
#include <string>

#include "model/Exception.h"
#include "platform/TrayShell.h"

namespace Vesperon {

using platform::IconHandle;
using platform::WindowHandle;

// The shell refused an operation on the icon; the code says which.
class TaskbarException : public Exception {
 public:
  explicit TaskbarException(std::int32_t code) : Exception(code, kCategoryTaskbar) {}
};
enum TaskbarFailure : std::int32_t {
  kTaskbarAddRefused = 0,
  kTaskbarSetVersionRefused = 1,
  kTaskbarModifyRefused = 2,
  kTaskbarDeleteRefused = 3,
};
// SystemException code for a tooltip, balloon text or title the record
// cannot hold.
inline constexpr std::int32_t kTextTooLongCode = 6;

inline constexpr std::uint32_t kTrayIconVersion = 3;
inline constexpr char kTrayTooltip[] = "Vesperon";
// The program's icon in 256 colours, or in 16 for shells that show no more.
enum TrayImage : std::int32_t { kTrayImageFullColour, kTrayImageSixteenColour };

// One per main window, from its creation to its destruction.
struct TrayIconInfo {
  WindowHandle window = 0;
  std::uint32_t callbackMessage = 0;
  std::uint32_t iconId = 0;
  IconHandle icon = 0;
  std::string tooltip;
};

// What the running shell accepts.
struct TrayShellLimits {
  std::uint32_t recordSize = 0;
  bool newShell = false;          // balloons and the version call
  std::size_t longestTooltip = 0;
  std::size_t longestBalloonText = 0;   // 0 on the old shell: no balloons
  std::size_t longestBalloonTitle = 0;
};
TrayShellLimits CurrentTrayShellLimits();

// The tray icon's first image: full colour where the shell shows 256 colours
// in the tray (Windows Me, XP and later), sixteen colours elsewhere.
TrayImage InitialTrayIconResource();

void AddTrayIcon(const WindowHandle& window, const std::uint32_t& callbackMessage,
                 const std::uint32_t& iconId, const IconHandle& icon, const std::string& tooltip);
void ModifyTrayIcon(const WindowHandle& window, const std::uint32_t& callbackMessage,
                    const std::uint32_t& iconId, const IconHandle& icon,
                    const std::string& tooltip);
void ShowTrayBalloon(const WindowHandle& window, const std::uint32_t& iconId,
                     const std::string& title, const std::string& text,
                     const std::uint32_t& timeoutMs, const std::uint32_t& iconKind);
void DeleteTrayIcon(const WindowHandle& window, const std::uint32_t& iconId);

// The point of "Vesperon.Display.TrayIcon.Menu": x in the low and y in the
// high 16 bits, each read as a signed 16-bit number (the reverse of
// PackPointParameter).
struct TrayMenuPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};
TrayMenuPoint UnpackTrayMenuPoint(std::intptr_t lParam);

}  // namespace Vesperon
