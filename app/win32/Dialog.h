#pragma once
// The base of every window of the program built from a dialog template (the
// modal dialogs, the property pages) and of the property sheet. One
// procedure answers their messages: it hands them to OnMessage, whose
// default sends the common ones to typed handlers, and it catches every
// failure a handler lets out and shows it in the one failure box, so that
// no exception crosses the dialog manager and no window writes a guard.
#include <windows.h>

#include "model/Exception.h"

namespace win {

// The program's failure box: the caption names the kind of failure, the
// text carries its numbers.
void ShowFailure(HWND owner, const Vesperon::Exception& failure);

class CDialog {
 public:
  CDialog() = default;
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  HWND Handle() const { return h_; }
  HWND Item(int id) const { return GetDlgItem(h_, id); }
  void ShowFailure(const Vesperon::Exception& failure) const { win::ShowFailure(h_, failure); }

 protected:
  // Answers a message; true when it did, `result` then being the message's
  // return value. The default sends WM_INITDIALOG, WM_COMMAND and WM_NOTIFY
  // to the handlers below; an override calls it for what it leaves alone.
  virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result);
  // Fills the controls; true lets the dialog manager give the focus to the
  // first control, false when the handler has placed it.
  virtual bool OnInit() { return true; }
  // A command from control (or menu item) `id` with notification `code`;
  // the default sends clicks to OnButtonClicked. True when handled.
  virtual bool OnCommand(int id, int code);
  // A click on a button (or a static with SS_NOTIFY, or a menu item: their
  // notification code is the same). The default sends IDOK and IDCANCEL
  // to OnOk and OnCancel.
  virtual bool OnButtonClicked(int id);
  virtual bool OnOk() { return false; }
  virtual bool OnCancel() { return false; }
  // A notification from a common control; `result` is its answer.
  virtual bool OnNotify(const NMHDR& header, INT_PTR& result) {
    (void)header, (void)result;
    return false;
  }

  // Runs a step after whose failure the window goes on: the failure is shown
  // and false returned.
  template <typename Handler>
  bool Guarded(Handler&& handler);

  // OnMessage with every failure caught and shown; false for a message that
  // failed. For the procedures of the derived windows.
  bool Answer(UINT msg, WPARAM w, LPARAM l, INT_PTR& result);

  // The procedure of a dialog whose WM_INITDIALOG parameter leads to its
  // CDialog: `FromInit` finds it there.
  template <CDialog* (*FromInit)(LPARAM)>
  static INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l);

  HWND h_ = nullptr;

 private:
  static INT_PTR Procedure(CDialog* self, HWND h, UINT msg, WPARAM w, LPARAM l);
};

template <typename Handler>
bool CDialog::Guarded(Handler&& handler) {
  try {
    handler();
    return true;
  } catch (const Vesperon::Exception& failure) {
    ShowFailure(failure);
  } catch (...) {
    ShowFailure(Vesperon::ImpossibleStateException());
  }
  return false;
}

template <CDialog* (*FromInit)(LPARAM)>
INT_PTR CALLBACK CDialog::DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = FromInit(l);
    self->h_ = h;
    SetWindowLongPtrA(h, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(h, DWLP_USER));
  }
  return self ? Procedure(self, h, msg, w, l) : FALSE;
}

// A modal dialog from a resource template.
class CModalDialog : public CDialog {
 public:
  INT_PTR DoModal(int templateId, HWND parent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent,
                           &DialogProc<&Self>, reinterpret_cast<LPARAM>(this));
  }
  // The same dialog as a Unicode window, so its edits hold whatever the user
  // types; the narrow calls the dialog makes are converted as usual.
  INT_PTR DoModalUnicode(int templateId, HWND parent) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                           &DialogProc<&Self>, reinterpret_cast<LPARAM>(this));
  }
  void End(INT_PTR result) const { EndDialog(h_, result); }

 protected:
  bool OnOk() override {
    End(IDOK);
    return true;
  }
  bool OnCancel() override {
    End(IDCANCEL);
    return true;
  }

 private:
  static CDialog* Self(LPARAM l) { return reinterpret_cast<CModalDialog*>(l); }
};

}  // namespace win
