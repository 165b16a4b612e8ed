#include "app/win32/AppPropertySheet.h"

#include "actions/win32/ActionPropPages.h"
#include "settings/Appearance.h"
#include "settings/win32/GlobalOptionsPage1.h"
#include "settings/win32/GlobalOptionsPage3.h"
#include "settings/win32/GlobalOptionsPage4.h"
#include "shell/win32/GlobalOptionsPage2.h"
#include "model/OsVersion.h"

namespace {

// The sheet being created: the sheet callback has no parameter of its own.
CAppPropertySheet* g_creating = nullptr;

constexpr WPARAM kApplyNow = 0x3021;  // ID_APPLY_NOW of the sheet's Apply button

}  // namespace

CAppPropertySheet::CAppPropertySheet(HWND parent, int sheetKind, Vesperon::ActionId initialAction)
    : SheetKind(sheetKind), InitialAction(initialAction), parent_(parent) {
  if (SheetKind == kActionPages)
    AddActionPages();
  else
    AddGlobalOptionPages();
}

CAppPropertySheet::~CAppPropertySheet() = default;

void CAppPropertySheet::AddActionPages() {
  using Vesperon::IsActionAvailable;
  auto add = [&](std::unique_ptr<win::CPropertyPage> page, std::initializer_list<int> firstFor) {
    for (int id : firstFor)
      if (id == InitialAction) startPage_ = static_cast<int>(pages_.size());
    pages_.push_back(std::move(page));
    return pages_.back().get();
  };
  win::CPropertyPage *shutdown = nullptr, *hibernate = nullptr, *reminder = nullptr,
                     *disconnect = nullptr, *kill = nullptr, *wake = nullptr;
  if (IsActionAvailable(0) || IsActionAvailable(1) || IsActionAvailable(2))
    shutdown = add(std::make_unique<CActionPropPage2>(), {0, 1, 2});
  if (IsActionAvailable(3) || IsActionAvailable(6))
    hibernate = add(std::make_unique<CActionPropPage3>(), {3, 6});
  if (IsActionAvailable(4)) reminder = add(std::make_unique<CActionPropPage1>(), {4});
  if (IsActionAvailable(5)) disconnect = add(std::make_unique<CActionPropPage4>(), {5});
  if (IsActionAvailable(13)) kill = add(std::make_unique<CActionPropPage6>(), {13});
  if (IsActionAvailable(14)) wake = add(std::make_unique<CActionPropPage5>(), {14});
  for (win::CPropertyPage* page : {reminder, shutdown, hibernate, disconnect, wake, kill})
    if (page) saveOrder_.push_back(page);
}

void CAppPropertySheet::AddGlobalOptionPages() {
  pages_.push_back(std::make_unique<CGlobalOptionsPage1>());
  win::CPropertyPage* startup = pages_.back().get();
  pages_.push_back(std::make_unique<CGlobalOptionsPage2>());
  pages_.push_back(std::make_unique<CGlobalOptionsPage3>());
  win::CPropertyPage* appearance = pages_.back().get();
  pages_.push_back(std::make_unique<CGlobalOptionsPage4>());
  // Shortcuts and Profiles write at once, button by button.
  saveOrder_ = {startup, appearance};
}

INT_PTR CAppPropertySheet::DoModal() {
  std::vector<HPROPSHEETPAGE> handles;
  for (auto& page : pages_) handles.push_back(page->CreatePage());

  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_USECALLBACK | PSH_NOCONTEXTHELP;
  header.hwndParent = parent_;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = SheetKind == kActionPages ? "Action Properties" : "Global Options";
  header.nPages = static_cast<UINT>(handles.size());
  header.nStartPage = static_cast<UINT>(startPage_);
  header.phpage = handles.data();
  header.pfnCallback = &CAppPropertySheet::SheetCallback;

  g_creating = this;
  const INT_PTR result = PropertySheetA(&header);
  g_creating = nullptr;
  h_ = nullptr;
  return result;
}

bool CAppPropertySheet::SaveShownPages() {
  for (win::CPropertyPage* page : saveOrder_) {
    if (page->PageShown && !page->CheckPage()) return false;
  }
  for (win::CPropertyPage* page : saveOrder_) {
    if (!page->PageShown) continue;
    if (!Guarded([&] { page->OnApply(""); })) return false;
    page->SetModified(false);
  }
  return true;
}

int CALLBACK CAppPropertySheet::SheetCallback(HWND sheet, UINT msg, LPARAM) {
  if (msg != PSCB_INITIALIZED || !g_creating) return 0;
  CAppPropertySheet* self = g_creating;
  self->h_ = sheet;
  SetPropA(sheet, "Vesperon.Sheet", self);
  self->sheetProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CAppPropertySheet::SheetWndProc)));
  if (Vesperon::IsOsVersionAtLeast(0, 120)) {
    self->Guarded([&] { Vesperon::ApplyStoredTranslucency(reinterpret_cast<platform::WindowHandle>(sheet)); });
  }
  return 0;
}

LRESULT CALLBACK CAppPropertySheet::SheetWndProc(HWND sheet, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<CAppPropertySheet*>(GetPropA(sheet, "Vesperon.Sheet"));
  if (!self) return DefWindowProcA(sheet, msg, w, l);
  const WNDPROC base = self->sheetProc_;
  if (msg == WM_NCDESTROY) {
    RemovePropA(sheet, "Vesperon.Sheet");
    SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
  } else if (INT_PTR result = 0; self->Answer(msg, w, l, result)) {
    return result;
  }
  return CallWindowProcA(base, sheet, msg, w, l);
}

bool CAppPropertySheet::OnButtonClicked(int id) {
  // Saved before the sheet asks the pages to apply: a failed save keeps
  // the sheet open with the user's input (the click goes no further).
  if (id == IDOK || id == kApplyNow) return !SaveShownPages();
  return false;
}

bool CAppPropertySheet::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      result = TRUE;
      return win::PaintBackground(reinterpret_cast<HDC>(w), h_);
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = reinterpret_cast<INT_PTR>(
          win::ControlBackground(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), h_));
      return result != 0;
    case WM_COMMAND:
      return CDialog::OnMessage(msg, w, l, result);
    default:
      return false;
  }
}
