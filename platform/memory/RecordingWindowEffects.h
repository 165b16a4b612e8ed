#pragma once
// Window effects for tests: windows with an extended style and a visibility,
// GDI objects that are counted while alive, bitmap files that "exist" when
// listed, a scripted file dialog, and a log of every other call in order.
#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "platform/WindowEffects.h"
#include "platform/memory/LogText.h"

namespace platform {

class RecordingWindowEffects final : public IWindowEffects {
 public:
  std::vector<std::string> log;

  std::map<WindowHandle, std::uint32_t> exStyles;
  std::map<WindowHandle, bool> visible;

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

  std::uint32_t GetExStyle(WindowHandle window) override { return exStyles[window]; }
  void SetExStyle(WindowHandle window, std::uint32_t exStyle) override {
    log.push_back("SetExStyle(" + HexText(exStyle) + ")");
    exStyles[window] = exStyle;
  }
  bool ShowWindow(WindowHandle window, bool show) override {
    log.push_back(show ? "ShowWindow(show)" : "ShowWindow(hide)");
    return std::exchange(visible[window], show);
  }
  bool AnimateWindow(WindowHandle window, std::uint32_t milliseconds, std::uint32_t flags) override {
    log.push_back("AnimateWindow(" + std::to_string(milliseconds) + ", " + HexText(flags) + ")");
    visible[window] = (flags & 0x10000) == 0;  // AW_HIDE
    return true;
  }
  bool RedrawWindow(WindowHandle, std::uint32_t flags) override {
    log.push_back("RedrawWindow(" + HexText(flags) + ")");
    return true;
  }
  bool InvalidateRect(WindowHandle, bool erase) override {
    log.push_back(erase ? "InvalidateRect(erase)" : "InvalidateRect(keep)");
    return true;
  }
  void SetBackgroundColour(DeviceContext dc, std::uint32_t colour) override {
    log.push_back("SetBkColor(" + HexText(dc) + ", " + HexText(colour) + ")");
  }
  void SetTransparentBackground(DeviceContext dc) override {
    log.push_back("SetBkMode(" + HexText(dc) + ", transparent)");
  }
  BrushHandle CreateSolidBrush(std::uint32_t colour) override { return Keep("solid " + HexText(colour)); }
  BitmapHandle LoadBitmapFile(const std::string& path, std::uint32_t flags) override {
    log.push_back("LoadBitmapFile(" + path + ", " + HexText(flags) + ")");
    ++loads;
    return bitmapFiles.count(path) ? Keep("bitmap " + path) : 0;
  }
  BrushHandle CreatePatternBrush(BitmapHandle bitmap) override {
    if (patternBrushFails || objects.count(bitmap) == 0) return 0;
    return Keep("pattern of " + objects[bitmap]);
  }
  bool DeleteObject(std::uintptr_t object) override { return objects.erase(object) != 0; }
  bool GetFileName(bool open, FileDialogRequest& request) override {
    lastRequest = request;
    lastOpen = open;
    if (!choose) return false;
    std::fill(request.file.begin(), request.file.end(), '\0');
    std::copy_n(choose->begin(), std::min(choose->size(), request.file.size()), request.file.begin());
    return true;
  }

 private:
  std::uintptr_t Keep(std::string description) {
    objects[nextObject_] = std::move(description);
    return nextObject_++;
  }
  std::uintptr_t nextObject_ = 0x100;
};

}  // namespace platform
