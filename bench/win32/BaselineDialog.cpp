// The least a dialog-based tray program can be: one modal dialog from an
// in-memory template that adds a tray icon and hides itself at start, as
// the program does. Start-up, memory and idle figures of the program are
// set against this one, built with the same compiler and flags, so that
// what Wine itself costs drops out of the comparison.
//
// Built with VESPERON_BENCH_TEMPLATE it is the template baseline instead:
// the program's own main dialog template, manifest and icons (its resource
// script), the common controls that template needs, and still no program
// logic: what any program with this window pays.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <utility>

#ifdef VESPERON_BENCH_TEMPLATE
#include "resource.h"
#endif

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
#ifdef VESPERON_BENCH_TEMPLATE
  data.hIcon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VESPERON),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
#else
  data.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
#endif
  lstrcpynA(data.szTip, "Baseline", sizeof data.szTip);
  Shell_NotifyIconA(operation, &data);
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
#ifdef VESPERON_BENCH_TEMPLATE
      for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        SendMessageA(window, WM_SETICON, which,
                     reinterpret_cast<LPARAM>(LoadImageA(GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(IDI_VESPERON), IMAGE_ICON,
                                                         size, size, LR_DEFAULTCOLOR)));
      }
#endif
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
#ifdef VESPERON_BENCH_TEMPLATE
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                     ICC_USEREX_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_VESPERON_DIALOG), nullptr,
                                          DialogProc, 0));
#else
  static Template dialog{};
  dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER;
  dialog.header.cx = 200;
  dialog.header.cy = 100;
  return static_cast<int>(DialogBoxIndirectParamA(instance, &dialog.header, nullptr, DialogProc, 0));
#endif
}
