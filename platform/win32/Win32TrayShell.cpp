// Shell_NotifyIconA with the record the tray code filled. The record's size
// names one of the published layouts by its 32-bit size; this process passes
// the size of that layout in its own structure, which differs on 64-bit.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "platform/TrayShell.h"

namespace platform {
namespace {

DWORD NativeSize(std::uint32_t size) {
  switch (size) {
    case kRecordSizeOldShell:
      return NOTIFYICONDATAA_V1_SIZE;
    case kRecordSizeNewShell:
      return NOTIFYICONDATAA_V2_SIZE;
    default:
      return NOTIFYICONDATAA_V3_SIZE;
  }
}

class Win32TrayShell final : public ITrayShell {
 public:
  bool NotifyIcon(TrayShellMessage message, const NotifyIconRecord& record) override {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NativeSize(record.size);
    data.hWnd = reinterpret_cast<HWND>(record.window);
    data.uID = record.id;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.icon);
    lstrcpynA(data.szTip, record.tip, sizeof data.szTip);
    data.dwState = record.state;
    data.dwStateMask = record.stateMask;
    lstrcpynA(data.szInfo, record.info, sizeof data.szInfo);
    data.uTimeout = record.timeoutOrVersion;
    lstrcpynA(data.szInfoTitle, record.infoTitle, sizeof data.szInfoTitle);
    data.dwInfoFlags = record.infoFlags;
    return Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
  }

  IconHandle LoadSmallIcon(std::int32_t resourceId) override {
    // The size the system shows small icons in: the resources carry 16, 20,
    // 24 and 32 pixel images, so the tray gets a sharp one at any DPI.
    return reinterpret_cast<IconHandle>(LoadImageA(GetModuleHandleA(nullptr),
                                                   MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  }
};

}  // namespace

ITrayShell& DefaultTrayShell() {
  static Win32TrayShell shell;
  return shell;
}
}  // namespace platform
