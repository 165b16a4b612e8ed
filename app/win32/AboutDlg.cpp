#include "app/win32/AboutDlg.h"

#include <shellapi.h>

#include "app/MainWindowRules.h"
#include "resources/resource.h"

INT_PTR CAboutDlg::DoModal(HWND parent) { return CModalDialog::DoModal(IDD_ABOUTBOX, parent); }

bool CAboutDlg::OnButtonClicked(int id) {
  if (id != IDC_SYSTEM_INFO) return CModalDialog::OnButtonClicked(id);
  const char* program = Vesperon::SystemInfoProgram();
  if (*program) ShellExecuteA(h_, nullptr, program, nullptr, nullptr, SW_SHOWNORMAL);
  End(IDOK);
  return true;
}
