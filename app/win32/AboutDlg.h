#pragma once
// The About box, opened from the Help menu: OK closes it, "System Info..."
// starts the system's information program where there is one.
#include "app/win32/Controls.h"

class CAboutDlg final : public win::CModalDialog {
 public:
  INT_PTR DoModal(HWND parent);

 protected:
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
};
