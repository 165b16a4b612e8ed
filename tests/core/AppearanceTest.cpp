// Appearance effects against the recording window effects and power system.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/BoundFunctions.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "platform/memory/RecordingWindowEffects.h"
#include "settings/Appearance.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

constexpr platform::WindowHandle kWindow = 0x10010;
constexpr platform::DeviceContext kDc = 0xDC;
constexpr std::uint32_t kOtherStyle = 0x100;
const std::string kAppearanceKey = testsupport::SettingsPath("Global\\Appearance");

class AppearanceTest : public ::testing::Test {
 protected:
  AppearanceTest() { ResetBackgroundBrushCache(); }
  ~AppearanceTest() override { ResetBackgroundBrushCache(); }

  static void Store(const char* name, std::uint32_t value) {
    testsupport::WriteNumber(kAppearanceKey, name, value);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::RecordingWindowEffects effects;
  platform::ScopedWindowEffects effectsGuard{effects};
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem powerGuard{power};
  FakeOsVersion os{kWinXP};
};

TEST_F(AppearanceTest, StoredTranslucencyBySettingAndVersion) {
  // The stored value (nothing: missing), whether it is applied, and the alpha.
  const std::tuple<const char*, platform::OsVersionRecord, std::optional<std::uint32_t>, bool, std::uint32_t>
      rows[] = {
      // A value within the range, applied at once: AppearancePageE2eTest.
      {"missing: default opaque", kWin2000, std::nullopt, true, 255},
      {"low byte of 256 would be 0", kWin10, 256, true, 255},
      {"no layered windows on 98", kWin98, 128, false, 0},
      {"nor on NT 4.0", kNT4, 128, false, 0},
  };
  for (const auto& [name, system, stored, applied, alpha] : rows) {
    SCOPED_TRACE(name);
    os.Set(system);
    testsupport::DeleteSettingsRoot();
    if (stored) Store("Transluc", *stored);
    effects.exStyles[kWindow] = kOtherStyle | kExStyleLayered;
    power.log.clear();

    ApplyStoredTranslucency(kWindow);

    if (!applied) {
      EXPECT_TRUE(power.log.empty());
      EXPECT_EQ(effects.exStyles[kWindow], kOtherStyle | kExStyleLayered);
      continue;
    }
    EXPECT_EQ(power.log, std::vector<std::string>{"LayeredAlpha(0x10010, " + std::to_string(alpha) + ")"});
    EXPECT_EQ(effects.exStyles[kWindow], alpha == 255 ? kOtherStyle : kOtherStyle | kExStyleLayered);
  }
}

TEST_F(AppearanceTest, ShowAndHideWithTheStoredAnimation) {
  // Type, direction, hide; the calls (none: the stored animation is refused).
  const std::tuple<const char*, platform::OsVersionRecord, std::uint32_t, std::uint32_t, bool,
                   std::vector<std::string>> rows[] = {
      {"95: plain show", kWin95, 2, 0, false, {"ShowWindow(show)"}},
      {"NT 4.0: plain hide", kNT4, 2, 0, true, {"ShowWindow(hide)"}},
      {"98 rolls", kWin98, 0, 3, false, {"AnimateWindow(200, 0x8)", "RedrawWindow(0x581)"}},
      {"centred slide", kWinXP, 1, 8, true, {"AnimateWindow(200, 0x50010)", "RedrawWindow(0x581)"}},
      {"blend", kWin2000, 2, 5, true, {"SetExStyle(0x108)", "AnimateWindow(200, 0x90000)",
       "RedrawWindow(0x581)", "SetExStyle(0x100)", "InvalidateRect(keep)"}},
      {"unknown type", kWinXP, 3, 0, false, {}},
      {"direction beyond the last", kWinXP, 2, 9, false, {}},
      {"direction of all ones", kWinXP, 0, 0xFFFFFFFF, false, {}},
  };
  for (const auto& [name, system, type, direction, hide, calls] : rows) {
    SCOPED_TRACE(name);
    os.Set(system);
    Store("AnimType", type);
    Store("AnimDirec", direction);
    effects.exStyles[kWindow] = kOtherStyle;
    effects.log.clear();
    effects.visible.erase(kWindow);
    if (calls.empty()) {
      EXPECT_THROW(AnimateShowHide(kWindow, hide), Exception);  // before the window is touched
      EXPECT_EQ(effects.visible.count(kWindow), 0u);
    } else {
      AnimateShowHide(kWindow, hide);
      EXPECT_EQ(effects.visible[kWindow], !hide);
    }
    EXPECT_EQ(effects.log, calls);
  }
}

// One pass through the cache: the system and unknown types leave brush and
// DC alone; a colour's brush is made once per colour; an image is loaded once
// and kept across colours, replaced (and freed) by another, and kept when a
// new one cannot be loaded or makes no brush.
TEST_F(AppearanceTest, BackgroundBrushesAreMadeOnceAndKept) {
  effects.bitmapFiles = {"C:\\a.bmp", "C:\\b.bmp"};
  const auto brushFor = [&](std::uint32_t type, const char* image = nullptr) {
    Store("BkGrType", type);
    if (image != nullptr) testsupport::WriteText(kAppearanceKey, "BkGrImg", image);
    platform::BrushHandle brush = 0x77;
    GetBackgroundBrush(kDc, brush);
    return brush;
  };
  for (const std::uint32_t type : {0u, 3u}) EXPECT_EQ(brushFor(type), 0x77u);
  EXPECT_TRUE(effects.log.empty());
  EXPECT_TRUE(effects.objects.empty());

  const platform::BrushHandle solid = brushFor(1);  // red 100, green 200, blue 200 by default
  EXPECT_EQ(brushFor(1), solid);
  EXPECT_EQ(effects.objects.size(), 1u);
  Store("BkGrColR", 0x1FF);  // only the low byte counts
  const platform::BrushHandle other = brushFor(1);
  EXPECT_NE(other, solid);
  EXPECT_EQ(effects.objects.size(), 1u);  // the old colour's brush is gone
  EXPECT_EQ(effects.objects[other], "solid 0xC8C8FF");

  const platform::BrushHandle first = brushFor(2, "C:\\a.bmp");
  EXPECT_EQ(effects.objects[first], "pattern of bitmap C:\\a.bmp");
  EXPECT_EQ(effects.log.back(), "LoadBitmapFile(C:\\a.bmp, 0x2050)");
  brushFor(1);
  EXPECT_EQ(brushFor(2), first);
  EXPECT_EQ(effects.loads, 1u);

  const platform::BrushHandle second = brushFor(2, "C:\\b.bmp");
  EXPECT_EQ(effects.loads, 2u);
  EXPECT_EQ(effects.objects.count(first), 0u);
  EXPECT_EQ(effects.objects[second], "pattern of bitmap C:\\b.bmp");
  EXPECT_THROW(brushFor(2, "C:\\missing.bmp"), Exception);
  EXPECT_EQ(brushFor(2, "C:\\b.bmp"), second);
  EXPECT_EQ(effects.loads, 3u);

  effects.patternBrushFails = true;
  const std::size_t objects = effects.objects.size();
  EXPECT_THROW(brushFor(2, "C:\\a.bmp"), Exception);
  EXPECT_EQ(effects.objects.size(), objects);
  ResetBackgroundBrushCache();
  EXPECT_TRUE(effects.objects.empty());
}

// The real save and open dialogs: ProfilesPageE2eTest.
TEST_F(AppearanceTest, FileDialogRecordFlagsAndBuffer) {
  for (const auto& [system, record] : {std::pair{kNT4, platform::FileDialogRecord::kOld},
                                       std::pair{kWin2000, platform::FileDialogRecord::kExtended}}) {
    os.Set(system);
    std::string path;
    ShowFileDialog(path, false, {{"Profile file *.pfl", "*.pfl"}}, "Export", "PFL", kWindow, "C:\\x.pfl");
    ASSERT_TRUE(effects.lastRequest);
    const platform::FileDialogRequest& r = *effects.lastRequest;
    EXPECT_EQ(r.record, record);
    EXPECT_EQ(r.flags, 0x80806u);  // a save dialog accepts a new file, asks before overwriting
    EXPECT_EQ(r.file.size(), 1024u);
    EXPECT_EQ(std::string(r.file.data()), "C:\\x.pfl");
    EXPECT_FALSE(effects.lastOpen);
  }
  // A path that fills the whole buffer still comes back terminated.
  effects.choose = std::string(2000, 'p');
  std::string path;
  ShowFileDialog(path, true, {}, "Open", "", 0, "");
  EXPECT_EQ(path.size(), 1023u);
  EXPECT_TRUE(effects.lastOpen);
  EXPECT_EQ(effects.lastRequest->flags, 0x81804u);

  // The initial path must fit the buffer; otherwise no dialog opens.
  EXPECT_NO_THROW(ShowFileDialog(path, true, {}, "", "", 0, std::string(1023, 'a')));
  effects.lastRequest.reset();
  EXPECT_THROW(ShowFileDialog(path, true, {}, "", "", 0, std::string(1024, 'a')), Exception);
  EXPECT_FALSE(effects.lastRequest);
}

}  // namespace
