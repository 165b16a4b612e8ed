#include <gtest/gtest.h>

#include "model/Exception.h"
#include "model/ModulePath.h"
#include "model/OsVersion.h"
#include "tests/support/FakeOsVersion.h"

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
      EXPECT_THROW(Vesperon::GetOsVersionCode(), Vesperon::Exception);
    } else {
      EXPECT_EQ(Vesperon::GetOsVersionCode(), r.code);
    }
  }
}

TEST(OsVersionTest, CachesTheCodeButNotAFailure) {
  testing_support::FakeOsVersion source({1, 4, 7});
  EXPECT_THROW(Vesperon::GetOsVersionCode(), Vesperon::Exception);
  EXPECT_THROW(Vesperon::GetOsVersionCode(), Vesperon::Exception);
  EXPECT_EQ(source.queries, 2);  // a failure leaves nothing cached

  source.record = {2, 5, 1};
  EXPECT_EQ(Vesperon::GetOsVersionCode(), 130);
  source.record = {1, 4, 10};  // the system does not change under a running process
  EXPECT_EQ(Vesperon::GetOsVersionCode(), 130);
  EXPECT_EQ(source.queries, 3);

  source.Set(source.record);
  source.answers = false;
  EXPECT_THROW(Vesperon::GetOsVersionCode(), Vesperon::Exception);
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
    EXPECT_EQ(Vesperon::IsOsVersionAtLeast(r.min9x, r.minNT), r.expected);
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
  for (const auto& [path, folder] : cases) EXPECT_EQ(Vesperon::RemoveFileSpec(path), folder) << path;
  EXPECT_FALSE(Vesperon::GetModuleDirectory().empty());
}

}  // namespace
