#include "app/win32/Dialog.h"

#include <commctrl.h>

#include "app/MainWindowRules.h"

namespace win {

namespace {

// The messages whose answer is the procedure's return value itself rather
// than DWLP_MSGRESULT (of those the program's windows answer).
bool AnswersDirectly(UINT msg) {
  return msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

}  // namespace

void ShowFailure(HWND owner, const Vesperon::Exception& failure) {
  MessageBoxA(owner, Vesperon::FailureText(failure).c_str(), Vesperon::FailureCaption(failure),
              MB_OK | MB_ICONERROR);
}

bool CDialog::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  switch (msg) {
    case WM_INITDIALOG:
      result = OnInit() ? TRUE : FALSE;
      return true;
    case WM_COMMAND:
      return OnCommand(LOWORD(w), HIWORD(w));
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(l), result);
    default:
      return false;
  }
}

bool CDialog::OnCommand(int id, int code) { return code == BN_CLICKED && OnButtonClicked(id); }

bool CDialog::OnButtonClicked(int id) {
  if (id == IDOK) return OnOk();
  if (id == IDCANCEL) return OnCancel();
  return false;
}

bool CDialog::Answer(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  bool handled = false;
  // No exception may cross the dialog manager: a handler's failure is shown
  // where it happened.
  return Guarded([&] { handled = OnMessage(msg, w, l, result); }) && handled;
}

INT_PTR CDialog::Procedure(CDialog* self, HWND h, UINT msg, WPARAM w, LPARAM l) {
  INT_PTR result = 0;
  if (!self->Answer(msg, w, l, result)) {
    // A failed initialisation leaves the focus to the dialog manager.
    return msg == WM_INITDIALOG ? TRUE : FALSE;
  }
  if (AnswersDirectly(msg)) return result;
  SetWindowLongPtrA(h, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace win
