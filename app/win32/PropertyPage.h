#pragma once
// A page of a property sheet, from a dialog template. Like CModalDialog the
// page handles its messages in OnMessage, a plain switch. It is created by
// the sheet when it is first brought to the front; OnInitPage fills the
// controls from the stored settings and PageShown is set once that has run,
// so that the sheet saves only pages the user has seen.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <initializer_list>
#include <string>

#include "app/win32/Controls.h"
#include "model/Exception.h"

namespace win {

// The stored dialog background (colour or tiled image) for painting into
// `dc` for the window `painted`, lined up with the whole sheet; 0 when the
// system's background stays.
HBRUSH BackgroundBrush(HDC dc, HWND painted);
// Fills the window's client area with that background; false when the
// system's background stays.
bool PaintBackground(HDC dc, HWND window);
// The answer to a control-colour message of `dialog` for `control`.
HBRUSH ControlBackground(HDC dc, HWND control, HWND dialog);

class CPropertyPage {
 public:
  CPropertyPage(int templateId, const char* title) : templateId_(templateId), title_(title) {}
  virtual ~CPropertyPage() = default;
  CPropertyPage(const CPropertyPage&) = delete;
  CPropertyPage& operator=(const CPropertyPage&) = delete;

  // The page record the sheet is built from.
  HPROPSHEETPAGE CreatePage();

  HWND Handle() const { return h_; }
  HWND Item(int id) const { return GetDlgItem(h_, id); }
  int TemplateId() const { return templateId_; }
  const std::string& Title() const { return title_; }

  // Set at the end of the page's initialisation.
  bool PageShown = false;

  // Writes the page's values; "" is the active profile's section. Called by
  // the sheet on OK and Apply, only for pages with PageShown. Store failures
  // leave it as exceptions; the sheet reports them.
  virtual void SavePage(const std::string& section) { (void)section; }

  // Runs the checks a field makes when it loses the focus, for OK pressed
  // while the focus is still in it (Enter); false, after telling the user,
  // keeps the sheet open.
  virtual bool CheckPage() { return true; }

  // Tells the sheet the page has (or no longer has) unsaved changes.
  void SetModified(bool modified = true) const;

 protected:
  // Fills the controls; may throw (the failure is shown, the page stays
  // open without PageShown).
  virtual void OnInitPage() {}
  // Returns true for a message it handled; `result` is then the message's
  // return value (DWLP_MSGRESULT for notifications).
  virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
    (void)msg, (void)w, (void)l, (void)result;
    return false;
  }
  // Runs a handler that may throw and shows the failure the way the
  // program's windows report store failures; false if it failed.
  template <typename Handler>
  bool Guarded(Handler&& handler);
  void ShowFailure(const Vesperon::Exception& failure) const;
  // Free-text fields the page stores: made Unicode windows at initialisation
  // so that what the user types reaches the check, and checked before
  // anything is stored; false, after telling the user, when one holds text
  // the system cannot store.
  void MakeStorableFields(std::initializer_list<int> ids) const;
  bool FieldsStorable(std::initializer_list<int> ids) const;

  HWND h_ = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l);

  int templateId_;
  std::string title_;
};

template <typename Handler>
bool CPropertyPage::Guarded(Handler&& handler) {
  try {
    handler();
    return true;
  } catch (const Vesperon::Exception& failure) {
    ShowFailure(failure);
    return false;
  }
}
}  // namespace win
