#include "app/TriggerStartupOptions.h"

#include "settings/SettingsRecords.h"
#include "system/Autostart.h"
#include "model/ModulePath.h"
#include "model/OsVersion.h"
#include "system/Service.h"

namespace Vesperon {
namespace {

constexpr std::uint32_t kSecondsPerDay = 86400;

}  // namespace

std::uint32_t UsableExpireDelay(std::uint32_t stored) {
  return stored > kMaxExpireDelaySeconds ? kMaxExpireDelaySeconds : stored;
}

std::uint32_t UsableWarnSeconds(std::uint32_t stored) {
  if (stored < kMinWarnSeconds) return kMinWarnSeconds;
  return stored > kMaxWarnSeconds ? kMaxWarnSeconds : stored;
}

DelayParts SplitExpireDelay(std::uint32_t seconds) {
  DelayParts parts;
  parts.days = static_cast<std::int32_t>(seconds / kSecondsPerDay);
  const std::uint32_t rest = seconds % kSecondsPerDay;
  parts.hours = static_cast<std::int32_t>(rest / 3600);
  parts.minutes = static_cast<std::int32_t>(rest % 3600 / 60);
  parts.seconds = static_cast<std::int32_t>(rest % 60);
  return parts;
}

std::int32_t ClampDelayDays(std::int64_t days) {
  if (days < 0) return 0;
  if (days > kMaxDelayDays) return kMaxDelayDays;
  return static_cast<std::int32_t>(days);
}

std::uint32_t JoinExpireDelay(const DelayParts& parts) {
  // 10000 days and a day's worth of seconds stay far below 2^32.
  const std::int64_t total =
      ((static_cast<std::int64_t>(ClampDelayDays(parts.days)) * 24 + parts.hours) * 60 +
       parts.minutes) * 60 + parts.seconds;
  return total < 0 ? 0 : static_cast<std::uint32_t>(total);
}

TriggerStartupPage LoadTriggerStartupPage() {
  TriggerStartupPage page;
  const bool ntLine = IsOsVersionAtLeast(0, 100);
  page.values.runAsService = ntLine ? IsServiceInstalled() : IsRunServicesEntry(GetModulePath());

  DataSystem::StartupSettings stored;
  stored.Load();
  if (page.values.runAsService) {
    page.values.runAtStartUp = true;
    page.values.startMinimized = true;
    page.startUpBoxesEnabled = false;
  } else {
    page.values.runAtStartUp = IsRunEntry(GetModulePath(), DataSystem::kHiveCurrentUser);
    page.values.startMinimized = stored.startMinimized;
  }
  page.serviceBoxEnabled = !ntLine;
  page.values.preserveActivation = stored.preserveActivation;
  page.values.splashScreen = stored.splashScreen;
  page.values.stopTimer = stored.stopTimer;
  page.values.delay = SplitExpireDelay(UsableExpireDelay(stored.expireDelay));
  page.values.reactivate = stored.reactivate;
  page.values.warnBefore = stored.warnBefore;
  page.values.warnSeconds = UsableWarnSeconds(stored.warnSeconds);
  return page;
}

void OnServiceBoxChanged(TriggerStartupPage& page, bool checked) {
  page.values.runAsService = checked;
  page.startUpBoxesEnabled = !checked;
  if (checked) {
    page.values.runAtStartUp = true;
    page.values.startMinimized = true;
  }
}

void SaveTriggerStartupPage(const TriggerStartupValues& v) {
  ApplyStartupChoices(v.runAsService, v.runAtStartUp);
  DataSystem::StartupSettings{v.preserveActivation, v.startMinimized, v.splashScreen, v.stopTimer,
                              JoinExpireDelay(v.delay), v.reactivate, v.warnBefore,
                              UsableWarnSeconds(v.warnSeconds)}
      .Save();
}

}  // namespace Vesperon
