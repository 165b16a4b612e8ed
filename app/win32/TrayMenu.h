#pragma once
// The tray icon's pop-up menu: loaded from the program's resources, given
// the pictures of its commands and stripped of the commands the running
// Windows version lacks, and shown where the user clicked.
#include <windows.h>

#include "app/win32/Controls.h"
#include "app/win32/MenuBitmaps.h"
#include "platform/win32/Handle.h"

class CTrayMenu {
 public:
  CTrayMenu();

  // Each action command gets its action's picture from `actionImages`,
  // Exit entry `exitImage` of `menuImages`.
  void Prepare(const win::CImageList& actionImages, const win::CImageList& menuImages, int exitImage);
  // At the screen point (x, y), owned by `owner`, which gets its commands.
  void Show(HWND owner, int x, int y) const;
  HMENU Handle() const { return menu_; }

 private:
  void GivePictures(const win::CImageList& actionImages, const win::CImageList& menuImages, int exitImage);

  win::CMenu resource_;
  HMENU menu_ = nullptr;  // the resource's first submenu
  CMenuBitmaps pictures_;
};
