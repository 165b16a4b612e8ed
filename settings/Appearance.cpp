#include "settings/Appearance.h"

namespace Vesperon {

std::uint32_t LayeredExStyle(std::uint32_t exStyle, std::uint8_t) { return exStyle; }
std::uint8_t StoredOpacity(std::uint32_t) { return 255; }
std::uint32_t AnimationDirectionFlags(std::uint32_t) { return 0; }
std::uint32_t AnimationFlags(std::uint32_t, std::uint32_t, bool) { return 0; }
std::uint32_t ColourRef(std::uint32_t, std::uint32_t, std::uint32_t) { return 0; }
platform::FileDialogRecord FileDialogRecordForSystem() { return platform::FileDialogRecord::kExtended; }
void ApplyTranslucency(platform::WindowHandle, std::uint8_t) {}
void ApplyStoredTranslucency(platform::WindowHandle) {}
void AnimateShowHide(platform::WindowHandle, bool) {}
void GetBackgroundBrush(platform::DeviceContext, platform::BrushHandle&) {}
void ResetBackgroundBrushCache() {}
void ShowFileDialog(std::string& path, bool, const std::vector<FileFilter>&, const std::string&,
                    const std::string&, platform::WindowHandle, const std::string&) {
  path.clear();
}

}  // namespace Vesperon
