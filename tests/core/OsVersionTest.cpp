// The system's versions (Windows, the browser) with their process-wide
// caches, and the program's folder.
#include <gtest/gtest.h>

#include <string>

#include "model/Exception.h"
#include "model/ModulePath.h"
#include "model/OsVersion.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/InternetExplorerVersion.h"
#include "settings/StoreExceptions.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;

namespace {

TEST(OsVersionTest, ClassifiesEveryKnownRecordAndRejectsTheRest) {
  testing_support::FakeOsVersion source;
  const struct {
    std::uint32_t platformId, major, minor;
    std::int32_t code;  // 0: must throw
  } rows[] = {
      // Every version Wine can pretend to be: the windows_* version probes.
      {1, 4, 3, 0}, {1, 3, 0, 0},   {1, 5, 0, 0},      {2, 3, 51, 100}, {2, 3, 50, 0}, {2, 4, 1, 0},
      {2, 5, 3, 1000}, {2, 2, 0, 1000}, {0, 4, 0, 0}, {3, 5, 1, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.platformId << "/" << r.major << "." << r.minor);
    source.Set({r.platformId, r.major, r.minor});
    if (r.code == 0) {
      EXPECT_THROW(GetOsVersionCode(), Exception);
    } else {
      EXPECT_EQ(GetOsVersionCode(), r.code);
    }
  }
  source.answers = false;  // a system that does not say: no guess
  EXPECT_THROW(GetOsVersionCode(), Exception);
}

TEST(OsVersionTest, MinimumsPerLine) {
  testing_support::FakeOsVersion source;
  const struct {
    platform::OsVersionRecord record;
    std::int32_t min9x, minNT;
    bool expected;
  } rows[] = {
      {{1, 4, 10}, 20, 110, true},     // 98 with (20, 110)
      {{1, 4, 0}, 20, 110, false},     // 95 with (20, 110)
      {{2, 5, 2}, 0, 1000, false},     // 2003 with (0, 1000)
      {{1, 4, 90}, 10, 0, true},       // Me: 30 is still on the 9x line
      {{2, 3, 51}, 10, 0, false},      // NT 3.51 with (10, 0): the 9x rule stops at 30
      {{2, 6, 0}, 0, 0, false},        // both minimums 0
      {{1, 4, 10}, 0, 100, false},     // "NT line" test on 98
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.record.major << "." << r.record.minor << " ("
                                    << r.min9x << ", " << r.minNT << ")");
    source.Set(r.record);
    EXPECT_EQ(IsOsVersionAtLeast(r.min9x, r.minNT), r.expected);
  }
}

// The program's folder is where its language files are looked for: a wrong
// cut would look in the drive's root or in a folder that does not exist.
TEST(ModulePath, FolderIsThePathWithoutItsLastComponent) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\Vesperon\\Vesperon.exe", "C:\\Program Files\\Vesperon"},
      {"C:\\Vesperon.exe", "C:\\"},
      {"\\\\server\\share\\Vesperon.exe", "\\\\server\\share"},
      {"C:Vesperon.exe", "C:"},
      {"/opt/vesperon/vesperon", "/opt/vesperon"},
      {"Vesperon.exe", ""},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(RemoveFileSpec(path), folder) << path;
  EXPECT_FALSE(GetModuleDirectory().empty());
}

constexpr char kBrowserKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

TEST(InternetExplorerVersionTest, ParsesWholePartAndFirstFractionNeverTheNextWholeNumber) {
  const std::pair<const char*, double> rows[] = {
      {"5.50.4807.2300", 5.5}, {"11.0.9600.16428", 11.0}, {"", 0.0}, {".5", 0.5},
      // The run after the point is one number: its leading zeros vanish.
      {"5.05", 5.5}, {"7.0000000000000000000000000001", 7.1},
      // Only leading digits make the whole part; nothing makes it negative
      // ("not cached yet").
      {"-1.0", 0.0}, {" 6.0", 0.0}, {"6b.25", 6.25}, {"5.x7", 5.0},
  };
  for (const auto& [text, version] : rows) {
    EXPECT_DOUBLE_EQ(ParseInternetExplorerVersion(text), version) << text;
  }
  // A long fraction never reaches the next whole number: read whole, such
  // runs round up (4.99... passing for 5) or overflow to infinity, which no
  // division brings below 1.
  for (std::size_t nines : {9u, 19u, 400u}) {
    const double version = ParseInternetExplorerVersion("4." + std::string(nines, '9'));
    EXPECT_GT(version, 4.99) << nines;
    EXPECT_LT(version, 5.0) << nines;
  }
}

class InternetExplorerRegistryTest : public ::testing::Test {
 protected:
  InternetExplorerRegistryTest() { ResetInternetExplorerVersionCacheForTesting(); }
  ~InternetExplorerRegistryTest() override { ResetInternetExplorerVersionCacheForTesting(); }

  static void SetText(const char* name, const std::string& text) {
    testsupport::WriteText(kBrowserKey, name, text, platform::kLocalMachine);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry guard{registry};
};

// A read-only key (a limited account) is enough. (The missing key: the
// dispatcher's balloon tests.)
TEST_F(InternetExplorerRegistryTest, MissingVersionFallsBackToIVer) {
  const struct {
    const char* version;  // null: no "Version" value
    const char* iver;     // null: no "IVer" value
    double expected;
  } rows[] = {
      {nullptr, "100", 1.0}, {nullptr, "103", 3.0}, {nullptr, "104", 0.0}, {nullptr, "101", 0.0},
      {nullptr, nullptr, 0.0},
      // An empty Version is a version (0), not a missing one.
      {"", "103", 0.0},
      {"6.0.2900.2180", "103", 6.0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.version ? r.version : "(none)") + " / " + (r.iver ? r.iver : "(none)"));
    SetText("Other", "");  // the key exists
    if (r.version) SetText("Version", r.version);
    if (r.iver) SetText("IVer", r.iver);
    ASSERT_EQ(registry.SetKeyReadOnly(platform::kLocalMachine, kBrowserKey, true), platform::kOk);
    ResetInternetExplorerVersionCacheForTesting();
    EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), r.expected);
    ASSERT_EQ(registry.SetKeyReadOnly(platform::kLocalMachine, kBrowserKey, false), platform::kOk);
    ASSERT_EQ(registry.DeleteTree(platform::kLocalMachine, kBrowserKey), platform::kOk);
  }
}

}  // namespace
