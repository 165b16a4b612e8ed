#pragma once
// How late a countdown's action comes after its occurrence, worked out from
// the simulation program's journal. The program reads the clock in whole
// seconds, so a countdown of N seconds started at wall time r is due at
// floor(r) + N; when it starts over by itself after firing, r is the moment
// of that fire. The journal gives each fire's wall time to the millisecond.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// A journal line written with the clock on: "@<ms since 1970 UTC> <text>".
struct JournalEntry {
  std::int64_t wallMs = 0;
  std::string text;
};
std::optional<JournalEntry> ParseJournalLine(const std::string& line);

struct FireDelays {
  std::vector<std::int64_t> delaysMs;  // one per fire whose occurrence is known
  // Fires whose start second cannot be told: the fire before them (or the
  // click that activated) lay so close to the end of a second that the
  // restart may have read the next one.
  int ambiguous = 0;
  // Fires that came before their occurrence: the scheduler fired early.
  int early = 0;
};

// `activatedFromMs` .. `activatedToMs` bracket the click that activated the
// countdown; `firesMs` are the fires in order. A restart is taken to read
// the clock within `restartMarginMs` after the fire it follows.
FireDelays ComputeFireDelays(std::int64_t activatedFromMs, std::int64_t activatedToMs,
                             const std::vector<std::int64_t>& firesMs, int countdownSeconds,
                             std::int64_t restartMarginMs);

// The countdown label over time: the remaining seconds a label such as
// " 9 Minute(s) 59 Second(s)" or " 1 Days 02 Hours 03 Mins 04 Secs" shows
// (its numbers, the last one seconds), or none for a label without numbers.
std::optional<std::int64_t> LabelSeconds(const std::string& label);

// The label's successive values as sampled (each one differing from the one
// before): how many there were, how many steps skipped a second, and how
// many did not go down (a second shown again, or an unreadable label).
struct LabelSteps {
  int distinct = 0;
  int skips = 0;
  int repeats = 0;
};
LabelSteps CountLabelSteps(const std::vector<std::string>& values);

// The middle value (the mean of the two middle values for an even count);
// 0 for none.
std::int64_t Median(std::vector<std::int64_t> values);

}  // namespace bench
