#pragma once
// What the "Trigger / Startup" options page shows and writes, apart from
// its controls: the start-up boxes and which of them the user may change,
// the settings of section "Global" it edits, and the expiry delay, stored
// in seconds and edited as whole days plus a time of day.
#include <cstdint>

namespace Vesperon {

// The expiry delay as the page edits it.
struct DelayParts {
  std::int32_t days = 0;
  std::int32_t hours = 0, minutes = 0, seconds = 0;
  friend bool operator==(const DelayParts&, const DelayParts&) = default;
};
inline constexpr std::int32_t kMaxDelayDays = 10000;
// The longest delay the page can hold: 10000 days and 23:59:59.
inline constexpr std::uint32_t kMaxExpireDelaySeconds = kMaxDelayDays * 86400u + 86399u;

// The stored delay as the program uses it. The value is an unsigned number
// of seconds that only a hand edit can push past what the page offers; it
// is held to that longest delay, so that no stored value can turn the
// expiry window negative and make every occurrence count as missed.
std::uint32_t UsableExpireDelay(std::uint32_t stored);

DelayParts SplitExpireDelay(std::uint32_t seconds);
// ((days * 24 + hours) * 60 + minutes) * 60 + seconds, with the days first
// brought into 0..10000 as the field allows.
std::uint32_t JoinExpireDelay(const DelayParts& parts);
// The days field's range: below 0 gives 0, above 10000 gives 10000.
std::int32_t ClampDelayDays(std::int64_t days);

// The seconds of the last warning before an action: the stored value held
// to what the page offers.
inline constexpr std::uint32_t kMinWarnSeconds = 5;
inline constexpr std::uint32_t kMaxWarnSeconds = 600;
std::uint32_t UsableWarnSeconds(std::uint32_t stored);

struct TriggerStartupValues {
  bool runAsService = false;
  bool runAtStartUp = false;
  bool preserveActivation = false;  // PresTrgrAct
  bool startMinimized = false;      // Minimize
  bool splashScreen = false;        // SplashScr
  bool stopTimer = false;           // AutoStopTimer
  DelayParts delay;                 // ExpireDelay
  bool reactivate = false;          // AutoReactTrgr
  bool warnBefore = false;          // WarnBefore
  std::uint32_t warnSeconds = 30;   // WarnSecs
  friend bool operator==(const TriggerStartupValues&, const TriggerStartupValues&) = default;
};

struct TriggerStartupPage {
  TriggerStartupValues values;
  // "Run as system service": changeable only on the 9x line.
  bool serviceBoxEnabled = false;
  // "Run at Windows start up / log on" and "Start minimized": not while the
  // program runs as a service, which implies both.
  bool startUpBoxesEnabled = true;
};

// The page's state from the system and the stored settings.
TriggerStartupPage LoadTriggerStartupPage();
// The boxes' rule: checking the service box checks and locks the other two.
void OnServiceBoxChanged(TriggerStartupPage& page, bool checked);
// Applies the start-up choices, then writes the settings. A failure leaves
// as an exception and skips what follows it.
void SaveTriggerStartupPage(const TriggerStartupValues& values);

}  // namespace Vesperon
