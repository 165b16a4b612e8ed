// The browser version: parsing, the "IVer" fallback and the process-wide cache.
#include <gtest/gtest.h>

#include <string>

#include "settings/InternetExplorerVersion.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/StoreExceptions.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;

namespace {

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
  for (const auto& [text, version] : rows) EXPECT_DOUBLE_EQ(ParseInternetExplorerVersion(text), version) << text;
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
    ResetInternetExplorerVersionCacheForTesting();
    EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), r.expected);
    ASSERT_EQ(registry.DeleteTree(platform::kLocalMachine, kBrowserKey), platform::kOk);
  }
}

// A missing key propagates and caches nothing; a read, even of 0, is cached;
// a read-only key (a limited account) is enough.
TEST_F(InternetExplorerRegistryTest, CachesEveryReadButNoFailure) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(testing_support::CodeOf<DataSystem::RegistryException>([] { GetInternetExplorerVersion(); }),
              DataSystem::RegistryException::kOpenKey) << attempt;
  }
  SetText("Version", "4.72.3110.8");
  ASSERT_EQ(registry.SetKeyReadOnly(platform::kLocalMachine, kBrowserKey, true), platform::kOk);
  EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), 4.72);
  ASSERT_EQ(registry.SetKeyReadOnly(platform::kLocalMachine, kBrowserKey, false), platform::kOk);
  SetText("Version", "6.0.2900.2180");
  EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), 4.72);
  ResetInternetExplorerVersionCacheForTesting();
  SetText("Version", "");
  EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), 0.0);
  ASSERT_EQ(registry.DeleteTree(platform::kLocalMachine, kBrowserKey), platform::kOk);
  EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), 0.0);
}

}  // namespace
