#pragma once
// CAppPropertySheet: the one property sheet class of the program. Kind 0
// carries the action pages ("Action Properties"), kind 1 the global option
// pages ("Global Options"). The sheet, not each page, saves on OK and Apply,
// so that the shown pages are written in a fixed order whatever order the
// user visited them in.
#include "app/win32/PropertyPage.h"

#include <memory>
#include <vector>

#include "actions/ActionCatalog.h"

class CAppPropertySheet final : public win::CDialog {
 public:
  enum Kind : int { kActionPages = 0, kGlobalOptionPages = 1 };

  CAppPropertySheet(HWND parent, int sheetKind, Vesperon::ActionId initialAction = -1);
  ~CAppPropertySheet() override;

  // Runs the sheet modally; returns when it is closed.
  INT_PTR DoModal();

  const int SheetKind;
  const Vesperon::ActionId InitialAction;

 private:
  // The sheet's own window, subclassed: the stored background, and OK and
  // Apply saving the shown pages first.
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool OnButtonClicked(int id) override;
  void AddActionPages();
  void AddGlobalOptionPages();
  // Saves every shown page of the save order; false if one failed (the
  // failure is shown and the sheet stays open).
  bool SaveShownPages();

  static int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM l);
  static LRESULT CALLBACK SheetWndProc(HWND sheet, UINT msg, WPARAM w, LPARAM l);

  HWND parent_;
  WNDPROC sheetProc_ = nullptr;
  // The pages in the order they are added (the order of the tabs).
  std::vector<std::unique_ptr<win::CPropertyPage>> pages_;
  // The pages the sheet saves, in the order it saves them.
  std::vector<win::CPropertyPage*> saveOrder_;
  int startPage_ = 0;
};
