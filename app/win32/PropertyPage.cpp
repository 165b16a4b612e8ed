#include "app/win32/PropertyPage.h"

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

CDialog* CPropertyPage::FromInit(LPARAM l) {
  return reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEA*>(l)->lParam);
}

HPROPSHEETPAGE CPropertyPage::CreatePage() {
  PROPSHEETPAGEA page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_USETITLE;
  page.hInstance = GetModuleHandleA(nullptr);
  page.pszTemplate = MAKEINTRESOURCEA(templateId_);
  page.pszTitle = title_.c_str();
  page.pfnDlgProc = &DialogProc<&FromInit>;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return CreatePropertySheetPageA(&page);
}

void CPropertyPage::SetModified(bool modified) const {
  if (!h_) return;
  SendMessageA(GetParent(h_), modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(h_), 0);
}

bool CPropertyPage::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  if (CDialog::OnMessage(msg, w, l, result)) {
    if (msg == WM_INITDIALOG) PageShown = true;
    return true;
  }
  switch (msg) {
    case WM_NOTIFY:
      // The sheet has saved the shown pages already (in its own order).
      if (reinterpret_cast<const NMHDR*>(l)->code != PSN_APPLY) return false;
      result = PSNRET_NOERROR;
      return true;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = reinterpret_cast<INT_PTR>(
          ControlBackground(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), h_));
      return true;
    case WM_ERASEBKGND:
      if (!PaintBackground(reinterpret_cast<HDC>(w), h_)) return false;
      result = TRUE;
      return true;
    default:
      return false;
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
