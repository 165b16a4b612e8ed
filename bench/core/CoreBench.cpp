// Micro-benchmarks of the portable core: what one poll of each trigger kind
// costs, the pattern matcher at its worst, the settings reads a page makes
// when it opens, and the countdown label the display timer formats every
// second. All of it runs against the in-memory platform with a fixed clock,
// so the figures measure our code and not the machine's registry or clock.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>

#include "app/TriggerText.h"
#include "localization/Localization.h"
#include "platform/FileSystem.h"
#include "model/DateTime.h"
#include "model/Trigger.h"
#include "model/WildcardMatch.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/FakeDesktop.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingSchema.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"

namespace {

using namespace Vesperon;

// The services every benchmark sees: a clock standing at a Monday noon in
// the middle of a month, a desktop with a realistic process list, a registry
// that lives in memory. Installed once for the whole run.
struct BenchWorld {
  platform::FakeClock clock{{2026, 6, 15, 12, 0, 0}};
  platform::FakeDesktop desktop;
  platform::MemoryRegistry registry;
  platform::ScopedClock scopedClock{clock};
  platform::ScopedDesktop scopedDesktop{desktop};
  platform::ScopedRegistry scopedRegistry{registry};

  BenchWorld() {
    for (int i = 0; i < 50; ++i) desktop.processNames.push_back("service" + std::to_string(i) + ".exe");
  }
  const TriggerHistory history{MakeDateTime(2026, 6, 15, 11, 0, 0), MakeSpan(0, 0, 0, 60)};
};

BenchWorld& World() {
  static BenchWorld world;
  return world;
}

// One trigger of each kind, waiting (the state it spends nearly all its
// polls in); the process trigger's pattern matches nothing, so each poll
// walks the whole list.
struct TriggerCase {
  const char* name;
  std::unique_ptr<Trigger> (*make)();
};

const TriggerCase kTriggerCases[] = {
    {"OneTime", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<OneTimeTrigger>(MakeDateTime(2026, 6, 16, 8, 0, 0));
     }},
    {"Countdown", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<CountdownTrigger>(Now() + MakeSpan(0, 1, 30, 0));
     }},
    {"Daily", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<DailyTrigger>(MakeDateTime(2000, 1, 1, 18, 0, 0));
     }},
    {"Weekly", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<WeeklyTrigger>(MakeDateTime(2000, 1, 1, 7, 5, 0), 6);
     }},
    // The 31st: the next occurrence lies past a month that lacks it.
    {"Monthly", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<MonthlyTrigger>(MakeDateTime(2000, 1, 1, 7, 5, 0), 31);
     }},
    {"DiskDefragmenter", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<DiskDefragmenterTrigger>();
     }},
    {"Process", []() -> std::unique_ptr<Trigger> {
       return std::make_unique<ProcessTrigger>("backup*.exe");
     }},
};

void BenchEvaluate(benchmark::State& state, const TriggerCase* c) {
  const TriggerHistory& history = World().history;
  const std::unique_ptr<Trigger> trigger = c->make();
  TimeSpan out;
  for (auto _ : state) {
    benchmark::DoNotOptimize(trigger->Evaluate(history, out));
    benchmark::DoNotOptimize(out);
  }
}

void BenchPollInterval(benchmark::State& state, const TriggerCase* c) {
  const TriggerHistory& history = World().history;
  const std::unique_ptr<Trigger> trigger = c->make();
  for (auto _ : state) benchmark::DoNotOptimize(trigger->PollInterval(history));
}

// Worst cases of the single-star backtracking matcher: every retry runs the
// rest of the pattern again, so long names with a near-miss tail cost
// pattern length times name length.
struct WildcardCase {
  const char* name;
  std::string pattern;
  std::string text;
};

std::vector<WildcardCase> WildcardCases() {
  const std::string longA(255, 'a');  // the longest file name Windows allows
  std::string manyStars;
  for (int i = 0; i < 60; ++i) manyStars += "*a";
  return {
      {"ShortMatch", "NOTEPAD*.EXE", "NOTEPAD.EXE"},
      {"LongNearMissTail", "*" + std::string(100, 'a') + "b", longA},
      {"ManyStarsNoMatch", manyStars + "b", longA},
      {"ManyStarsMatch", manyStars, longA},
      {"QuestionMarksNoMatch", "*" + std::string(120, '?') + "b", longA},
  };
}

