#pragma once
// The appearance settings (Global\Appearance) put into effect: window
// translucency, the animation with which the main window shows and hides
// itself, the brush that paints dialog backgrounds, and the one file dialog
// every page with a "Browse..." button uses. The settings are read at every
// call; only the background brush is cached (for the life of the process).
// Every window call goes through platform::WindowEffects(), the run-time
// bound SetLayeredWindowAttributes through actions/BoundFunctions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/Exception.h"
#include "platform/WindowEffects.h"

namespace Vesperon {

// Window styles and flags, with the Windows values.
inline constexpr std::uint32_t kExStyleLayered = 0x80000;  // WS_EX_LAYERED
inline constexpr std::uint32_t kExStyleBlend = 0x8;        // added while a blend runs
inline constexpr std::uint32_t kAnimateHorPositive = 0x1;  // AW_HOR_POSITIVE
inline constexpr std::uint32_t kAnimateHorNegative = 0x2;  // AW_HOR_NEGATIVE
inline constexpr std::uint32_t kAnimateVerPositive = 0x4;  // AW_VER_POSITIVE
inline constexpr std::uint32_t kAnimateVerNegative = 0x8;  // AW_VER_NEGATIVE
inline constexpr std::uint32_t kAnimateCenter = 0x10;      // AW_CENTER
inline constexpr std::uint32_t kAnimateHide = 0x10000;     // AW_HIDE
inline constexpr std::uint32_t kAnimateSlide = 0x40000;    // AW_SLIDE
inline constexpr std::uint32_t kAnimateBlend = 0x80000;    // AW_BLEND
inline constexpr std::uint32_t kAnimationMilliseconds = 200;
// RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME.
inline constexpr std::uint32_t kRedrawAfterAnimation = 0x581;
// LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION.
inline constexpr std::uint32_t kLoadBackgroundImage = 0x2050;
// OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY.
inline constexpr std::uint32_t kFileDialogFlags = 0x81804;
inline constexpr std::uint32_t kFileMustExist = 0x1000;  // OFN_FILEMUSTEXIST, open dialog only
inline constexpr std::uint32_t kOverwritePrompt = 0x2;  // OFN_OVERWRITEPROMPT, save dialog only
// The file dialog's path buffer, in characters with the terminating zero.
inline constexpr std::size_t kFileDialogPathBuffer = 1024;

// The lowest opacity the program applies: below it a window would be too
// faint to find again (the Appearance page offers 128 to 255).
inline constexpr std::uint8_t kMinimumOpacity = 128;

// Values of AnimType and BkGrType.
enum AnimationType : std::uint32_t { kAnimRoll = 0, kAnimSlide = 1, kAnimBlend = 2 };
enum BackgroundType : std::int32_t {
  kBackgroundNone = -1,  // the cache's "nothing remembered yet"
  kBackgroundSystem = 0,
  kBackgroundColour = 1,
  kBackgroundImage = 2,
};

// --- Decisions, free of any window.

// The extended style for an opacity: without WS_EX_LAYERED at 255, with it
// otherwise; the other bits are kept.
std::uint32_t LayeredExStyle(std::uint32_t exStyle, std::uint8_t alpha);
// The opacity a stored Transluc value gives: its low byte would make 0 or 256
// an invisible window, so values are held to kMinimumOpacity..255 instead.
std::uint8_t StoredOpacity(std::uint32_t transluc);
// AnimateWindow flags of a direction index 0 to 8; a plain Vesperon::Exception
// above 8.
std::uint32_t AnimationDirectionFlags(std::uint32_t direction);
// The whole AnimateWindow flag set for a type, direction and hide flag
// (a blend does not use the direction). A type above 2 or a direction above
// 8, for any type, throws a plain Vesperon::Exception.
std::uint32_t AnimationFlags(std::uint32_t type, std::uint32_t direction, bool hide);
// COLORREF of a stored colour (0x00BBGGRR); each part keeps its low byte.
std::uint32_t ColourRef(std::uint32_t red, std::uint32_t green, std::uint32_t blue);
// The dialog record of the running Windows version.
platform::FileDialogRecord FileDialogRecordForSystem();

// --- Operations.

// Sets the window's opacity (255 also removes the layered style). The
// failure of the run-time binding passes as AttachableAPIException.
void ApplyTranslucency(platform::WindowHandle window, std::uint8_t alpha);
// On Windows 2000 and later: the stored Transluc applied to the window.
void ApplyStoredTranslucency(platform::WindowHandle window);
// Shows or hides the window with the stored animation (a plain show or hide
// before Windows 98 and 2000). Throws a plain Vesperon::Exception for a
// stored type above 2 or direction above 8, before the window is touched.
void AnimateShowHide(platform::WindowHandle window, bool hide);
// For a control-colour handler: with a stored colour, sets the dc's
// background to it and transparent and puts the colour's brush into `brush`;
// with an image, sets the dc transparent and puts the image's pattern brush
// into `brush`; otherwise `brush` is left as it is. The brushes belong to
// the cache; callers never delete them. An image that cannot be loaded
// throws a plain Vesperon::Exception.
void GetBackgroundBrush(platform::DeviceContext dc, platform::BrushHandle& brush);
// Releases the cached brushes and forgets the cache (the process's end, and
// tests).
void ResetBackgroundBrushCache();

// One pair of the dialog's filter: display text and pattern.
using FileFilter = std::pair<std::string, std::string>;
// The open (or save) dialog; `path` receives the chosen path, or the empty
// text on cancel or error. An initial path of 1024 characters or more throws
// a plain Vesperon::Exception before the dialog opens.
void ShowFileDialog(std::string& path, bool open, const std::vector<FileFilter>& filter,
                    const std::string& title, const std::string& defaultExtension,
                    platform::WindowHandle owner, const std::string& initialPath);

}  // namespace Vesperon
