#pragma once
// A page of a property sheet, from a dialog template. It is created by the
// sheet when it is first brought to the front; OnInit fills the controls
// from the stored settings and PageShown is set once that has run, so that
// the sheet saves only pages the user has seen.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <initializer_list>
#include <string>

#include "app/win32/Controls.h"
#include "app/win32/Dialog.h"

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

class CPropertyPage : public CDialog {
 public:
  CPropertyPage(int templateId, const char* title) : templateId_(templateId), title_(title) {}

  // The page record the sheet is built from.
  HPROPSHEETPAGE CreatePage();

  int TemplateId() const { return templateId_; }
  const std::string& Title() const { return title_; }

  // Set at the end of the page's initialisation.
  bool PageShown = false;

  // Writes the page's values; "" is the active profile's section. Called by
  // the sheet on OK and Apply, only for pages with PageShown, before the
  // sheet tells the pages to apply. Store failures leave it as exceptions;
  // the sheet reports them.
  virtual void OnApply(const std::string& section) { (void)section; }

  // Runs the checks a field makes when it loses the focus, for OK pressed
  // while the focus is still in it (Enter); false, after telling the user,
  // keeps the sheet open.
  virtual bool CheckPage() { return true; }

  // Tells the sheet the page has (or no longer has) unsaved changes.
  void SetModified(bool modified = true) const;

 protected:
  // Besides the typed handlers: PageShown once OnInit has filled the
  // controls (a failure there leaves the page open without it), the
  // sheet's apply, and the stored background.
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  // Free-text fields the page stores: made Unicode windows at initialisation
  // so that what the user types reaches the check, and checked before
  // anything is stored; false, after telling the user, when one holds text
  // the system cannot store.
  void MakeStorableFields(std::initializer_list<int> ids) const;
  bool FieldsStorable(std::initializer_list<int> ids) const;

 private:
  static CDialog* FromInit(LPARAM l);

  int templateId_;
  std::string title_;
};

}  // namespace win
