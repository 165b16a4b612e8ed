// The least a dialog-based tray program can be: one modal dialog from an
// in-memory template that adds a tray icon and hides itself at start, as
// the program does. Start-up, memory and idle figures of the program are
// set against this one, built with the same compiler and flags, so that
// what Wine itself costs drops out of the comparison.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayId = 104;          // the program's icon id, so one probe finds both
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr WORD kExitCommand = 169;     // the program's tray "Exit"
constexpr UINT_PTR kHideTimer = 4;

void TrayIcon(HWND window, DWORD operation) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kTrayId;
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  lstrcpynA(data.szTip, "Baseline", sizeof data.szTip);
  Shell_NotifyIconA(operation, &data);
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      TrayIcon(window, NIM_ADD);
      SetTimer(window, kHideTimer, 0, nullptr);
      return TRUE;
    case WM_TIMER:
      if (w == kHideTimer) {
        KillTimer(window, kHideTimer);
        ShowWindow(window, SW_HIDE);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == kExitCommand || LOWORD(w) == IDCANCEL) {
        TrayIcon(window, NIM_DELETE);
        EndDialog(window, 0);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

// DLGTEMPLATE followed by the empty menu and class arrays, the title and
// nothing else: a dialog without controls. The template must start on a
// DWORD boundary.
struct alignas(4) Template {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD windowClass = 0;
  wchar_t title[9] = L"Baseline";
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static Template dialog{};
  dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER;
  dialog.header.cx = 200;
  dialog.header.cy = 100;
  return static_cast<int>(DialogBoxIndirectParamA(instance, &dialog.header, nullptr, DialogProc, 0));
}
