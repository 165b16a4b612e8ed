#include "app/TriggerText.h"

#include <cmath>
#include <limits>

namespace Vesperon {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::string TimeOfDayText(const TriggerFields& f, const char* pattern) {
  // The time picker's date plays no part in any of the patterns.
  return FormatDateTime(MakeDateTime(2000, 1, 1, f.hour, f.minute, f.second), pattern);
}

}  // namespace

std::string FormatRemaining(const TimeSpan& remaining) {
  // The totals are whole numbers held in doubles; fmod keeps their sign,
  // which is what the span patterns print as well.
  if (remaining.TotalDays() != 0) {
    // Beyond 68 years (a long countdown, a one-time target far ahead) the
    // seconds no longer fit the span's 32-bit total and would print as
    // garbage: the whole days are then shown apart from the rest of the day.
    if (remaining.TotalSeconds() == std::numeric_limits<std::int32_t>::min()) {
      const double days = remaining.TotalDays();
      const TimeSpan rest(remaining.days - days, DateTimeStatus::Valid);
      return FormatSpan(TimeSpan(days, DateTimeStatus::Valid), " %D Days") +
             FormatSpan(rest, " %H Hours %M Mins %S Secs");
    }
    return FormatSpan(remaining, " %D Days %H Hours %M Mins %S Secs");
  }
  if (std::fmod(remaining.TotalHours(), 24.0) != 0) {
    return FormatSpan(remaining, " %H Hours %M Mins %S Secs");
  }
  if (std::fmod(remaining.TotalMinutes(), 60.0) != 0) {
    return FormatSpan(remaining, " %M Minute(s) %S Second(s)");
  }
  return FormatSpan(remaining, " %S Second(s)");
}

std::string NoMatchingProcessQuestion(const std::string& pattern) {
  return "No running process matches \"" + pattern +
         "\". The action would run at once. Activate anyway?";
}

std::string BuildTriggerDescription(const TriggerFields& f, ActionId action,
                                    const std::string& weekdayText) {
  std::string text = "Action \"";
  text += GetActionName(action);  // empty for "no selection" and any other stray id
  text += "\" ";
  switch (static_cast<TriggerKind>(f.kind)) {
    case TriggerKind::OneTime:
      text += "will arise at ";
      text += TimeOfDayText(f, "%H:%M:%S |");
      text += FormatDateTime(MakeDateTime(f.year, f.month, f.day, 0, 0, 0), " %B %d, %Y");
      break;
    case TriggerKind::Countdown:
      // The remaining-time pattern brings its own leading blank.
      text += "will arise after";
      text += FormatRemaining(MakeSpan(f.number, f.hour, f.minute, f.second));
      break;
    case TriggerKind::Daily:
      text += "is scheduled to arise daily at ";
      text += TimeOfDayText(f, "%H:%M:%S");
      break;
    case TriggerKind::Weekly:
      text += "is scheduled to arise every ";
      text += weekdayText;
      text += " at ";
      text += TimeOfDayText(f, "%H:%M:%S");
      break;
    case TriggerKind::Monthly:
      // "th" after every number, 1, 2 and 3 included: the wording users know.
      text += "is scheduled to arise monthly: every ";
      text += std::to_string(f.number);
      text += "th at ";
      text += TimeOfDayText(f, "%H:%M:%S");
      break;
    case TriggerKind::DiskDefragmenter:
      text += "will arise after windows defragmentation utility will finish its work.";
      break;
    case TriggerKind::Process:
      text += "will arise when process \"";
      text += f.processText;
      text += "\" stops.";
      break;
  }
  return text;
}

std::int64_t WholeTotal(const TimeSpan& span, ProgressUnit unit) {
  double perDay = 1.0;
  switch (unit) {
    case ProgressUnit::Seconds: perDay = 86400.0; break;
    case ProgressUnit::Minutes: perDay = 1440.0; break;
    case ProgressUnit::Hours: perDay = 24.0; break;
    case ProgressUnit::Days:
    case ProgressUnit::ClampedDays: perDay = 1.0; break;
  }
  const double halfSecond = 0.5 / 86400.0;
  const double rounded = (span.days >= 0.0 ? span.days + halfSecond : span.days - halfSecond) * perDay;
  // Far beyond any span a trigger can give; keeps the conversion defined.
  constexpr double kLimit = 9.0e18;
  if (!(rounded < kLimit)) return static_cast<std::int64_t>(kLimit);
  if (!(rounded > -kLimit)) return -static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(rounded);
}

std::int32_t ProgressPosition(const TimeSpan& remaining, ProgressUnit unit) {
  const std::int64_t total = WholeTotal(remaining, unit);
  if (total < 0) return 0;
  return static_cast<std::int32_t>(total < kInt32Max ? total : kInt32Max);
}

CountdownView ComputeCountdownView(TriggerState state, const TimeSpan& out, ProgressUnit unit) {
  CountdownView view;
  if (state != TriggerState::Waiting) {
    view.label = kNoTimeLeftText;
  } else if (out < ZeroSpan) {
    view.label = kUnknownTimeText;  // the event kinds know no time
  } else {
    view.label = FormatRemaining(out);
    view.setsProgress = true;
    view.progress = ProgressPosition(out, unit);
  }
  return view;
}

}  // namespace Vesperon
