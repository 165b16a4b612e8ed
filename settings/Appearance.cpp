#include "settings/Appearance.h"

#include <algorithm>

#include "settings/BoundFunctions.h"
#include "model/Exception.h"
#include "settings/SettingsKey.h"
#include "model/OsVersion.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {
namespace {

constexpr char kGlobal[] = "Global";
constexpr std::uint32_t kHighestDirection = 8;

// AnimDirec index -> AnimateWindow direction flags.
constexpr std::uint32_t kDirectionFlags[kHighestDirection + 1] = {
    kAnimateHorPositive,
    kAnimateHorNegative,
    kAnimateVerPositive,
    kAnimateVerNegative,
    kAnimateHorPositive | kAnimateVerPositive,
    kAnimateHorNegative | kAnimateVerNegative,
    kAnimateHorNegative | kAnimateVerPositive,
    kAnimateHorPositive | kAnimateVerNegative,
    kAnimateCenter,
};

// The background brush cache, for the life of the process. The remembered
// type only says whether an image was ever loaded; the solid brush is kept
// per colour so that a control-colour handler, which runs for every control
// at every repaint, does not leak one brush per call.
struct BrushCache {
  std::int32_t rememberedType = kBackgroundNone;
  std::string imagePath;
  platform::BitmapHandle imageBitmap = 0;
  platform::BrushHandle imageBrush = 0;
  bool haveSolid = false;
  std::uint32_t solidColour = 0;
  platform::BrushHandle solidBrush = 0;
};
BrushCache g_brushes;

void Release(std::uintptr_t& object) {
  if (object != 0) platform::WindowEffects().DeleteObject(object);
  object = 0;
}

platform::BrushHandle SolidBrush(std::uint32_t colour) {
  if (g_brushes.haveSolid && g_brushes.solidColour == colour) return g_brushes.solidBrush;
  const platform::BrushHandle brush = platform::WindowEffects().CreateSolidBrush(colour);
  if (brush == 0) return 0;  // nothing to cache; the caller keeps its brush
  Release(g_brushes.solidBrush);
  g_brushes.solidBrush = brush;
  g_brushes.solidColour = colour;
  g_brushes.haveSolid = true;
  return brush;
}

platform::BrushHandle ImageBrush(const std::string& path) {
  if (g_brushes.rememberedType == kBackgroundImage && g_brushes.imagePath == path) {
    return g_brushes.imageBrush;
  }
  platform::IWindowEffects& effects = platform::WindowEffects();
  platform::BitmapHandle bitmap = effects.LoadBitmapFile(path, kLoadBackgroundImage);
  if (bitmap == 0) throw Exception();
  const platform::BrushHandle brush = effects.CreatePatternBrush(bitmap);
  if (brush == 0) {
    Release(bitmap);
    throw Exception();
  }
  // The previous image is replaced, not kept: one image brush at a time.
  Release(g_brushes.imageBrush);
  Release(g_brushes.imageBitmap);
  g_brushes.imageBitmap = bitmap;
  g_brushes.imageBrush = brush;
  g_brushes.imagePath = path;
  g_brushes.rememberedType = kBackgroundImage;
  return brush;
}

}  // namespace

std::uint32_t LayeredExStyle(std::uint32_t exStyle, std::uint8_t alpha) {
  return alpha == 255 ? (exStyle & ~kExStyleLayered) : (exStyle | kExStyleLayered);
}

std::uint8_t StoredOpacity(std::uint32_t transluc) {
  if (transluc > 255) return 255;
  if (transluc < kMinimumOpacity) return kMinimumOpacity;
  return static_cast<std::uint8_t>(transluc);
}

std::uint32_t AnimationDirectionFlags(std::uint32_t direction) {
  if (direction > kHighestDirection) throw Exception();
  return kDirectionFlags[direction];
}

std::uint32_t AnimationFlags(std::uint32_t type, std::uint32_t direction, bool hide) {
  // A direction out of range is refused even for a blend, which does not use
  // it: a stored value that cannot come from the Appearance page is reported
  // whichever type is chosen.
  const std::uint32_t directionFlags = AnimationDirectionFlags(direction);
  std::uint32_t flags = 0;
  switch (type) {
    case kAnimRoll:
      flags = directionFlags;
      break;
    case kAnimSlide:
      flags = kAnimateSlide | directionFlags;
      break;
    case kAnimBlend:
      flags = kAnimateBlend;
      break;
    default:
      throw Exception();
  }
  if (hide) flags |= kAnimateHide;
  return flags;
}

