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

class CAppPropertySheet {
 public:
  enum Kind : int { kActionPages = 0, kGlobalOptionPages = 1 };

  CAppPropertySheet(HWND parent, int sheetKind, Vesperon::ActionId initialAction = -1);
  ~CAppPropertySheet();
  CAppPropertySheet(const CAppPropertySheet&) = delete;
  CAppPropertySheet& operator=(const CAppPropertySheet&) = delete;

  // Runs the sheet modally; returns when it is closed.
  INT_PTR DoModal();

  const int SheetKind;
  const Vesperon::ActionId InitialAction;

 private:
  void AddActionPages();
  void AddGlobalOptionPages();
  // Saves every shown page of the save order; false if one failed (the
  // failure is shown and the sheet stays open).
  bool SaveShownPages();

  static int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM l);
  static LRESULT CALLBACK SheetWndProc(HWND sheet, UINT msg, WPARAM w, LPARAM l);

  HWND parent_;
  HWND sheet_ = nullptr;
  WNDPROC sheetProc_ = nullptr;
  // The pages in the order they are added (the order of the tabs).
  std::vector<std::unique_ptr<win::CPropertyPage>> pages_;
  // The pages the sheet saves, in the order it saves them.
  std::vector<win::CPropertyPage*> saveOrder_;
  int startPage_ = 0;
};
