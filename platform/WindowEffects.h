#pragma once
// The window and drawing calls of the appearance effects and the file
// dialog: extended window styles, ShowWindow, AnimateWindow, RedrawWindow,
// the device context's background, brushes from a colour or a bitmap file,
// and the common open/save dialogs. The decisions (which flags, which size
// of dialog record, what is cached) are made in settings/Appearance; this
// layer carries out one call each. The Win32 build's default is the real
// system (platform/win32); the host build's refuses every call
// (platform/host); tests install platform/memory/RecordingWindowEffects.h.
//
// The translucency itself is not here: SetLayeredWindowAttributes is bound
// at run time like the other optional system functions (platform/PowerSystem.h).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include "platform/ServiceSlot.h"

namespace platform {

// HWND, HDC, HBRUSH and HBITMAP as opaque numbers; 0 is "none".
using WindowHandle = std::uintptr_t;
using DeviceContext = std::uintptr_t;
using BrushHandle = std::uintptr_t;
using BitmapHandle = std::uintptr_t;

// Which OPENFILENAMEA layout the dialog record uses: the full one of Windows
// 2000 and later, or the older one without the trailing fields. The layer
// puts the size of that layout for the running build into lStructSize.
enum class FileDialogRecord : std::int32_t { kOld = 0, kExtended = 1 };

// One GetOpenFileNameA or GetSaveFileNameA call.
struct FileDialogRequest {
  FileDialogRecord record = FileDialogRecord::kExtended;
  WindowHandle owner = 0;
  // Pairs of display text and pattern; the layer joins them with zeros.
  std::vector<std::pair<std::string, std::string>> filter;
  std::uint32_t filterIndex = 1;
  // The file-name buffer: the initial path in, the chosen path out. Its size
  // is the buffer's length in characters, as lpstrFile/nMaxFile.
  std::vector<char> file;
  std::string title;
  std::string defaultExtension;
  std::uint32_t flags = 0;
};

class IWindowEffects {
 public:
  virtual ~IWindowEffects() = default;

  // GetWindowLongA / SetWindowLongA with GWL_EXSTYLE.
  virtual std::uint32_t GetExStyle(WindowHandle window) = 0;
  virtual void SetExStyle(WindowHandle window, std::uint32_t exStyle) = 0;
  // ShowWindow with SW_SHOW or SW_HIDE; the window's previous visibility.
  virtual bool ShowWindow(WindowHandle window, bool show) = 0;
  virtual bool AnimateWindow(WindowHandle window, std::uint32_t milliseconds,
                             std::uint32_t flags) = 0;
  // RedrawWindow(window, no rectangle, no region, flags).
  virtual bool RedrawWindow(WindowHandle window, std::uint32_t flags) = 0;
  // InvalidateRect(window, whole client area, erase).
  virtual bool InvalidateRect(WindowHandle window, bool erase) = 0;

  // SetBkColor with a COLORREF (0x00BBGGRR) and SetBkMode(TRANSPARENT).
  virtual void SetBackgroundColour(DeviceContext dc, std::uint32_t colour) = 0;
  virtual void SetTransparentBackground(DeviceContext dc) = 0;
  virtual BrushHandle CreateSolidBrush(std::uint32_t colour) = 0;
  // LoadImageA(no instance, path, IMAGE_BITMAP, 0, 0, flags); 0 on failure.
  virtual BitmapHandle LoadBitmapFile(const std::string& path, std::uint32_t flags) = 0;
  virtual BrushHandle CreatePatternBrush(BitmapHandle bitmap) = 0;
  // DeleteObject of a brush or a bitmap.
  virtual bool DeleteObject(std::uintptr_t object) = 0;

  // GetOpenFileNameA when `open`, else GetSaveFileNameA. True when the user
  // chose a file (its path is then in request.file); false on cancel or error.
  virtual bool GetFileName(bool open, FileDialogRequest& request) = 0;
};

IWindowEffects& DefaultWindowEffects();

using WindowEffectsSlot = ServiceSlot<IWindowEffects, DefaultWindowEffects>;
inline IWindowEffects& WindowEffects() { return WindowEffectsSlot::Get(); }
using ScopedWindowEffects = WindowEffectsSlot::Scoped;

}  // namespace platform
