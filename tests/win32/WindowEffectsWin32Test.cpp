// Appearance effects on real windows, device contexts, bitmap files and common file dialogs;
// settings from an in-memory registry.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/Appearance.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;

namespace {

constexpr char kClassName[] = "VesperonEffectsTestWindow";

HWND CreateTestWindow(bool visible) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, kClassName, "Vesperon effects", WS_POPUP | (visible ? WS_VISIBLE : 0),
                         50, 50, 200, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

platform::WindowHandle Handle(HWND window) { return reinterpret_cast<platform::WindowHandle>(window); }

void Store(const char* name, std::uint32_t value) {
  testsupport::WriteNumber(testsupport::SettingsPath("Global\\Appearance"), name, value);
}
void StoreText(const char* name, const std::string& text) {
  testsupport::WriteText(testsupport::SettingsPath("Global\\Appearance"), name, text);
}

// An 8 x 8 24-bit bitmap file.
void WriteBitmapFile(const std::string& path) {
  const int side = 8, rowBytes = side * 3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = side;
  info.biHeight = side;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + rowBytes * side;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(rowBytes * side), 0x80);
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  std::fclose(out);
}

class WindowEffectsWin32Test : public ::testing::Test {
 protected:
  WindowEffectsWin32Test() { ResetBackgroundBrushCache(); }
  ~WindowEffectsWin32Test() override {
    ResetBackgroundBrushCache();
    DestroyWindow(window);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  testing_support::FakeOsVersion os{testing_support::kWinXP};
  HWND window = CreateTestWindow(true);
};

TEST_F(WindowEffectsWin32Test, TranslucencyOnARealWindow) {
  ASSERT_NE(window, nullptr);
  ApplyTranslucency(Handle(window), 160);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 160);
  EXPECT_TRUE(flags & LWA_ALPHA);

  ApplyTranslucency(Handle(window), 255);
  EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);

  Store("Transluc", 0);  // held to the lowest opacity, not made invisible
  ApplyStoredTranslucency(Handle(window));
  ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
}

TEST_F(WindowEffectsWin32Test, EveryAnimationLeavesTheWindowAsAsked) {
  struct Row {
    std::uint32_t type, direction;
  };
  for (const Row row : {Row{0, 0}, Row{1, 8}, Row{2, 4}}) {  // roll, centred slide, blend
    SCOPED_TRACE(std::to_string(row.type) + "/" + std::to_string(row.direction));
    Store("AnimType", row.type);
    Store("AnimDirec", row.direction);
    AnimateShowHide(Handle(window), true);
    EXPECT_FALSE(IsWindowVisible(window));
    AnimateShowHide(Handle(window), false);
    EXPECT_TRUE(IsWindowVisible(window));
    // Showing a shown window, an animation Windows refuses: the window stays.
    AnimateShowHide(Handle(window), false);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & kExStyleBlend);
  }
}

TEST_F(WindowEffectsWin32Test, BackgroundBrushesFromAColourAndAFile) {
  HDC dc = GetDC(window);
  const auto dcHandle = reinterpret_cast<platform::DeviceContext>(dc);
  Store("BkGrType", 1);
  platform::BrushHandle brush = 0;
  GetBackgroundBrush(dcHandle, brush);
  LOGBRUSH description{};
  ASSERT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(brush), sizeof description, &description),
            static_cast<int>(sizeof description));
  EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(description.lbColor, RGB(100, 200, 200));
  EXPECT_EQ(GetBkColor(dc), RGB(100, 200, 200));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

  const std::string path = testsupport::FreshTempFile("vesperon-background.bmp");
  WriteBitmapFile(path);
  Store("BkGrType", 2);
  StoreText("BkGrImg", path);
  GetBackgroundBrush(dcHandle, brush);
  ASSERT_NE(brush, 0u);
  ASSERT_NE(GetObjectA(reinterpret_cast<HGDIOBJ>(brush), sizeof description, &description), 0);
  EXPECT_TRUE(description.lbStyle == BS_PATTERN || description.lbStyle == BS_DIBPATTERN);
  // The file is read once: removed, the cached brush still serves.
  DeleteFileA(path.c_str());
  platform::BrushHandle again = 0;
  GetBackgroundBrush(dcHandle, again);
  EXPECT_EQ(again, brush);

  StoreText("BkGrImg", path + ".missing");
  EXPECT_THROW(GetBackgroundBrush(dcHandle, again), Vesperon::Exception);
  ReleaseDC(window, dc);
}

// Answers the dialog titled `title` with a command once it appears.
class DialogAnswer {
 public:
  DialogAnswer(std::string title, WPARAM command)
      : thread_([this, title = std::move(title), command] {
          for (int i = 0; i < 500 && !stop_; ++i) {
            if (HWND dialog = FindWindowA(nullptr, title.c_str())) {
              Sleep(200);  // let the dialog finish its set-up
              PostMessageA(dialog, WM_COMMAND, command, 0);
              found_ = true;
              return;
            }
            Sleep(20);
          }
        }) {}
  ~DialogAnswer() {
    stop_ = true;
    thread_.join();
  }
  bool Found() const { return found_; }

 private:
  std::atomic<bool> stop_{false}, found_{false};
  std::thread thread_;
};

TEST_F(WindowEffectsWin32Test, FileDialogCancelAndChoiceWithBothRecords) {
  const std::string existing = testsupport::FreshTempFile("vesperon-choice.pfl");
  FILE* out = std::fopen(existing.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fclose(out);
  const std::vector<FileFilter> filter = {{"Profile file *.pfl", "*.pfl"}, {"All files *.*", "*.*"}};

  // Answers the dialog titled `title` with `command`; the path it leaves.
  const auto answered = [&](const char* title, WPARAM command, std::string path) {
    DialogAnswer answer(title, command);
    ShowFileDialog(path, true, filter, title, "PFL", Handle(window), existing);
    EXPECT_TRUE(answer.Found()) << "the dialog did not open";
    return path;
  };
  for (const platform::OsVersionRecord system : {testing_support::kWinXP, testing_support::kNT4}) {
    SCOPED_TRACE(system.major);
    os.Set(system);
    EXPECT_EQ(answered("Vesperon cancel test", IDCANCEL, "previous"), "");
    const std::string chosen = answered("Vesperon open test", IDOK, "");
    EXPECT_EQ(_stricmp(chosen.c_str(), existing.c_str()), 0) << chosen << " vs " << existing;
  }
  DeleteFileA(existing.c_str());
}

}  // namespace