void BenchWildcard(benchmark::State& state, const WildcardCase& c) {
  for (auto _ : state) benchmark::DoNotOptimize(WildcardMatch(c.pattern, c.text));
}

// The id lists the option pages read when they open. The store opens and
// closes the keys for every call, so the cost grows with the list.
struct PageRead {
  const char* name;
  std::string section;
  std::vector<DataSystem::SettingId> numbers;
  std::vector<DataSystem::SettingId> strings;
};

std::vector<PageRead> PageReads() {
  using namespace DataSystem;
  return {
      {"TriggerStartup", "Global",
       {kExpireDelay, kAutoStopTimer, kPresTrgrAct, kMinimize, kSplashScr, kAutoReactTrgr},
       {}},
      {"Appearance", "Global",
       {kTransluc, kAnimType, kBkGrType, kBkGrColR, kBkGrColG, kBkGrColB, kAnimDirec},
       {kLang, kBkGrImg}},
      {"Reminder", "Profiles\\Default", {kPlay, kLooped, kClose, kClsTime, kClsTType}, {kTxt, kPath}},
      {"MainForm", "Profiles\\Default",
       {kMainFormAction, kTrigger, kTriggerDate, kTriggerTime, kTriggerCmb1, kTriggerActive,
        kTriggerEdit},
       {kTriggerCmb2, kLastEvent}},
  };
}

// Reads of a page whose values exist (the first read of a fresh registry
// writes the defaults; that happens once per installation, not per open).
void BenchReadNumbers(benchmark::State& state, const PageRead& page) {
  World();
  std::vector<std::uint32_t> values;
  DataSystem::ReadNumbers(page.numbers, values, page.section, DataSystem::kHiveCurrentUser);
  for (auto _ : state) {
    DataSystem::ReadNumbers(page.numbers, values, page.section, DataSystem::kHiveCurrentUser);
    benchmark::DoNotOptimize(values.data());
  }
}

void BenchReadStrings(benchmark::State& state, const PageRead& page) {
  World();
  std::vector<std::string> values;
  DataSystem::ReadStrings(page.strings, values, page.section, DataSystem::kHiveCurrentUser);
  for (auto _ : state) {
    DataSystem::ReadStrings(page.strings, values, page.section, DataSystem::kHiveCurrentUser);
    benchmark::DoNotOptimize(values.data());
  }
}

// One label per pattern the countdown shows, from seconds to the longest
// span the progress bar can measure.
struct RemainingCase {
  const char* name;
  TimeSpan span;
};

void BenchFormatRemaining(benchmark::State& state, const RemainingCase& c) {
  for (auto _ : state) benchmark::DoNotOptimize(FormatRemaining(c.span));
}

// Baselines measured in the same run, one per group, so that the report can
// say how far each operation is from the least it must do: reading the
// clock (every time-based poll does), comparing two whole names, opening one
// key and reading one value from it, formatting one number.
void BaselineNow(benchmark::State& state) {
  World();
  for (auto _ : state) benchmark::DoNotOptimize(Now());
}

void BaselineStringEquals(benchmark::State& state) {
  const std::string a(255, 'a');
  std::string b = a;
  benchmark::DoNotOptimize(b.data());
  for (auto _ : state) benchmark::DoNotOptimize(a == b);
}

void BaselineRegistryValue(benchmark::State& state) {
  World();
  std::vector<std::uint32_t> values;
  DataSystem::ReadNumbers({DataSystem::kMinimize}, values, "Global", DataSystem::kHiveCurrentUser);
  const std::string path = std::string(DataSystem::RootKeyPath) + "\\Global\\TriggerStartup";
  platform::IRegistry& registry = platform::Registry();
  for (auto _ : state) {
    platform::RegKey key = 0;
    registry.OpenKey(platform::kCurrentUser, path, platform::kKeyRead, key);
    std::uint32_t value = 0, size = sizeof value, type = 0;
    registry.QueryValue(key, "Minimize", &type, &value, &size);
    registry.CloseKey(key);
    benchmark::DoNotOptimize(value);
  }
}

