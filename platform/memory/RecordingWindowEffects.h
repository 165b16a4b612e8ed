#pragma once
// Window effects for tests: windows with an extended style and a visibility,
// device contexts with a background colour and mode, GDI objects that are
// counted while alive, bitmap files that "exist" when listed, a scripted
// file dialog, and a log of every call in order.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/WindowEffects.h"

namespace platform {

class RecordingWindowEffects final : public IWindowEffects {
 public:
  std::vector<std::string> log;

  std::map<WindowHandle, std::uint32_t> exStyles;
  std::map<WindowHandle, bool> visible;

  struct DcState {
    std::optional<std::uint32_t> colour;
    bool transparent = false;
  };
  std::map<DeviceContext, DcState> dcs;

  // Paths LoadBitmapFile can load.
  std::set<std::string> bitmapFiles;
  bool patternBrushFails = false;
  // Live GDI objects: handle -> description ("solid 0x..", "bitmap PATH",
  // "pattern of N").
  std::map<std::uintptr_t, std::string> objects;
  std::uint32_t loads = 0;

  // The next GetFileName: the path to choose, or nothing for a cancel. The
  // request as the dialog received it is kept.
  std::optional<std::string> choose;
  std::optional<FileDialogRequest> lastRequest;
  bool lastOpen = false;

  std::uint32_t GetExStyle(WindowHandle window) override;
  void SetExStyle(WindowHandle window, std::uint32_t exStyle) override;
  bool ShowWindow(WindowHandle window, bool show) override;
  bool AnimateWindow(WindowHandle window, std::uint32_t milliseconds,
                     std::uint32_t flags) override;
  bool RedrawWindow(WindowHandle window, std::uint32_t flags) override;
  bool InvalidateRect(WindowHandle window, bool erase) override;
  void SetBackgroundColour(DeviceContext dc, std::uint32_t colour) override;
  void SetTransparentBackground(DeviceContext dc) override;
  BrushHandle CreateSolidBrush(std::uint32_t colour) override;
  BitmapHandle LoadBitmapFile(const std::string& path, std::uint32_t flags) override;
  BrushHandle CreatePatternBrush(BitmapHandle bitmap) override;
  bool DeleteObject(std::uintptr_t object) override;
  bool GetFileName(bool open, FileDialogRequest& request) override;

 private:
  std::uintptr_t nextObject_ = 0x100;
};

}  // namespace platform
