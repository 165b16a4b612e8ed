#pragma once
// The About box, opened from the Help menu: OK closes it, "System Info..."
// starts the system's information program where there is one.
#include "app/win32/Dialog.h"

class CAboutDlg final : public win::CModalDialog {
 public:
  INT_PTR DoModal(HWND parent);

 protected:
  bool OnButtonClicked(int id) override;
};