void BaselineFormatNumber(benchmark::State& state) {
  int n = 45;
  for (auto _ : state) {
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(" " + std::to_string(n) + " Second(s)");
  }
}

// A large language file: 40 sets of 100 entries each, written once into a
// temporary folder. Loading the last set reads the whole file, the worst a
// page can meet; the baseline reads the same lines and does nothing else.
struct LanguageFile {
  std::string folder;
  LanguageFile() {
    char pattern[] = "/tmp/vesperon-bench-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : "/tmp";
    std::ofstream out(folder + "/Big.ldf", std::ios::binary);
    out << "LOCALIZATION DATA FILE - FORMAT V0.1\r\n";
    for (int set = 1; set <= 40; ++set) {
      out << "STRINGSET " << std::setw(4) << std::setfill('0') << set << "\r\n; set " << set << "\r\n";
      for (int id = 1; id <= 100; ++id)
        out << std::setw(4) << std::setfill('0') << id << " Caption number " << id << " of set " << set
            << "\r\n";
    }
  }
  ~LanguageFile() {
    std::remove((folder + "/Big.ldf").c_str());
    rmdir(folder.c_str());
  }
};

LanguageFile& BigLanguageFile() {
  static LanguageFile file;
  return file;
}

void BaselineReadLines(benchmark::State& state) {
  const std::string path = BigLanguageFile().folder + "/Big.ldf";
  for (auto _ : state) {
    std::uint32_t error = 0;
    std::unique_ptr<platform::ITextFile> file = platform::FileSystem().OpenTextFile(path, error);
    std::string line;
    std::size_t lines = 0;
    while (file && file->ReadLine(line)) ++lines;
    benchmark::DoNotOptimize(lines);
  }
}

void BenchLoadStringSet(benchmark::State& state) {
  LocalizationProvider provider(BigLanguageFile().folder, "Big");
  const std::int32_t last = 40;
  for (auto _ : state) benchmark::DoNotOptimize(provider.LoadStringSet(last));
}

void RegisterAll() {
  benchmark::RegisterBenchmark("Baseline/Now", BaselineNow);
  benchmark::RegisterBenchmark("Baseline/StringEquals", BaselineStringEquals);
  benchmark::RegisterBenchmark("Baseline/RegistryValue", BaselineRegistryValue);
  benchmark::RegisterBenchmark("Baseline/FormatNumber", BaselineFormatNumber);
  benchmark::RegisterBenchmark("Baseline/ReadLines", BaselineReadLines);
  benchmark::RegisterBenchmark("LoadStringSet/LastOf40Sets", BenchLoadStringSet);
  for (const TriggerCase& c : kTriggerCases) {
    benchmark::RegisterBenchmark((std::string("Evaluate/") + c.name).c_str(), BenchEvaluate, &c);
  }
  for (const TriggerCase& c : kTriggerCases) {
    benchmark::RegisterBenchmark((std::string("PollInterval/") + c.name).c_str(), BenchPollInterval,
                                 &c);
  }
  static const std::vector<WildcardCase> wildcards = WildcardCases();
  for (const WildcardCase& c : wildcards) {
    benchmark::RegisterBenchmark((std::string("WildcardMatch/") + c.name).c_str(), BenchWildcard, c);
  }
  static const std::vector<PageRead> pages = PageReads();
  for (const PageRead& p : pages) {
    benchmark::RegisterBenchmark((std::string("ReadNumbers/") + p.name).c_str(), BenchReadNumbers, p);
    if (!p.strings.empty()) {
      benchmark::RegisterBenchmark((std::string("ReadStrings/") + p.name).c_str(), BenchReadStrings,
                                   p);
    }
  }
  static const RemainingCase remaining[] = {
      {"Seconds", MakeSpan(0, 0, 0, 45)},
      {"Hours", MakeSpan(0, 5, 4, 3)},
      {"Days", MakeSpan(400, 23, 59, 59)},
      {"Largest", TimeSpan(2147483647.0 / 86400.0, DateTimeStatus::Valid)},
  };
  for (const RemainingCase& c : remaining) {
    benchmark::RegisterBenchmark((std::string("FormatRemaining/") + c.name).c_str(),
                                 BenchFormatRemaining, c);
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
