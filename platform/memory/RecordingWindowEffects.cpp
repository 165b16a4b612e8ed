#include "platform/memory/RecordingWindowEffects.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

std::string Hex(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(value));
  return buffer;
}

}  // namespace

std::uint32_t RecordingWindowEffects::GetExStyle(WindowHandle window) { return exStyles[window]; }

void RecordingWindowEffects::SetExStyle(WindowHandle window, std::uint32_t exStyle) {
  log.push_back("SetExStyle(" + Hex(exStyle) + ")");
  exStyles[window] = exStyle;
}

bool RecordingWindowEffects::ShowWindow(WindowHandle window, bool show) {
  log.push_back(show ? "ShowWindow(show)" : "ShowWindow(hide)");
  const bool was = visible[window];
  visible[window] = show;
  return was;
}

bool RecordingWindowEffects::AnimateWindow(WindowHandle window, std::uint32_t milliseconds,
                                           std::uint32_t flags) {
  log.push_back("AnimateWindow(" + std::to_string(milliseconds) + ", " + Hex(flags) + ")");
  visible[window] = (flags & 0x10000) == 0;
  return true;
}

bool RecordingWindowEffects::RedrawWindow(WindowHandle, std::uint32_t flags) {
  log.push_back("RedrawWindow(" + Hex(flags) + ")");
  return true;
}

bool RecordingWindowEffects::InvalidateRect(WindowHandle, bool erase) {
  log.push_back(erase ? "InvalidateRect(erase)" : "InvalidateRect(keep)");
  return true;
}

void RecordingWindowEffects::SetBackgroundColour(DeviceContext dc, std::uint32_t colour) {
  dcs[dc].colour = colour;
}

void RecordingWindowEffects::SetTransparentBackground(DeviceContext dc) {
  dcs[dc].transparent = true;
}

BrushHandle RecordingWindowEffects::CreateSolidBrush(std::uint32_t colour) {
  const std::uintptr_t handle = nextObject_++;
  objects[handle] = "solid " + Hex(colour);
  return handle;
}

BitmapHandle RecordingWindowEffects::LoadBitmapFile(const std::string& path, std::uint32_t flags) {
  log.push_back("LoadBitmapFile(" + path + ", " + Hex(flags) + ")");
  ++loads;
  if (bitmapFiles.count(path) == 0) return 0;
  const std::uintptr_t handle = nextObject_++;
  objects[handle] = "bitmap " + path;
  return handle;
}

BrushHandle RecordingWindowEffects::CreatePatternBrush(BitmapHandle bitmap) {
  if (patternBrushFails || objects.count(bitmap) == 0) return 0;
  const std::uintptr_t handle = nextObject_++;
  objects[handle] = "pattern of " + objects[bitmap];
  return handle;
}

bool RecordingWindowEffects::DeleteObject(std::uintptr_t object) {
  return objects.erase(object) != 0;
}

bool RecordingWindowEffects::GetFileName(bool open, FileDialogRequest& request) {
  lastRequest = request;
  lastOpen = open;
  if (!choose) return false;
  std::fill(request.file.begin(), request.file.end(), '\0');
  std::copy_n(choose->begin(), std::min(choose->size(), request.file.size()), request.file.begin());
  return true;
}

}  // namespace platform
