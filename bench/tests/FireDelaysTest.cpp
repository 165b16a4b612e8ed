// The arithmetic behind the fire-delay figures: a wrong start second shifts
// every delay by a whole second, which would look like a slow scheduler.
#include "bench/FireDelays.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using bench::ComputeFireDelays;
using bench::FireDelays;

TEST(FireDelays, StartSecondsFollowTheActivationAndEachFire) {
  struct Row {
    const char* what;
    std::int64_t from, to;
    std::vector<std::int64_t> fires;
    std::vector<std::int64_t> delays;
    int ambiguous, early;
  } const rows[] = {
      {"each restart reads the second of its fire", 100, 150, {2400, 4050, 6999},
       {400, 50, 999}, 0, 0},
      {"a click across a second boundary leaves the first fire unknown", 990, 1010,
       {3020, 5500}, {500}, 1, 0},
      {"a fire at the end of a second leaves the next one unknown", 100, 150,
       {2980, 5100, 7001}, {980, 1}, 1, 0},
      {"a fire inside the margin but in the same second counts", 100, 150,
       {2949, 4949}, {949, 949}, 0, 0},
      {"a fire before its occurrence is early, and the next starts from it", 100, 150,
       {1900, 3200}, {200}, 0, 1},
      {"no fires", 100, 150, {}, {}, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const FireDelays got = ComputeFireDelays(r.from, r.to, r.fires, 2, 50);
    EXPECT_EQ(got.delaysMs, r.delays);
    EXPECT_EQ(got.ambiguous, r.ambiguous);
    EXPECT_EQ(got.early, r.early);
  }
}

TEST(FireDelays, JournalLinesWithAndWithoutTheClock) {
  struct Row {
    std::string line;
    std::optional<std::int64_t> ms;
    std::string text;
  } const rows[] = {
      {"@1780000000123 ExitWindows 8", 1780000000123, "ExitWindows 8"},
      {"@5 ", 5, ""},
      {"ExitWindows 8", std::nullopt, ""},
      {"@ ExitWindows 8", std::nullopt, ""},
      {"@12a3 Lock", std::nullopt, ""},
      {"@-5 Lock", std::nullopt, ""},
      {"@123", std::nullopt, ""},
      {"@99999999999999999999999 Lock", std::nullopt, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    const auto entry = bench::ParseJournalLine(r.line);
    ASSERT_EQ(entry.has_value(), r.ms.has_value());
    if (!entry) continue;
    EXPECT_EQ(entry->wallMs, *r.ms);
    EXPECT_EQ(entry->text, r.text);
  }
}

TEST(FireDelays, CountdownLabelStepsOneSecondAtATime) {
  EXPECT_EQ(bench::LabelSeconds(" 1 Days 02 Hours 03 Mins 04 Secs"), 93784);
  EXPECT_EQ(bench::LabelSeconds("Timer is inactive"), std::nullopt);
  struct Row {
    std::vector<std::string> values;
    int distinct, skips, repeats;
  } const rows[] = {
      {{" 10 Minute(s) 00 Second(s)", " 09 Minute(s) 59 Second(s)", " 09 Minute(s) 58 Second(s)"}, 3, 0, 0},
      {{" 05 Second(s)", " 03 Second(s)", " 04 Second(s)", "Timer is inactive"}, 4, 1, 2},
  };
  for (const Row& r : rows) {
    const bench::LabelSteps got = bench::CountLabelSteps(r.values);
    EXPECT_EQ(got.distinct, r.distinct);
    EXPECT_EQ(got.skips, r.skips);
    EXPECT_EQ(got.repeats, r.repeats);
  }
}

TEST(FireDelays, MedianOfOddAndEvenCounts) {
  struct Row {
    std::vector<std::int64_t> values;
    std::int64_t median;
  } const rows[] = {
      {{}, 0}, {{7}, 7}, {{5, 1, 3}, 3}, {{40, 10, 30, 20}, 25}, {{1000, 0}, 500},
  };
  for (const Row& r : rows) EXPECT_EQ(bench::Median(r.values), r.median);
}

}  // namespace
