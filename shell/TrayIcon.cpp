#include "shell/TrayIcon.h"

#include <cstring>

#include "model/OsVersion.h"

namespace Vesperon {
namespace {

using platform::NotifyIconRecord;

template <std::size_t N>
void CopyBounded(char (&target)[N], const std::string& text) {
  // The callers have checked the length; the cut is only a last guard so the
  // record always ends in a zero.
  const std::size_t n = text.size() < N ? text.size() : N - 1;
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

void CheckLength(const std::string& text, std::size_t longest) {
  if (text.size() > longest) throw SystemException(kTextTooLongCode);
}

NotifyIconRecord IconRecord(const TrayShellLimits& limits, const WindowHandle& window,
                            const std::uint32_t& callbackMessage, const std::uint32_t& iconId,
                            const IconHandle& icon, const std::string& tooltip) {
  CheckLength(tooltip, limits.longestTooltip);
  NotifyIconRecord record;
  record.size = limits.recordSize;
  record.window = window;
  record.id = iconId;
  record.flags = platform::kNotifyFlagMessage | platform::kNotifyFlagIcon | platform::kNotifyFlagTip;
  record.callbackMessage = callbackMessage;
  record.icon = icon;
  CopyBounded(record.tip, tooltip);
  return record;
}

}  // namespace

TrayShellLimits CurrentTrayShellLimits() {
  TrayShellLimits limits;
  if (!IsOsVersionAtLeast(30, 120)) {
    limits.recordSize = platform::kRecordSizeOldShell;
    limits.longestTooltip = 62;
    return limits;
  }
  limits.newShell = true;
  limits.recordSize = IsOsVersionAtLeast(0, 130) ? platform::kRecordSizeWithGuid
                                                 : platform::kRecordSizeNewShell;
  limits.longestTooltip = 126;
  limits.longestBalloonText = 253;
  limits.longestBalloonTitle = 62;
  return limits;
}

TrayImage InitialTrayIconResource() {
  return IsOsVersionAtLeast(30, 130) ? kTrayImageFullColour : kTrayImageSixteenColour;
}

void AddTrayIcon(const WindowHandle& window, const std::uint32_t& callbackMessage,
                 const std::uint32_t& iconId, const IconHandle& icon, const std::string& tooltip) {
  const TrayShellLimits limits = CurrentTrayShellLimits();
  NotifyIconRecord record = IconRecord(limits, window, callbackMessage, iconId, icon, tooltip);
  platform::ITrayShell& shell = platform::TrayShell();
  if (!shell.NotifyIcon(platform::kNotifyAdd, record)) throw TaskbarException(kTaskbarAddRefused);
  if (!limits.newShell) return;
  record.state = 0;
  record.stateMask = 0;
  record.timeoutOrVersion = kTrayIconVersion;
  if (!shell.NotifyIcon(platform::kNotifySetVersion, record)) {
    throw TaskbarException(kTaskbarSetVersionRefused);
  }
}

void ModifyTrayIcon(const WindowHandle& window, const std::uint32_t& callbackMessage,
                    const std::uint32_t& iconId, const IconHandle& icon,
                    const std::string& tooltip) {
  const NotifyIconRecord record =
      IconRecord(CurrentTrayShellLimits(), window, callbackMessage, iconId, icon, tooltip);
  if (!platform::TrayShell().NotifyIcon(platform::kNotifyModify, record)) {
    throw TaskbarException(kTaskbarModifyRefused);
  }
}

void ShowTrayBalloon(const WindowHandle& window, const std::uint32_t& iconId,
                     const std::string& title, const std::string& text,
                     const std::uint32_t& timeoutMs, const std::uint32_t& iconKind) {
  const TrayShellLimits limits = CurrentTrayShellLimits();
  NotifyIconRecord record;
  record.size = limits.recordSize;
  record.window = window;
  record.id = iconId;
  if (limits.newShell) {
    CheckLength(text, limits.longestBalloonText);
    CheckLength(title, limits.longestBalloonTitle);
    CopyBounded(record.info, text);
    CopyBounded(record.infoTitle, title);
    record.timeoutOrVersion = timeoutMs;
    record.infoFlags = iconKind;
  }
  record.flags = platform::kNotifyFlagInfo;
  if (!platform::TrayShell().NotifyIcon(platform::kNotifyModify, record)) {
    throw TaskbarException(kTaskbarModifyRefused);
  }
}

void DeleteTrayIcon(const WindowHandle& window, const std::uint32_t& iconId) {
  NotifyIconRecord record;
  record.size = CurrentTrayShellLimits().recordSize;
  record.window = window;
  record.id = iconId;
  if (!platform::TrayShell().NotifyIcon(platform::kNotifyDelete, record)) {
    throw TaskbarException(kTaskbarDeleteRefused);
  }
}

TrayMenuPoint UnpackTrayMenuPoint(std::intptr_t lParam) {
  // Each half is a signed 16-bit number: monitors left of or above the
  // primary one have negative coordinates.
  const auto bits = static_cast<std::uintptr_t>(lParam);
  return {static_cast<std::int16_t>(bits & 0xFFFFu),
          static_cast<std::int16_t>((bits >> 16) & 0xFFFFu)};
}

}  // namespace Vesperon
