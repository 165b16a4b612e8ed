#include "app/win32/PropertyPage.h"

#include "app/MainWindowRules.h"
#include "settings/Appearance.h"
#include "settings/StorableText.h"

namespace win {

HBRUSH BackgroundBrush(HDC dc, HWND painted) {
  platform::BrushHandle brush = 0;
  try {
    Vesperon::GetBackgroundBrush(
        static_cast<platform::DeviceContext>(reinterpret_cast<std::uintptr_t>(dc)), brush);
  } catch (const Vesperon::Exception&) {
    // An unreadable background image: the system's background, rather
    // than a message box at every repaint.
    return nullptr;
  }
  if (brush == 0) return nullptr;
  // Every window paints the one pattern of the whole sheet: its tiles run
  // on from the sheet's corner across pages and controls.
  POINT corner{0, 0};
  MapWindowPoints(painted, GetAncestor(painted, GA_ROOT), &corner, 1);
  SetBrushOrgEx(dc, -corner.x, -corner.y, nullptr);
  return reinterpret_cast<HBRUSH>(brush);
}

bool PaintBackground(HDC dc, HWND window) {
  HBRUSH brush = BackgroundBrush(dc, window);
  if (!brush) return false;
  RECT area{};
  GetClientRect(window, &area);
  FillRect(dc, &area, brush);
  return true;
}

HBRUSH ControlBackground(HDC dc, HWND control, HWND dialog) {
  // Edit fields, disabled or read-only ones too, keep their own plain
  // background: text on a picture would not stay readable.
  char name[16] = {};
  if (control && control != dialog) {
    GetClassNameA(control, name, sizeof name);
    if (lstrcmpiA(name, "Edit") == 0) return nullptr;
  }
  return BackgroundBrush(dc, control ? control : dialog);
}

HPROPSHEETPAGE CPropertyPage::CreatePage() {
  PROPSHEETPAGEA page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_USETITLE;
  page.hInstance = GetModuleHandleA(nullptr);
  page.pszTemplate = MAKEINTRESOURCEA(templateId_);
  page.pszTitle = title_.c_str();
  page.pfnDlgProc = &CPropertyPage::DialogProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return CreatePropertySheetPageA(&page);
}

void CPropertyPage::SetModified(bool modified) const {
  if (!h_) return;
  SendMessageA(GetParent(h_), modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(h_), 0);
}

void CPropertyPage::ShowFailure(const Vesperon::Exception& failure) const {
  MessageBoxA(h_, Vesperon::FailureText(failure).c_str(), Vesperon::FailureCaption(failure),
              MB_OK | MB_ICONERROR);
}

INT_PTR CALLBACK CPropertyPage::DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  CPropertyPage* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEA*>(l)->lParam);
    self->h_ = h;
    SetWindowLongPtrA(h, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    if (self->Guarded([&] { self->OnInitPage(); })) self->PageShown = true;
    return TRUE;
  }
  self = reinterpret_cast<CPropertyPage*>(GetWindowLongPtrA(h, DWLP_USER));
  if (!self) return FALSE;

  INT_PTR result = 0;
  bool handled = false;
  // No exception may cross the dialog manager: a handler's failure is shown
  // where it happened.
  self->Guarded([&] { handled = self->OnMessage(msg, w, l, result); });
  if (handled) {
    if (msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) return result;
    SetWindowLongPtrA(h, DWLP_MSGRESULT, result);
    return TRUE;
  }
  switch (msg) {
    case WM_NOTIFY:
      // The sheet has saved the shown pages already (in its own order).
      if (reinterpret_cast<const NMHDR*>(l)->code == PSN_APPLY) {
        SetWindowLongPtrA(h, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(
          ControlBackground(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), h));
    case WM_ERASEBKGND:
      if (!PaintBackground(reinterpret_cast<HDC>(w), h)) return FALSE;
      SetWindowLongPtrA(h, DWLP_MSGRESULT, TRUE);
      return TRUE;
    default:
      return FALSE;
  }
}

void CPropertyPage::MakeStorableFields(std::initializer_list<int> ids) const {
  for (const int id : ids) MakeUnicodeControl(h_, id, L"EDIT");
}

bool CPropertyPage::FieldsStorable(std::initializer_list<int> ids) const {
  for (const int id : ids) {
    const CWindow field(Item(id));
    if (Vesperon::StorableText(field.GetUnicodeText())) continue;
    MessageBoxA(h_, Vesperon::kUnstorableTextText, "Vesperon", MB_OK | MB_ICONEXCLAMATION);
    if (field.IsVisible()) SetFocus(field);
    return false;
  }
  return true;
}

}  // namespace win
