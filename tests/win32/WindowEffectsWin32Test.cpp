// A background brush made by the real GDI from a bitmap file; settings from
// an in-memory registry. (The cache and the choice of brush: the core's
// AppearanceTest; a solid colour painted on the sheet, its pages and behind
// their labels: AppearancePageE2eTest.)
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/Appearance.h"
#include "tests/support/RegistryTestSupport.h"

namespace {

// An 8 x 8 24-bit bitmap file, every pixel grey.
void WriteBitmapFile(const std::string& path) {
  BITMAPINFOHEADER info{sizeof info, 8, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof file + sizeof info};
  const std::string pixels(8 * 8 * 3, '\x80');
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out << pixels;
}

TEST(WindowEffectsWin32Test, BackgroundBrushFromABitmapFile) {
  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  Vesperon::ResetBackgroundBrushCache();
  const std::string key = testsupport::SettingsPath("Global\\Appearance");
  HDC dc = CreateCompatibleDC(nullptr);
  const auto dcHandle = reinterpret_cast<platform::DeviceContext>(dc);
  const std::string path = testsupport::FreshTempFile("vesperon-background.bmp");
  WriteBitmapFile(path);
  testsupport::WriteNumber(key, "BkGrType", 2);
  testsupport::WriteText(key, "BkGrImg", path);
  platform::BrushHandle brush = 0;
  Vesperon::GetBackgroundBrush(dcHandle, brush);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  LOGBRUSH description{};
  EXPECT_NE(GetObjectA(reinterpret_cast<HGDIOBJ>(brush), sizeof description, &description), 0);
  EXPECT_TRUE(description.lbStyle == BS_PATTERN || description.lbStyle == BS_DIBPATTERN) << description.lbStyle;
  DeleteFileA(path.c_str());
  DeleteDC(dc);
  Vesperon::ResetBackgroundBrushCache();
}

}  // namespace
