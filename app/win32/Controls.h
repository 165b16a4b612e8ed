#pragma once
// Thin wrappers over the Win32 controls of the program's dialogs: one small
// class per control kind, holding only the window handle, so that the dialog
// code reads as what it does to each control instead of as raw messages.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "app/DisplayScale.h"
#include "platform/win32/Handle.h"

namespace win {

class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND h) : h_(h) {}
  void Attach(HWND h) { h_ = h; }
  HWND Handle() const { return h_; }
  operator HWND() const { return h_; }

  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return SendMessageA(h_, msg, w, l); }
  void Show(bool show) const { ShowWindow(h_, show ? SW_SHOW : SW_HIDE); }
  void Enable(bool enable) const { EnableWindow(h_, enable ? TRUE : FALSE); }
  bool IsVisible() const { return IsWindowVisible(h_) != FALSE; }
  void SetText(const std::string& text) const { SetWindowTextA(h_, text.c_str()); }
  std::string GetText() const {
    const int n = GetWindowTextLengthA(h_);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(h_, text.data(), n + 1)));
    return text;
  }
  // The text as the control holds it, before any conversion to the code
  // page: only a control created as a Unicode window holds characters
  // outside it (see MakeUnicodeControl).
  std::u16string GetUnicodeText() const {
    const int n = GetWindowTextLengthW(h_);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(h_, text.data(), n + 1)));
    return std::u16string(text.begin(), text.end());
  }

 protected:
  HWND h_ = nullptr;
};

class CButton : public CWindow {
 public:
  using CWindow::CWindow;
  void SetCheck(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
  bool IsChecked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
};

class CComboBox : public CWindow {
 public:
  using CWindow::CWindow;
  void ResetContent() const { Send(CB_RESETCONTENT); }
  int AddString(const char* text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  void SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
  int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
};

// The image combo box (ComboBoxEx32).
class CComboBoxEx : public CComboBox {
 public:
  using CComboBox::CComboBox;
  void SetImageList(HIMAGELIST list) const {
    Send(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
  }
  void InsertItem(int index, const char* text, int image, LPARAM data) const {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.iImage = item.iSelectedImage = image;
    item.lParam = data;
    Send(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  LPARAM GetItemData(int index) const {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (!Send(CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.lParam;
  }
};

class CDateTimePicker : public CWindow {
 public:
  using CWindow::CWindow;
  bool GetTime(SYSTEMTIME& time) const {
    return Send(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID;
  }
  void SetTime(const SYSTEMTIME& time) const {
    Send(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  }
  // nullptr: the locale's format of the picker's style.
  void SetFormat(const char* format) const {
    Send(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format));
  }
};

class CProgressBar : public CWindow {
 public:
  using CWindow::CWindow;
  void SetRange32(int low, int high) const { Send(PBM_SETRANGE32, low, high); }
  void SetPos(int position) const { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }
};

class CStatusBar : public CWindow {
 public:
  bool Create(HWND parent, UINT id, const char* text) {
    h_ = CreateWindowExA(0, STATUSCLASSNAMEA, text, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
    return h_ != nullptr;
  }
  void SetMinHeight(int height) const { Send(SB_SETMINHEIGHT, static_cast<WPARAM>(height)); }
  void SetPartText(int part, const std::string& text) const {
    Send(SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
  }
};

// The screen's dots per inch as the window's display context reports them;
// 0 when it cannot tell.
inline int ScreenDpi(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return 0;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return dpi;
}

// Appends a report-view column whose width is given for 96 DPI: the fonts
// grow with the screen's DPI, and so must the column that holds their text.
inline void InsertListColumn(HWND list, int index, const char* heading, int widthAt96Dpi) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<char*>(heading);
  column.cx = Vesperon::ScaleToDpi(widthAt96Dpi, ScreenDpi(list));
  column.iSubItem = index;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

// Widens a list column, never narrows it, so that `text` fits a cell with
// the list's own margins: texts in the user's own formats can be longer
// than the width the column was laid out for.
inline void WidenColumnToFit(HWND list, int index, const char* text) {
  constexpr int kCellMarginsAt96Dpi = 12;
  const int needed =
      static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text))) +
      Vesperon::ScaleToDpi(kCellMarginsAt96Dpi, ScreenDpi(list));
  if (needed > SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0)) {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(needed, 0));
  }
}

// The size the system wants small icons in (16 x 16 at 96 DPI, more above):
// the icon resources carry several sizes, and the one that fits is taken
// instead of a 16-pixel image stretched.
inline SIZE SmallIconSize() { return SIZE{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}; }

// An image list of small icons from the program's resources.
class CImageList {
 public:
  bool Create(int initial, int grow) {
    size_ = SmallIconSize();
    list_.Attach(ImageList_Create(size_.cx, size_.cy, ILC_COLOR32 | ILC_MASK, initial, grow));
    return list_.IsValid();
  }
  void AddIconResource(int resourceId) const {
    const CIcon icon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                                                   IMAGE_ICON, size_.cx, size_.cy, LR_DEFAULTCOLOR)));
    ImageList_AddIcon(list_, icon);
  }
  HIMAGELIST Handle() const { return list_; }
  SIZE ImageSize() const { return size_; }

 private:
  CImageListHandle list_;
  SIZE size_{16, 16};
};

// A window property a modal window may carry: the command (IDOK) that
// closes it when the program ends under it; without it, IDCANCEL does.
inline constexpr char kCloseOnExitProperty[] = "Vesperon.CloseOnExit";

// A control of an ANSI dialog gets typed characters already converted to the
// code page, unknown ones as "?". Where the program must tell such text
// apart, it replaces the template's edit (or combo box with an edit) by the
// same control created as a Unicode window: same place, style, font and tab
// position; the dialog's own narrow calls keep working on it. Call before
// the control holds anything. Returns the new control.
inline HWND MakeUnicodeControl(HWND dialog, int id, const wchar_t* className) {
  HWND old = GetDlgItem(dialog, id);
  if (!old) return old;
  RECT box{};
  GetWindowRect(old, &box);
  // A combo box's window is as high as its closed field; the list it drops
  // down belongs to its height as the template gives it.
  RECT dropped{};
  if (SendMessageA(old, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) &&
      dropped.bottom > box.bottom)
    box.bottom = dropped.bottom;
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
  const auto font = SendMessageA(old, WM_GETFONT, 0, 0);
  HWND control = CreateWindowExW(exStyle, className, L"", style, box.left, box.top, box.right - box.left,
                                 box.bottom - box.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (!control) return old;
  SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  SetWindowPos(control, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(old);
  return control;
}

}  // namespace win
