#pragma once
// Lengths the windows lay out in pixels (list columns) are given for a
// screen of 96 dots per inch; a screen set to more enlarges the fonts, so
// those lengths must grow in step or the texts they hold are cut.

namespace Vesperon {

inline constexpr int kLayoutDpi = 96;

// `pixels` laid out at 96 DPI, on a screen of `dpi`: to the nearest pixel,
// halves away from zero. A DPI the system could not give (0 or less) leaves
// the length as it is.
constexpr int ScaleToDpi(int pixels, int dpi) {
  if (dpi <= 0) return pixels;
  const long long scaled = static_cast<long long>(pixels) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + kLayoutDpi / 2) / kLayoutDpi
                                      : -((-scaled + kLayoutDpi / 2) / kLayoutDpi));
}

}  // namespace Vesperon
