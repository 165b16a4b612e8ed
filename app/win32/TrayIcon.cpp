#include "app/win32/TrayIcon.h"

#include "actions/ActionDispatcher.h"
#include "app/win32/CoreIds.h"
#include "platform/TrayShell.h"

using namespace Vesperon;

namespace {

HICON LoadTrayImage(std::int32_t iconResource) {
  return reinterpret_cast<HICON>(platform::TrayShell().LoadSmallIcon(iconResource));
}

}  // namespace

CTrayIcon::CTrayIcon(HWND window, UINT callbackMessage)
    : image_(LoadTrayImage(win::IconResource(InitialTrayIconResource()))) {
  info_.window = reinterpret_cast<WindowHandle>(window);
  info_.callbackMessage = callbackMessage;
  info_.iconId = static_cast<std::uint32_t>(kTrayIconId);
  info_.icon = reinterpret_cast<IconHandle>(image_.Get());
  info_.tooltip = kTrayTooltip;
  TryAdd();
}

CTrayIcon::~CTrayIcon() {
  try {
    DeleteTrayIcon(info_.window, info_.iconId);
  } catch (const TaskbarException&) {
    // The taskbar is gone already; nothing is left to remove.
  }
}

void CTrayIcon::TryAdd() {
  try {
    AddTrayIcon(info_.window, info_.callbackMessage, info_.iconId, info_.icon, info_.tooltip);
    added_ = true;
  } catch (const TaskbarException& failure) {
    // Only the add itself decides: a refused version call leaves the icon in.
    added_ = failure.code != kTaskbarAddRefused;
  }
}

void CTrayIcon::ShowBalloon(const std::string& title, const std::string& text, std::uint32_t timeoutMs,
                            std::uint32_t iconKind) const {
  if (!added_) return;
  ShowTrayBalloon(info_.window, info_.iconId, title, text, timeoutMs, iconKind);
}

void CTrayIcon::SetImage(std::int32_t iconResource) {
  image_.Attach(LoadTrayImage(iconResource));
  info_.icon = reinterpret_cast<IconHandle>(image_.Get());
  // An icon the shell never took gets its new image when it is added.
  if (added_) ModifyTrayIcon(info_.window, info_.callbackMessage, info_.iconId, info_.icon, info_.tooltip);
}
