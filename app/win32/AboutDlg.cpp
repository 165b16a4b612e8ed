#include "app/win32/AboutDlg.h"

#include <shellapi.h>

#include "app/MainWindowRules.h"
#include "resources/resource.h"

INT_PTR CAboutDlg::DoModal(HWND parent) { return CModalDialog::DoModal(IDD_ABOUTBOX, parent); }

bool CAboutDlg::OnMessage(UINT msg, WPARAM w, LPARAM, INT_PTR& result) {
  if (msg == WM_INITDIALOG) {
    result = TRUE;
    return true;
  }
  if (msg != WM_COMMAND) return false;
  switch (LOWORD(w)) {
    case IDC_SYSTEM_INFO: {
      const char* program = Vesperon::SystemInfoProgram();
      if (*program) ShellExecuteA(h_, nullptr, program, nullptr, nullptr, SW_SHOWNORMAL);
      End(IDOK);
      return true;
    }
    case IDOK:
    case IDCANCEL:
      End(LOWORD(w));
      return true;
    default:
      return false;
  }
}
