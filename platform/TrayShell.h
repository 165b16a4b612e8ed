#pragma once
// The taskbar notification area as the tray icon code needs it: one call that
// hands a notification-icon record to the shell, and the loading of a 16 x 16
// icon from the program's resources. The record is the shell's own
// (NOTIFYICONDATAA) written with portable types, so that the code that fills
// it runs and is tested without Windows; the Win32 implementation copies it
// into the real structure.
#include <cstdint>
#include "platform/ServiceSlot.h"

namespace platform {

using WindowHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;

// Shell_NotifyIcon messages, with the Windows values.
enum TrayShellMessage : std::uint32_t {
  kNotifyAdd = 0,
  kNotifyModify = 1,
  kNotifyDelete = 2,
  kNotifySetVersion = 4,
};

// NIF_* flags.
enum TrayRecordFlag : std::uint32_t {
  kNotifyFlagMessage = 0x1,
  kNotifyFlagIcon = 0x2,
  kNotifyFlagTip = 0x4,
  kNotifyFlagInfo = 0x10,
};

// The three published layouts, named by their size on 32-bit Windows (the
// sizes the version rules speak of); the Win32 implementation maps each to
// the size of the same layout in the running process's own structure.
enum TrayRecordSize : std::uint32_t {
  kRecordSizeOldShell = 88,    // up to the 64-byte tooltip
  kRecordSizeNewShell = 488,   // adds state, balloon texts and version
  kRecordSizeWithGuid = 504,   // adds the item's GUID
};

struct NotifyIconRecord {
  std::uint32_t size = 0;
  WindowHandle window = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  IconHandle icon = 0;
  char tip[128] = {};
  std::uint32_t state = 0;
  std::uint32_t stateMask = 0;
  char info[256] = {};
  std::uint32_t timeoutOrVersion = 0;  // one union in the shell's record
  char infoTitle[64] = {};
  std::uint32_t infoFlags = 0;
};

class ITrayShell {
 public:
  virtual ~ITrayShell() = default;
  // Shell_NotifyIconA; false when the shell refuses.
  virtual bool NotifyIcon(TrayShellMessage message, const NotifyIconRecord& record) = 0;
  // LoadImageA of an icon resource at the system's small-icon size (16 x 16
  // at 96 DPI); 0 when it cannot be loaded.
  virtual IconHandle LoadSmallIcon(std::int32_t resourceId) = 0;
};

// The tray shell in use: the build's default (the real shell on Windows, an
// inert one on the host) unless a test installed its own.
ITrayShell& DefaultTrayShell();
using TrayShellSlot = ServiceSlot<ITrayShell, DefaultTrayShell>;
inline ITrayShell& TrayShell() { return TrayShellSlot::Get(); }
using ScopedTrayShell = TrayShellSlot::Scoped;

}  // namespace platform
