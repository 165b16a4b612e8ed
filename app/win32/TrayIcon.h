#pragma once
// The main window's icon in the notification area, from the window's
// creation to its destruction: it keeps the shell's record and the image
// the icon shows, and takes the icon out of the tray when it goes.
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/Handle.h"
#include "shell/TrayIcon.h"

class CTrayIcon {
 public:
  // Adds the icon at once where there is a taskbar; without one it comes
  // with "TaskbarCreated" (AddAgain).
  CTrayIcon(HWND window, UINT callbackMessage);
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // "TaskbarCreated": a new taskbar knows no icons. A refusal is kept, and
  // the next "TaskbarCreated" tries again.
  void AddAgain() { TryAdd(); }
  // Whether the shell took the icon: until then there is nothing to change
  // or to show balloons on.
  bool Shown() const { return added_; }
  // `iconKind` is the shell's NIIF_ value.
  void ShowBalloon(const std::string& title, const std::string& text, std::uint32_t timeoutMs,
                   std::uint32_t iconKind) const;
  void SetImage(std::int32_t iconResource);

 private:
  void TryAdd();

  Vesperon::TrayIconInfo info_;  // its icon is image_'s
  win::CIcon image_;
  bool added_ = false;
};