std::uint32_t ColourRef(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

platform::FileDialogRecord FileDialogRecordForSystem() {
  return IsOsVersionAtLeast(0, kOsWindows2000) ? platform::FileDialogRecord::kExtended
                                               : platform::FileDialogRecord::kOld;
}

void ApplyTranslucency(platform::WindowHandle window, std::uint8_t alpha) {
  platform::IWindowEffects& effects = platform::WindowEffects();
  effects.SetExStyle(window, LayeredExStyle(effects.GetExStyle(window), alpha));
  // At 255 the window is no longer layered and the call changes nothing;
  // it is made all the same so that both ways fail alike where the system
  // has no layered windows.
  DynSetLayeredWindowAttributes(window, alpha);
}

void ApplyStoredTranslucency(platform::WindowHandle window) {
  if (!IsOsVersionAtLeast(0, kOsWindows2000)) return;
  ApplyTranslucency(window, StoredOpacity(DataSystem::ReadNumber(DataSystem::kTransluc, kGlobal)));
}

void AnimateShowHide(platform::WindowHandle window, bool hide) {
  platform::IWindowEffects& effects = platform::WindowEffects();
  if (!IsOsVersionAtLeast(kOsWindows98, kOsWindows2000)) {
    effects.ShowWindow(window, !hide);
    return;
  }
  DataSystem::AnimationSettings stored;
  stored.Load();
  const std::uint32_t flags = AnimationFlags(stored.type, stored.direction, hide);
  const bool blend = stored.type == kAnimBlend;
  if (blend) effects.SetExStyle(window, effects.GetExStyle(window) | kExStyleBlend);
  if (!effects.AnimateWindow(window, kAnimationMilliseconds, flags)) {
    // The animation is refused, for instance for a window that is already
    // in the state asked for or that the system cannot animate; the window
    // must still end up shown or hidden as asked.
    effects.ShowWindow(window, !hide);
  }
  effects.RedrawWindow(window, kRedrawAfterAnimation);
  if (blend) {
    effects.SetExStyle(window, effects.GetExStyle(window) & ~kExStyleBlend);
    effects.InvalidateRect(window, false);
  }
}

void GetBackgroundBrush(platform::DeviceContext dc, platform::BrushHandle& brush) {
  DataSystem::BackgroundSettings stored;
  stored.Load();
  const auto type = static_cast<std::int32_t>(stored.type);
  platform::IWindowEffects& effects = platform::WindowEffects();
  if (type == kBackgroundColour) {
    const std::uint32_t colour = ColourRef(stored.red, stored.green, stored.blue);
    effects.SetBackgroundColour(dc, colour);
    effects.SetTransparentBackground(dc);
    const platform::BrushHandle solid = SolidBrush(colour);
    if (solid != 0) brush = solid;
  } else if (type == kBackgroundImage) {
    const std::string path = DataSystem::ReadText(DataSystem::kBkGrImg, kGlobal);
    effects.SetTransparentBackground(dc);
    brush = ImageBrush(path);
  }
  if (g_brushes.rememberedType == kBackgroundNone) g_brushes.rememberedType = type;
}

void ResetBackgroundBrushCache() {
  Release(g_brushes.imageBrush);
  Release(g_brushes.imageBitmap);
  Release(g_brushes.solidBrush);
  g_brushes = BrushCache{};
}

void ShowFileDialog(std::string& path, bool open, const std::vector<FileFilter>& filter,
                    const std::string& title, const std::string& defaultExtension,
                    platform::WindowHandle owner, const std::string& initialPath) {
  if (initialPath.size() >= kFileDialogPathBuffer) throw Exception();
  platform::FileDialogRequest request;
  request.record = FileDialogRecordForSystem();
  request.owner = owner;
  request.filter = filter;
  request.filterIndex = 1;
  request.file.assign(kFileDialogPathBuffer, '\0');
  std::copy(initialPath.begin(), initialPath.end(), request.file.begin());
  request.title = title;
  request.defaultExtension = defaultExtension;
  // "File must exist" would refuse every new file name in a save dialog, so
  // an export could never create its file; the save dialog goes without it,
  // and asks before it names a file that is already there.
  request.flags = open ? kFileDialogFlags : (kFileDialogFlags & ~kFileMustExist) | kOverwritePrompt;
  path.clear();
  if (!platform::WindowEffects().GetFileName(open, request)) return;
  // The system writes a zero-terminated path; the last position stays zero
  // even if it filled the whole buffer.
  request.file.back() = '\0';
  path = request.file.data();
}

}  // namespace Vesperon
