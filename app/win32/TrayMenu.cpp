#include "app/win32/TrayMenu.h"

#include <cstdint>

#include "actions/ActionCatalog.h"
#include "actions/ActionDispatcher.h"
#include "app/win32/CoreIds.h"
#include "resources/resource.h"

using namespace Vesperon;

CTrayMenu::CTrayMenu()
    : resource_(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU))),
      menu_(resource_.IsValid() ? GetSubMenu(resource_, 0) : nullptr) {}

void CTrayMenu::Prepare(const win::CImageList& actionImages, const win::CImageList& menuImages,
                        int exitImage) {
  if (!menu_) return;
  GivePictures(actionImages, menuImages, exitImage);
  for (TrayMenuCommand command : TrayMenuCommandsToRemove()) {
    DeleteMenu(menu_, win::MenuItemId(command), MF_BYCOMMAND);
  }
}

void CTrayMenu::GivePictures(const win::CImageList& actionImages, const win::CImageList& menuImages,
                             int exitImage) {
  for (int i = 0, n = GetMenuItemCount(menu_); i < n; ++i) {
    const UINT command = GetMenuItemID(menu_, i);
    const auto position = static_cast<UINT>(i);
    if (command == ID_TRAY_EXIT) {
      pictures_.Give(menu_, position, menuImages, exitImage);
    } else {
      const std::optional<TrayMenuCommand> tray = win::TrayMenuCommandOf(command);
      const int image = tray ? GetActionImageIndex(TrayMenuCommandAction(*tray)) : -1;
      if (image >= 0) pictures_.Give(menu_, position, actionImages, image);
    }
  }
}

void CTrayMenu::Show(HWND owner, int x, int y) const {
  SetForegroundWindow(owner);
  if (menu_) TrackPopupMenuEx(menu_, TPM_VERNEGANIMATION, x, y, owner, nullptr);
  // Lets the menu close properly when the user clicks elsewhere.
  PostMessageA(owner, WM_NULL, 0, 0);
}
