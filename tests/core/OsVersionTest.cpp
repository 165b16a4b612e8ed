// The Windows version and the program's folder.
#include <gtest/gtest.h>


#include "model/Exception.h"
#include "model/ModulePath.h"
#include "model/OsVersion.h"
#include "tests/support/FakeOsVersion.h"

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

}  // namespace
