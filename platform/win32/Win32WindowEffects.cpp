// The real window, drawing and common-dialog calls of the appearance effects.
#include <windows.h>
#include <commdlg.h>

#include "platform/WindowEffects.h"
#include "platform/win32/CommonDialogs.h"

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
HDC ToHdc(DeviceContext dc) { return reinterpret_cast<HDC>(dc); }

// The filter as the dialog wants it: display text and pattern, each ended by
// a zero, and one more zero after the last pair.
std::string JoinFilter(const std::vector<std::pair<std::string, std::string>>& filter) {
  std::string joined;
  for (const auto& [display, pattern] : filter) {
    joined += display;
    joined += '\0';
    joined += pattern;
    joined += '\0';
  }
  joined += '\0';
  return joined;
}

class Win32WindowEffects final : public IWindowEffects {
 public:
  std::uint32_t GetExStyle(WindowHandle window) override {
    return static_cast<std::uint32_t>(::GetWindowLongA(ToHwnd(window), GWL_EXSTYLE));
  }
  void SetExStyle(WindowHandle window, std::uint32_t exStyle) override {
    ::SetWindowLongA(ToHwnd(window), GWL_EXSTYLE, static_cast<LONG>(exStyle));
  }
  bool ShowWindow(WindowHandle window, bool show) override {
    return ::ShowWindow(ToHwnd(window), show ? SW_SHOW : SW_HIDE) != FALSE;
  }
  bool AnimateWindow(WindowHandle window, std::uint32_t milliseconds,
                     std::uint32_t flags) override {
    return ::AnimateWindow(ToHwnd(window), milliseconds, flags) != FALSE;
  }
  bool RedrawWindow(WindowHandle window, std::uint32_t flags) override {
    return ::RedrawWindow(ToHwnd(window), nullptr, nullptr, flags) != FALSE;
  }
  bool InvalidateRect(WindowHandle window, bool erase) override {
    return ::InvalidateRect(ToHwnd(window), nullptr, erase ? TRUE : FALSE) != FALSE;
  }
  void SetBackgroundColour(DeviceContext dc, std::uint32_t colour) override {
    ::SetBkColor(ToHdc(dc), colour);
  }
  void SetTransparentBackground(DeviceContext dc) override { ::SetBkMode(ToHdc(dc), TRANSPARENT); }
  BrushHandle CreateSolidBrush(std::uint32_t colour) override {
    return reinterpret_cast<BrushHandle>(::CreateSolidBrush(colour));
  }
  BitmapHandle LoadBitmapFile(const std::string& path, std::uint32_t flags) override {
    return reinterpret_cast<BitmapHandle>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags));
  }
  BrushHandle CreatePatternBrush(BitmapHandle bitmap) override {
    return reinterpret_cast<BrushHandle>(::CreatePatternBrush(reinterpret_cast<HBITMAP>(bitmap)));
  }
  bool DeleteObject(std::uintptr_t object) override {
    return ::DeleteObject(reinterpret_cast<HGDIOBJ>(object)) != FALSE;
  }

  bool GetFileName(bool open, FileDialogRequest& request) override {
    if (request.file.empty()) return false;
    const std::string filter = JoinFilter(request.filter);
    OPENFILENAMEA record{};
    // The older layout is the same record without its last three fields;
    // its size is that of this build (32 or 64 bits), not a fixed number.
    record.lStructSize = request.record == FileDialogRecord::kExtended
                             ? sizeof(OPENFILENAMEA)
                             : OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = ToHwnd(request.owner);
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = request.filterIndex;
    record.lpstrFile = request.file.data();
    record.nMaxFile = static_cast<DWORD>(request.file.size());
    record.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    record.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    record.Flags = request.flags;
    const BOOL chosen = ChooseFileName(open, record);
    return chosen != FALSE;
  }
};

}  // namespace

IWindowEffects& DefaultWindowEffects() {
  static Win32WindowEffects effects;
  return effects;
}

}  // namespace platform
