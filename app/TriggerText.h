#pragma once
// What the main window says about its trigger: the sentence that describes
// it (status bar and activation balloon), the remaining time of the countdown
// label with the progress bar position that goes with it, and every fixed
// text the scheduler engine shows. The texts are fixed wording, not passed
// through the language files; users know them as they are, misspellings
// included.
#include <cstdint>
#include <string>

#include "actions/ActionCatalog.h"
#include "model/DateTime.h"
#include "model/Trigger.h"

namespace Vesperon {

// Countdown label (control 1014).
inline constexpr char kTimerInactiveText[] = "Timer is inactive";     // before any trigger
inline constexpr char kTriggerInactiveText[] = "Trigger is inactive.";
inline constexpr char kNoTimeLeftText[] = " 00 Second(s)";            // due or missed
inline constexpr char kUnknownTimeText[] = "Unknown";                 // event triggers
// Status bar part 0.
inline constexpr char kTriggerInformationText[] = "Trigger information";
inline constexpr char kTriggerMissedText[] = "Trigger was missed.";
inline constexpr char kClockSetBackText[] = "Trigger was deactived (System time was set back)";
// Balloon text of a deactivation with notification; the title and time-out
// of every balloon are the dispatcher's kNotificationTitle and
// kNotificationTimeoutMs.
inline constexpr char kTriggerDeactivatedText[] = "Trigger was deactivated";
// Message box of a one-time trigger set in the past.
inline constexpr char kPastTargetText[] =
    "Bad trigger parameters: Action is scheduled to arise in the past.";
inline constexpr char kMessageCaption[] = "Vesperon";
// Message box of an activation with no action selected (none stored, or a
// stored action this Windows version does not offer).
inline constexpr char kSelectActionText[] = "Please select an action.";
// Activating an event trigger whose condition is met already: refused, or
// asked about (the action would run at the first poll).
inline constexpr char kEnterProcessNameText[] = "Please enter a process name.";
inline constexpr char kNoDefragmenterQuestion[] =
    "No disk defragmenter is running. The action would run at once. Activate anyway?";
// 'No running process matches "NAME". The action would run at once. Activate anyway?'
std::string NoMatchingProcessQuestion(const std::string& pattern);

// The remaining time as the countdown label shows it: the largest non-zero
// unit decides the pattern and every smaller unit is shown with it, so
// " 1 Days 00 Hours 00 Mins 00 Secs" but " 45 Second(s)". Units come from the
// span's totals, which round to the nearest second first.
std::string FormatRemaining(const TimeSpan& remaining);

// The sentence for the trigger the fields describe and the selected action,
// e.g. `Action "Reboot" is scheduled to arise every Monday at 07:05:00`.
// `weekdayText` is the weekly trigger's day as the weekday list shows it. An
// id that names no action gives an empty name; a kind outside the list
// leaves the sentence at its action part.
std::string BuildTriggerDescription(const TriggerFields& fields, ActionId action,
                                    const std::string& weekdayText);

// The unit of the progress bar's range, chosen at activation as the finest
// in which the remaining time fits a signed 32-bit range.
enum class ProgressUnit : std::int32_t {
  Seconds = 0,
  Minutes = 1,
  Hours = 2,
  Days = 3,
  ClampedDays = 4,  // days, limited to 2147483647
};

// The span in whole units, rounded to the nearest second like the span's
// totals but counted in 64 bits, so that spans too long for a 32-bit total
// still measure correctly when the unit is chosen.
std::int64_t WholeTotal(const TimeSpan& span, ProgressUnit unit);

// The progress bar position for the remaining time: its whole total in the
// unit, kept within 0 .. 2147483647 (a repeating trigger's later occurrences
// may need more than the range chosen for the first).
std::int32_t ProgressPosition(const TimeSpan& remaining, ProgressUnit unit);

// What one refresh of the countdown shows for an active trigger.
struct CountdownView {
  std::string label;
  bool setsProgress = false;  // the progress position changes only while counting
  std::int32_t progress = 0;
};
CountdownView ComputeCountdownView(TriggerState state, const TimeSpan& out, ProgressUnit unit);

}  // namespace Vesperon
