// Ten simulated years of sleep, restarts and clock changes: an occurrence fires at most
// once, inside its expiry window, and always when the program was awake inside the window
// and LastEvent lay before it. VESPERON_SOAK_SEED repeats a run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>

#include "app/SchedulerEngine.h"
#include "model/OleDate.h"
#include "tests/support/EngineSimulation.h"

namespace {

using namespace Vesperon;
using testsupport::EngineSimulation;

constexpr std::int64_t kDay = 86400;

// Wall moments as whole seconds since 1 January 1970, local time.
std::int64_t Seconds(const DateTime& d) {
  return OleDate::DaysFromCivil(d.Year(), d.Month(), d.Day()) * kDay + d.Hour() * 3600 +
         d.Minute() * 60 + d.Second();
}

std::string Text(std::int64_t seconds) {
  std::int64_t year = 0;
  int month = 0, day = 0;
  const std::int64_t days = seconds >= 0 ? seconds / kDay : (seconds - kDay + 1) / kDay;
  OleDate::CivilFromDays(days, year, month, day);
  const std::int64_t rest = seconds - days * kDay;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(year), month,
                day, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
                static_cast<int>(rest % 60));
  return text;
}

// The schedule, worked out on the calendar directly.
struct Schedule {
  TriggerKind kind;
  int timeOfDay;     // seconds after midnight
  int weekdayIndex;  // weekly: 0 Sunday
  int dayOfMonth;    // monthly

  bool OnDay(std::int64_t days) const {
    std::int64_t year = 0;
    int month = 0, day = 0;
    OleDate::CivilFromDays(days, year, month, day);
    switch (kind) {
      case TriggerKind::Weekly: return ((days % 7) + 7 + 4) % 7 == weekdayIndex;  // 1970-01-01: Thursday
      case TriggerKind::Monthly: return day == dayOfMonth;
      default: return true;
    }
  }
  // The latest occurrence at or before `t`.
  std::int64_t Latest(std::int64_t t) const {
    for (std::int64_t days = t / kDay;; --days) {
      const std::int64_t at = days * kDay + timeOfDay;
      if (at <= t && OnDay(days)) return at;
    }
  }
  // The first occurrence after `t`.
  std::int64_t Next(std::int64_t t) const {
    for (std::int64_t days = t / kDay;; ++days) {
      const std::int64_t at = days * kDay + timeOfDay;
      if (at > t && OnDay(days)) return at;
    }
  }
};

class Soak {
 public:
  Soak(const Schedule& schedule, std::int64_t expireSeconds, std::uint64_t seed)
      : schedule_(schedule), expire_(expireSeconds), random_(seed), sim_({2004, 2, 27, 9, 0, 0}, 300) {}

  void Run(int years) {
    sim_.SetGlobal(DataSystem::kExpireDelay, static_cast<std::uint32_t>(expire_));
    sim_.window.fields = {static_cast<std::int32_t>(schedule_.kind), 2004, 2, 27,
                          schedule_.timeOfDay / 3600, schedule_.timeOfDay / 60 % 60,
                          schedule_.timeOfDay % 60, schedule_.dayOfMonth, schedule_.weekdayIndex, ""};
    sim_.engine.OnActivateClicked();
    ASSERT_TRUE(sim_.engine.IsActive());
    lastEvent_ = Wall();
    sim_.engine.OnWindowShown(false);
    BeginEpisode(kWoken);

    const std::int64_t end = Wall() + years * 365 * kDay;
    while (Wall() < end && !testing::Test::HasFailure()) Step();
    EndEpisode();
    std::cout << "[   soak   ] " << fires_.size() << " occurrences fired, " << required_
              << " required, ending " << Text(Wall()) << std::endl;
  }

 private:
  // The first poll of an episode: at once after waking, within a minute after a clock change.
  enum Start { kWoken = 1, kClockMoved = 61 };

  std::int64_t Wall() const { return Seconds(Now()); }
  std::int64_t Pick(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
  }

  void Step() {
    const std::int64_t now = Wall();
    // Head for an occurrence a few ahead: ten years pass quickly, every kind of arrival comes up.
    std::int64_t target = schedule_.Next(now);
    for (std::int64_t skip = Pick(0, schedule_.kind == TriggerKind::Daily ? 2 : 1); skip > 0; --skip) {
      target = schedule_.Next(target);
    }
    // Where to arrive: before the occurrence, inside its window, or after it.
    std::int64_t arrive = target + Pick(-400, expire_ + 900);
    switch (Pick(0, 9)) {
      case 0:
        arrive = now + Pick(1, 3 * kDay);  // somewhere, not near anything
        break;
      case 1:
        Jump(-Pick(1, 2 * kDay));  // set back while awake
        Run(Pick(0, 2 * 3600));
        return;
      default:
        break;
    }
    if (arrive <= now) arrive = now + 1;
    switch (Pick(0, 3)) {
      case 0:
        Move(arrive - now, kWoken);  // asleep until then
        break;
      case 1:
        Restart(arrive - now);
        break;
      case 2:
        Jump(arrive - now);  // the clock set forward while awake
        break;
      default:
        // Running; days away are slept through, as minute polls prove little and cost much.
        if (arrive - now <= 2 * kDay) {
          Run(arrive - now);
        } else {
          Move(arrive - now, kWoken);
        }
        break;
    }
    Run(Pick(0, expire_ + 600));
  }

