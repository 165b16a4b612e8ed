#include "bench/FireDelays.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace bench {

namespace {
// Whole seconds of a wall time (after 1970: division rounds down).
std::int64_t SecondOf(std::int64_t ms) { return ms / 1000; }
}  // namespace

std::optional<JournalEntry> ParseJournalLine(const std::string& line) {
  if (line.size() < 2 || line[0] != '@') return std::nullopt;
  const std::size_t space = line.find(' ');
  if (space == std::string::npos || space == 1) return std::nullopt;
  const std::string digits = line.substr(1, space - 1);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long ms = std::strtoll(digits.c_str(), &end, 10);
  if (errno == ERANGE || *end != '\0') return std::nullopt;
  return JournalEntry{ms, line.substr(space + 1)};
}

FireDelays ComputeFireDelays(std::int64_t activatedFromMs, std::int64_t activatedToMs,
                             const std::vector<std::int64_t>& firesMs, int countdownSeconds,
                             std::int64_t restartMarginMs) {
  FireDelays result;
  // The start second of the countdown that ends in the next fire, and
  // whether it is certain.
  std::int64_t start = SecondOf(activatedFromMs);
  bool known = SecondOf(activatedFromMs) == SecondOf(activatedToMs);
  for (std::int64_t fire : firesMs) {
    if (!known) {
      ++result.ambiguous;
    } else {
      const std::int64_t delay = fire - (start + countdownSeconds) * 1000;
      if (delay < 0) {
        ++result.early;
      } else {
        result.delaysMs.push_back(delay);
      }
    }
    // The restart follows this fire; it read the same second unless the
    // fire came too close to that second's end.
    start = SecondOf(fire);
    known = SecondOf(fire) == SecondOf(fire + restartMarginMs);
  }
  return result;
}

std::optional<std::int64_t> LabelSeconds(const std::string& label) {
  static constexpr std::int64_t kUnits[] = {1, 60, 3600, 86400};
  std::vector<std::int64_t> numbers;
  for (std::size_t i = 0; i < label.size();) {
    if (label[i] < '0' || label[i] > '9') {
      ++i;
      continue;
    }
    std::int64_t n = 0;
    for (; i < label.size() && label[i] >= '0' && label[i] <= '9'; ++i) n = n * 10 + (label[i] - '0');
    numbers.push_back(n);
  }
  if (numbers.empty() || numbers.size() > 4) return std::nullopt;
  std::int64_t seconds = 0;
  for (std::size_t k = 0; k < numbers.size(); ++k) seconds += numbers[numbers.size() - 1 - k] * kUnits[k];
  return seconds;
}

LabelSteps CountLabelSteps(const std::vector<std::string>& values) {
  LabelSteps steps;
  std::optional<std::int64_t> previous;
  for (const std::string& value : values) {
    ++steps.distinct;
    const auto seconds = LabelSeconds(value);
    if (steps.distinct > 1) {
      if (!seconds || !previous || *seconds >= *previous) {
        ++steps.repeats;
      } else if (*previous - *seconds > 1) {
        ++steps.skips;
      }
    }
    previous = seconds;
  }
  return steps;
}

std::int64_t Median(std::vector<std::int64_t> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace bench
