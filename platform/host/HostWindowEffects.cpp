// The host build has no windows: every call does nothing and reports
// failure (no brush, no bitmap, no file chosen). Tests install the recording
// fake instead.
#include "platform/WindowEffects.h"

namespace platform {
namespace {

class RefusingWindowEffects final : public IWindowEffects {
 public:
  std::uint32_t GetExStyle(WindowHandle) override { return 0; }
  void SetExStyle(WindowHandle, std::uint32_t) override {}
  bool ShowWindow(WindowHandle, bool) override { return false; }
  bool AnimateWindow(WindowHandle, std::uint32_t, std::uint32_t) override { return false; }
  bool RedrawWindow(WindowHandle, std::uint32_t) override { return false; }
  bool InvalidateRect(WindowHandle, bool) override { return false; }
  void SetBackgroundColour(DeviceContext, std::uint32_t) override {}
  void SetTransparentBackground(DeviceContext) override {}
  BrushHandle CreateSolidBrush(std::uint32_t) override { return 0; }
  BitmapHandle LoadBitmapFile(const std::string&, std::uint32_t) override { return 0; }
  BrushHandle CreatePatternBrush(BitmapHandle) override { return 0; }
  bool DeleteObject(std::uintptr_t) override { return false; }
  bool GetFileName(bool, FileDialogRequest&) override { return false; }
};

}  // namespace

IWindowEffects& DefaultWindowEffects() {
  static RefusingWindowEffects effects;
  return effects;
}

}  // namespace platform