  void Run(std::int64_t seconds) {
    sim_.RunFor(seconds * 1000);
    Audit();
  }
  void Move(std::int64_t seconds, Start start) {
    EndEpisode();
    sim_.Sleep(seconds * 1000);
    BeginEpisode(start);
  }
  void Restart(std::int64_t seconds) {
    EndEpisode();
    sim_.Restart(seconds * 1000, false);
    ASSERT_TRUE(sim_.engine.IsActive()) << "not restored at " << Text(Wall());
    sim_.engine.OnWindowShown(false);
    BeginEpisode(kWoken);
  }
  void Jump(std::int64_t seconds) {
    EndEpisode();
    sim_.SetClockBy(seconds);
    BeginEpisode(kClockMoved);
  }

  void BeginEpisode(Start start) {
    episodeStart_ = Wall();
    startSlack_ = start;
    handledUpTo_ = Seconds(LastEvent());
  }

  // Every fire so far: inside its occurrence's window, one per occurrence.
  void Audit() {
    const auto& runs = sim_.window.executions;
    for (; audited_ < runs.size(); ++audited_) {
      const std::int64_t at = Seconds(runs[audited_].clock);
      const std::int64_t occurrence = schedule_.Latest(at);
      EXPECT_LE(at - occurrence, expire_) << "fired at " << Text(at) << " for " << Text(occurrence);
      EXPECT_TRUE(fires_.insert(occurrence).second)
          << "second fire at " << Text(at) << " for " << Text(occurrence);
      // Only fires move LastEvent after the activation.
      EXPECT_GT(occurrence, lastEvent_) << "fired at " << Text(at) << " for " << Text(occurrence)
                                        << ", handled up to " << Text(lastEvent_);
      lastEvent_ = at;
    }
  }

  // Every unhandled occurrence the program was awake for has fired: inside the episode with
  // time for a poll, or just before its start with the window still open.
  void EndEpisode() {
    Audit();
    const std::int64_t end = Wall();
    const std::int64_t slack = startSlack_;
    std::set<std::int64_t> due;
    const std::int64_t before = schedule_.Latest(episodeStart_);
    if (episodeStart_ - before + slack <= expire_ && episodeStart_ + slack <= end) due.insert(before);
    for (std::int64_t o = schedule_.Next(episodeStart_); o + kClockMoved <= end; o = schedule_.Next(o)) {
      due.insert(o);
    }
    for (const std::int64_t o : due) {
      if (o <= handledUpTo_) continue;  // LastEvent already lies at or after it
      ++required_;
      EXPECT_EQ(fires_.count(o), 1u) << "missed " << Text(o) << " awake from " << Text(episodeStart_)
                                     << " to " << Text(end) << ", handled up to "
                                     << Text(handledUpTo_);
    }
  }

  Schedule schedule_;
  std::int64_t expire_;
  std::mt19937_64 random_;
  EngineSimulation sim_;
  std::set<std::int64_t> fires_;
  std::size_t audited_ = 0;
  std::int64_t episodeStart_ = 0;
  std::int64_t startSlack_ = kWoken;
  std::int64_t handledUpTo_ = 0;
  std::int64_t lastEvent_ = 0;  // the wall moment LastEvent holds
  int required_ = 0;
};

std::uint64_t SoakSeed() {
  if (const char* text = std::getenv("VESPERON_SOAK_SEED")) return std::strtoull(text, nullptr, 10);
  return 20041105;
}

TEST(SchedulerSoakTest, TenYearsOfSleepRestartsAndClockChanges) {
  const std::uint64_t seed = SoakSeed();
  const struct {
    const char* name;
    Schedule schedule;
    std::int64_t expireSeconds;
  } rows[] = {
      {"daily 21:17:43", {TriggerKind::Daily, 21 * 3600 + 17 * 60 + 43, 0, 0}, 3600},
      {"weekly Wednesday 00:00:30", {TriggerKind::Weekly, 30, 3, 0}, 600},
      {"monthly 31st 23:59:00", {TriggerKind::Monthly, 23 * 3600 + 59 * 60, 0, 31}, 7200},
      {"monthly 29th 08:00:00", {TriggerKind::Monthly, 8 * 3600, 0, 29}, 120},
  };
  std::uint64_t rowSeed = seed;
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.name << ", VESPERON_SOAK_SEED=" << seed);
    Soak(r.schedule, r.expireSeconds, rowSeed++).Run(10);
  }
}

}  // namespace
