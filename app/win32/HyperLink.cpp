#include "app/win32/HyperLink.h"

#include <commctrl.h>
#include <shellapi.h>

namespace win {
namespace {
constexpr char kSelf[] = "Vesperon.HyperLink";
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
}  // namespace

CHyperLink::~CHyperLink() { Detach(); }

void CHyperLink::Attach(HWND control, const std::string& target, const std::string& tip,
                        COLORREF tipBackground, COLORREF tipText) {
  Detach();
  h_ = control;
  target_ = target;
  if (!h_) return;

  // The dialog's font, underlined.
  LOGFONTA face{};
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(h_, WM_GETFONT, 0, 0));
  GetObjectA(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : GetStockObject(DEFAULT_GUI_FONT), sizeof face,
             &face);
  face.lfUnderline = TRUE;
  font_.Attach(CreateFontIndirectA(&face));

  SetPropA(h_, kSelf, this);
  base_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(h_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHyperLink::WndProc)));

  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(h_), nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  if (tip_) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(h_);
    tool.uId = reinterpret_cast<UINT_PTR>(h_);
    tool.lpszText = const_cast<char*>(tip.c_str());
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip_, TTM_SETTIPBKCOLOR, tipBackground, 0);
    SendMessageA(tip_, TTM_SETTIPTEXTCOLOR, tipText, 0);
  }
}

void CHyperLink::Detach() {
  if (h_ && base_ && IsWindow(h_)) {
    SetWindowLongPtrA(h_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base_));
    RemovePropA(h_, kSelf);
  }
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
  font_.Close();
  h_ = tip_ = nullptr;
  base_ = nullptr;
}

void CHyperLink::Open() const {
  ShellExecuteA(GetParent(h_), "open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CHyperLink::Paint() const {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(h_, &paint);
  RECT area{};
  GetClientRect(h_, &area);
  // The background the dialog gives its statics (its own brush, if any).
  HBRUSH background = reinterpret_cast<HBRUSH>(
      SendMessageA(GetParent(h_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h_)));
  FillRect(dc, &area, background ? background : GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(h_) ? kLinkColour : GetSysColor(COLOR_GRAYTEXT));
  HGDIOBJ previous = SelectObject(dc, font_);
  char text[256] = {};
  GetWindowTextA(h_, text, sizeof text);
  DrawTextA(dc, text, -1, &area, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
  SelectObject(dc, previous);
  EndPaint(h_, &paint);
}

LRESULT CALLBACK CHyperLink::WndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<CHyperLink*>(GetPropA(h, kSelf));
  if (!self) return DefWindowProcA(h, msg, w, l);
  switch (msg) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
      return TRUE;
    case WM_PAINT:
      self->Paint();
      return 0;
    case WM_LBUTTONUP:
      self->Open();
      return 0;
    case WM_NCDESTROY: {
      const WNDPROC base = self->base_;
      RemovePropA(h, kSelf);
      SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
      self->base_ = nullptr;
      self->h_ = nullptr;
      return CallWindowProcA(base, h, msg, w, l);
    }
    default:
      return CallWindowProcA(self->base_, h, msg, w, l);
  }
}

}  // namespace win
