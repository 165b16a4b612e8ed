// Measures the simulation program from outside, under Wine, against the
// two baseline dialogs built in the same tree (a bare one, and one with the
// program's own window template and icons): the time from process start to
// the tray icon, the peak memory, the processor time of a minute's idling
// with a daily trigger active, the delay between countdown and daily
// occurrences and their actions, the countdown label over a minute, one
// poll of the process trigger among fifty running processes, and whether a
// long run grows (fires, shows, balloons). It writes "name value" lines to
// the result file the script reads; it runs inside a Wine virtual desktop
// (which has a tray), so it has no console to print to.
//
//   bench_driver.exe RESULTS SIM BASELINE TEMPLATE WAITER [name=count ...]
// with the counts runs, idle (s), fires, daily, label (s), processes, soak
// (fires), shows and balloons; a count of 0 leaves that measurement out.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "bench/FireDelays.h"
#include "bench/ProcStat.h"
#include "model/DateTime.h"
#include "model/Trigger.h"
#include "tests/e2e/SimProcess.h"

namespace {

constexpr UINT kTrayId = 104;
constexpr WORD kExitCommand = 169, kShowCommand = 170;
constexpr int kActivate = 1000, kNumberField = 1040, kActionList = 1035, kTriggerList = 1036,
              kTimeField = 1037, kCountdownLabel = 1014;

FILE* g_results = nullptr;

void Emit(const std::string& name, double value) {
  std::fprintf(g_results, "%s %.3f\n", name.c_str(), value);
  std::fflush(g_results);
}
void Note(const std::string& name, const std::string& text) {
  std::fprintf(g_results, "%s %s\n", name.c_str(), text.c_str());
  std::fflush(g_results);
}

// The wall clock in the simulation journal's unit: milliseconds since 1970 UTC.
std::int64_t WallMs() {
  FILETIME ft{};
  GetSystemTimeAsFileTime(&ft);
  const std::int64_t ticks = (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (ticks - 116444736000000000LL) / 10000;
}

double SteadyMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::vector<std::int64_t> scaled;
  for (double x : v) scaled.push_back(static_cast<std::int64_t>(x * 1000.0));
  return static_cast<double>(bench::Median(scaled)) / 1000.0;
}

// Only an icon that exists can be modified; a modification that changes
// nothing leaves the icon as its program made it.
bool TrayIconPresent(HWND window) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kTrayId;
  data.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

struct DialogSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[16] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (pid == search.pid && std::string(cls) == "#32770") search.found.push_back(window);
  return TRUE;
}

// The dialog of process `pid` that owns the tray icon, or 0.
HWND TrayOwner(DWORD pid) {
  DialogSearch search{pid, {}};
  EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) {
    if (TrayIconPresent(window)) return window;
  }
  return nullptr;
}

struct Memory {
  double peakWorkingSetKb = 0;
  double peakPagefileKb = 0;
};

Memory ReadMemory(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  Memory m;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    m.peakWorkingSetKb = static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
    m.peakPagefileKb = static_cast<double>(counters.PeakPagefileUsage) / 1024.0;
  }
  return m;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Wine answers GetProcessTimes for another process with the caller's own
// times, so under Wine the times come from the Linux side of the process
// (through drive Z:): the one whose command line names `exe` and that runs
// in this driver's Wine prefix (other programs on the machine may run copies
// of the same file name). Kernel plus user time in milliseconds, or -1 when
// no such process is found.
double LinuxCpuMs(const std::string& exe) {
  char prefix[MAX_PATH] = {};
  if (GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) == 0) return -1;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  double result = -1;
  do {
    const std::string pid = found.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "Z:\\proc\\" + pid + "\\";
    if (!bench::CommandRuns(ReadWholeFile(dir + "cmdline"), exe) ||
        !bench::EnvironmentHas(ReadWholeFile(dir + "environ"), "WINEPREFIX", prefix)) {
      continue;
    }
    if (const auto ticks = bench::CpuTicksFromStat(ReadWholeFile(dir + "stat"))) {
      result = static_cast<double>(*ticks) * 10.0;  // USER_HZ is 100 on Linux
      break;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return result;
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Processor time (kernel + user) of the program `exe` running as `process`.
double CpuMs(HANDLE process, const std::string& exe) {
  if (UnderWine()) return LinuxCpuMs(exe);
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto ticks = [](const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// A program of ours started for one measurement and ended afterwards.
class Started {
 public:
  explicit Started(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_)) {
      info_ = {};
    }
  }
  ~Started() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      if (HWND owner = TrayOwner(info_.dwProcessId)) {
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
      }
      if (WaitForSingleObject(info_.hProcess, 10000) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
      }
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool Ok() const { return info_.hProcess != nullptr; }
  HANDLE Process() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// One start of `exe`: milliseconds from CreateProcess to the tray icon
// (negative when it never came) and the peak memory once started.
// The simulation build also marks the end of its window's initialisation,
// which the tray icon now precedes: `readyMs` is the time to that mark.
struct StartFigures {
  double trayMs = -1;
  double readyMs = -1;
  Memory memory;
};

StartFigures StartOnce(const std::string& exe, bool waitReady) {
  StartFigures figures;
  const double t0 = SteadyMs();
  Started program(exe);
  if (!program.Ok()) return figures;
  HWND owner = nullptr;
  while (SteadyMs() - t0 < 30000) {
    if ((owner = TrayOwner(program.Id())) != nullptr) {
      figures.trayMs = SteadyMs() - t0;
      break;
    }
    Sleep(1);
  }
  if (figures.trayMs < 0) return figures;
  figures.readyMs = figures.trayMs;
  while (waitReady && SteadyMs() - t0 < 30000) {
    if (GetPropA(owner, "Vesperon.Simulation.Ready")) {
      figures.readyMs = SteadyMs() - t0;
      break;
    }
    Sleep(1);
  }
  Sleep(1500);  // the start-up's remaining timers (hide, first refresh) have run
  figures.memory = ReadMemory(program.Process());
  return figures;
}

// Start-up to tray icon and the peak memory once started, median of `runs`
// starts of each program after one round that is not counted (it writes the
// first-start defaults and brings Wine's libraries into the page cache).
// The programs take turns, so that a change in the machine's load falls on
// all alike.
void MeasureStartup(const std::string& simExe, const std::string& baselineExe,
                    const std::string& templateExe, int runs) {
  struct Series {
    const char* label;
    const std::string& exe;
    std::vector<double> times, workingSets, pagefiles, ready;
  } series[] = {{"baseline", baselineExe, {}, {}, {}, {}},
                {"template", templateExe, {}, {}, {}, {}},
                {"sim", simExe, {}, {}, {}, {}}};
  for (int run = 0; run <= runs; ++run) {
    for (Series& one : series) {
      const StartFigures figures = StartOnce(one.exe, &one.exe == &simExe);
      if (figures.trayMs < 0) {
        Note("error", std::string(one.label) + " did not start or showed no tray icon in 30 s");
        return;
      }
      if (run == 0) continue;
      one.times.push_back(figures.trayMs);
      one.workingSets.push_back(figures.memory.peakWorkingSetKb);
      one.pagefiles.push_back(figures.memory.peakPagefileKb);
      one.ready.push_back(figures.readyMs);
    }
  }
  Emit("startup_runs", runs);
  for (const Series& one : series) {
    const std::string label = one.label;
    Emit("startup_" + label + "_median_ms", Median(one.times));
    Emit("startup_" + label + "_min_ms", *std::min_element(one.times.begin(), one.times.end()));
    Emit("startup_" + label + "_max_ms", *std::max_element(one.times.begin(), one.times.end()));
    Emit("peak_working_set_" + label + "_kb", Median(one.workingSets));
    Emit("peak_pagefile_" + label + "_kb", Median(one.pagefiles));
    if (label == "sim") Emit("startup_sim_ready_median_ms", Median(one.ready));
  }
}

std::string Journal(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + name;
}

// Processor time of `seconds` of idling: the program hidden with a daily
// trigger two hours ahead (polled once a minute, the countdown display off),
// and the baseline dialog hidden beside it over the same minute.
void MeasureIdle(const std::string& simExe, const std::string& baselineExe, int seconds) {
  e2e::registry::DeleteAll();
  e2e::SimProcess sim(simExe, Journal("vesperon-bench-idle.txt"));
  HWND main = sim.MainWindow();
  if (!main) {
    Note("error", "idle: the program did not start");
    return;
  }
  sim.SelectComboItem(kTriggerList, 2);
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = static_cast<WORD>((time.wHour + 2) % 24);
  sim.SetPickerTime(kTimeField, time);
  sim.SelectComboItem(kActionList, 0);
  sim.Click(kActivate);
  if (!sim.IsChecked(kActivate) || !e2e::WaitFor([&] { return !IsWindowVisible(main); }, 5000)) {
    Note("error", "idle: no hidden, active daily trigger");
    return;
  }
  Started baseline(baselineExe);
  if (!e2e::WaitFor([&] { return TrayOwner(baseline.Id()) != nullptr; }, 30000)) {
    Note("error", "idle: the baseline showed no tray icon");
    return;
  }
  HANDLE simProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, sim.Id());
  Sleep(3000);  // balloons and one-shot timers of the activation are over
  const double sim0 = CpuMs(simProcess, simExe), base0 = CpuMs(baseline.Process(), baselineExe);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double sim1 = CpuMs(simProcess, simExe), base1 = CpuMs(baseline.Process(), baselineExe);
  if (sim0 < 0 || base0 < 0 || sim1 < 0 || base1 < 0) Note("error", "idle: no processor times");
  Emit("idle_seconds", seconds);
  Emit("idle_sim_cpu_ms", sim1 - sim0);
  Emit("idle_baseline_cpu_ms", base1 - base0);
  const Memory simMemory = ReadMemory(simProcess), baseMemory = ReadMemory(baseline.Process());
  Emit("idle_peak_working_set_sim_kb", simMemory.peakWorkingSetKb);
  Emit("idle_peak_working_set_baseline_kb", baseMemory.peakWorkingSetKb);
  // Everything since the process started: shows that the other process's
  // times are readable at all, where the idle figures may round to zero.
  Emit("idle_sim_cpu_total_ms", sim1);
  Emit("idle_baseline_cpu_total_ms", base1);
  Emit("idle_still_active", sim.IsChecked(kActivate) ? 1 : 0);
  CloseHandle(simProcess);
  sim.Quit();
}

// A countdown that starts over by itself after each fire, with an action
// the simulation only journals; each journal line carries its wall time.
// The countdown kind with a zero day count, and its span in the time field.
void ChooseCountdown(e2e::SimProcess& sim) {
  sim.SelectComboItem(kTriggerList, 1);
  sim.SetText(kNumberField, "0");
}

void SetCountdownSpan(e2e::SimProcess& sim, int hours, int minutes, int seconds) {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = static_cast<WORD>(hours);
  time.wMinute = static_cast<WORD>(minutes);
  time.wSecond = static_cast<WORD>(seconds);
  sim.SetPickerTime(kTimeField, time);
}

void MeasureFires(const std::string& simExe, int fires, int countdownSeconds) {
  e2e::registry::DeleteAll();
  e2e::registry::SetDword("Global\\TriggerStartup", "AutoReactTrgr", 1);
  SetEnvironmentVariableA("VESPERON_JOURNAL_CLOCK", "1");
  e2e::SimProcess sim(simExe, Journal("vesperon-bench-fires.txt"));
  SetEnvironmentVariableA("VESPERON_JOURNAL_CLOCK", nullptr);
  if (!sim.MainWindow()) {
    Note("error", "fires: the program did not start");
    return;
  }
  ChooseCountdown(sim);
  SetCountdownSpan(sim, 0, 0, countdownSeconds);
  sim.SelectComboItem(kActionList, 0);
  const std::int64_t from = WallMs();
  sim.Click(kActivate);
  const std::int64_t to = WallMs();
  const int timeoutMs = fires * (countdownSeconds + 2) * 1000 + 10000;
  if (!e2e::WaitFor([&] { return static_cast<int>(sim.JournalLines().size()) >= fires; },
                    timeoutMs)) {
    Note("error", "fires: fewer fires than asked for");
  }
  sim.Click(kActivate);  // stop it before quitting, so no fire is half written
  std::vector<std::int64_t> moments;
  for (const std::string& line : sim.JournalLines()) {
    if (static_cast<int>(moments.size()) == fires) break;
    if (const auto entry = bench::ParseJournalLine(line)) moments.push_back(entry->wallMs);
  }
  const bench::FireDelays delays = bench::ComputeFireDelays(from, to, moments, countdownSeconds, 50);
  std::int64_t most = 0;
  for (std::int64_t d : delays.delaysMs) most = d > most ? d : most;
  Emit("fires_countdown_s", countdownSeconds);
  Emit("fires_journaled", static_cast<double>(moments.size()));
  Emit("fires_measured", static_cast<double>(delays.delaysMs.size()));
  Emit("fires_ambiguous", delays.ambiguous);
  Emit("fires_early", delays.early);
  Emit("fires_delay_median_ms", static_cast<double>(bench::Median(delays.delaysMs)));
  Emit("fires_delay_max_ms", static_cast<double>(most));
  sim.Quit();
}

// The local time of a wall time given in whole seconds since 1970 (UTC).
SYSTEMTIME LocalTimeAt(std::int64_t utcSeconds) {
  const std::int64_t ticks = utcSeconds * 10000000LL + 116444736000000000LL;
  FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
  FILETIME local{};
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME time{};
  FileTimeToSystemTime(&local, &time);
  return time;
}

// Daily triggers set a few seconds ahead, one after another, action
// "Turn off" (journaled): each occurrence is the whole second it was set to.
void MeasureDailyFires(const std::string& simExe, int fires) {
  e2e::registry::DeleteAll();
  SetEnvironmentVariableA("VESPERON_JOURNAL_CLOCK", "1");
  e2e::SimProcess sim(simExe, Journal("vesperon-bench-daily.txt"));
  SetEnvironmentVariableA("VESPERON_JOURNAL_CLOCK", nullptr);
  if (!sim.MainWindow()) {
    Note("error", "daily: the program did not start");
    return;
  }
  sim.SelectComboItem(kTriggerList, 2);
  sim.SelectComboItem(kActionList, 0);
  std::vector<std::int64_t> delays;
  int early = 0;
  for (int i = 0; i < fires; ++i) {
    const std::int64_t occurrence = WallMs() / 1000 + 3;
    sim.SetPickerTime(kTimeField, LocalTimeAt(occurrence));
    const std::size_t before = sim.JournalLines().size();
    sim.Click(kActivate);
    if (!e2e::WaitFor([&] { return sim.JournalLines().size() > before; }, 10000)) {
      Note("error", "daily: a trigger did not fire");
      break;
    }
    const auto entry = bench::ParseJournalLine(sim.JournalLines()[before]);
    sim.Click(kActivate);  // a daily trigger stays active for the next day
    if (!entry) continue;
    const std::int64_t delay = entry->wallMs - occurrence * 1000;
    if (delay < 0) {
      ++early;
    } else {
      delays.push_back(delay);
    }
  }
  Emit("daily_measured", static_cast<double>(delays.size()));
  Emit("daily_early", early);
  Emit("daily_delay_median_ms", static_cast<double>(bench::Median(delays)));
  Emit("daily_delay_max_ms", delays.empty() ? 0 : static_cast<double>(*std::max_element(
                                                      delays.begin(), delays.end())));
  sim.Quit();
}

void ShowMain(HWND main) {
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(kShowCommand, 0), 0);
  e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE && !IsIconic(main); }, 5000);
}
void HideMain(HWND main) {
  PostMessageA(main, WM_CLOSE, 0, 0);
  e2e::WaitFor([&] { return !IsWindowVisible(main); }, 5000);
}

// The countdown label of a shown window with a ten-minute countdown, read
// every 10 ms over `seconds` consecutive seconds of the clock, from the
// middle of the first to the middle of the last: a display on the second
// shows that many distinct values, each one second below the one before.
void MeasureLabel(const std::string& simExe, int seconds) {
  e2e::registry::DeleteAll();
  e2e::SimProcess sim(simExe, Journal("vesperon-bench-label.txt"));
  HWND main = sim.MainWindow();
  if (!main) {
    Note("error", "label: the program did not start");
    return;
  }
  ChooseCountdown(sim);
  SetCountdownSpan(sim, 0, 10, 0);
  sim.SelectComboItem(kActionList, 0);
  sim.Click(kActivate);
  Sleep(1500);  // the activation may hide the window
  ShowMain(main);
  HWND label = sim.Item(kCountdownLabel);
  while (WallMs() % 1000 < 450 || WallMs() % 1000 > 550) Sleep(5);
  const std::int64_t end = WallMs() / 1000 * 1000 + (seconds - 1) * 1000LL + 500;
  std::vector<std::string> values;
  std::vector<std::int64_t> phases;  // how far into its second each change was first seen
  while (WallMs() < end) {
    std::string text = sim.Text(label);
    if (values.empty() || text != values.back()) {
      if (!values.empty()) phases.push_back(WallMs() % 1000);
      values.push_back(std::move(text));
    }
    Sleep(10);
  }
  sim.Click(kActivate);
  const bench::LabelSteps steps = bench::CountLabelSteps(values);
  Emit("label_seconds", seconds);
  Emit("label_distinct", steps.distinct);
  Emit("label_skips", steps.skips);
  Emit("label_repeats", steps.repeats);
  Emit("label_change_phase_median_ms", static_cast<double>(bench::Median(phases)));
  Emit("label_change_phase_max_ms",
       phases.empty() ? 0 : static_cast<double>(*std::max_element(phases.begin(), phases.end())));
  sim.Quit();
}

// What a long run may leak: handles, GDI and USER objects (0 where the
// system does not count them, as Wine does not), the windows (USER objects
// that can be counted from outside everywhere), the working set and the
// private bytes.
struct Footprint {
  DWORD handles = 0, gdi = 0, user = 0, windows = 0;
  double workingSetKb = 0, privateKb = 0;
};

// The handles `pid` holds, from the system's handle list: Wine answers
// GetProcessHandleCount for another process with nothing.
DWORD HandlesFromSystemList(DWORD pid) {
  struct Entry {
    ULONG ownerPid;
    BYTE objectType, flags;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<unsigned char> buffer(1 << 20);
  LONG status = kLengthMismatch;
  for (int tries = 0; tries < 6 && status == kLengthMismatch; ++tries) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kLengthMismatch) buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 65536));
  }
  if (status != 0) return 0;
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  const unsigned char* entries = buffer.data() + sizeof(ULONG_PTR);
  DWORD mine = 0;
  for (ULONG i = 0; i < count && sizeof(ULONG_PTR) + (i + 1) * sizeof(Entry) <= buffer.size(); ++i) {
    Entry e;
    std::memcpy(&e, entries + i * sizeof(Entry), sizeof e);
    if (e.ownerPid == pid) ++mine;
  }
  return mine;
}

struct WindowCount {
  DWORD pid;
  DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM context) {
  ++reinterpret_cast<WindowCount*>(context)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM context) {
  auto& c = *reinterpret_cast<WindowCount*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == c.pid) {
    ++c.count;
    EnumChildWindows(window, &CountChild, context);
  }
  return TRUE;
}

Footprint ReadFootprint(HANDLE process, DWORD pid) {
  Footprint f;
  if (!GetProcessHandleCount(process, &f.handles) || f.handles == 0) f.handles = HandlesFromSystemList(pid);
  f.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  f.user = GetGuiResources(process, GR_USEROBJECTS);
  WindowCount windows{pid, 0};
  EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  f.windows = windows.count;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    f.workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024.0;
    f.privateKb = static_cast<double>(counters.PagefileUsage) / 1024.0;
  }
  return f;
}

// Whether `done` fires of the running countdown have come: each fire moves
// the profile's LastEvent to its second.
int CountFires(int fires, int timeoutMs) {
  std::string last = e2e::registry::String("Profiles\\Default\\Trigger", "LastEvent");
  int seen = 0;
  const double t0 = SteadyMs();
  while (seen < fires && SteadyMs() - t0 < timeoutMs) {
    Sleep(100);
    const std::string now = e2e::registry::String("Profiles\\Default\\Trigger", "LastEvent");
    if (now != last) {
      ++seen;
      last = now;
    }
  }
  return seen;
}

// One round of everything a resident program does for months: a countdown
// of one second that starts over by itself ("AutoReactTrgr", "No action")
// for `fires` fires, the window shown and hidden `shows` times, and
// `balloons` balloons (a countdown of an hour activated and deactivated).
struct SoakCounts {
  int fires = 0, shows = 0, balloons = 0;
  int missedPresses = 0;  // presses of Activate that left the button as it was
  bool stuck = false;     // a press that never took
  std::string shortfall;  // how things stood when fewer fires came
};

// Presses Activate until it shows `on`. The press is a mouse press on the
// button, and the program may take its focus away in between (the window
// hides on activation), so a press that did not take is pressed again and
// counted, not taken for a trigger that stopped firing.
void PressActivate(e2e::SimProcess& sim, bool on, SoakCounts& done) {
  for (int press = 0; press < 3; ++press) {
    if (sim.IsChecked(kActivate) == on) return;
    sim.Click(kActivate);
    if (sim.IsChecked(kActivate) != on) ++done.missedPresses;
  }
  done.stuck |= sim.IsChecked(kActivate) != on;
}

SoakCounts SoakRound(e2e::SimProcess& sim, HWND main, int fires, int shows, int balloons) {
  SoakCounts done;
  // The span is read when the trigger starts: it must not be running.
  PressActivate(sim, false, done);
  SetCountdownSpan(sim, 0, 0, 1);
  PressActivate(sim, true, done);
  done.fires = CountFires(fires, fires * 3000 + 10000);
  if (done.fires < fires) {
    done.shortfall = std::to_string(done.fires) + " came; TriggerActive " +
                     std::to_string(e2e::registry::Dword("Profiles\\Default\\Trigger", "TriggerActive")) +
                     ", Activate " + (sim.IsChecked(kActivate) ? "down" : "up") + ", label \"" +
                     sim.Text(kCountdownLabel) + "\"";
  }
  PressActivate(sim, false, done);
  for (; done.shows < shows; ++done.shows) {
    ShowMain(main);
    HideMain(main);
  }
  SetCountdownSpan(sim, 1, 0, 0);
  for (; done.balloons < balloons; done.balloons += 2) {
    PressActivate(sim, true, done);  // "will arise"
    Sleep(50);
    PressActivate(sim, false, done);  // "deactivated"
    Sleep(50);
  }
  return done;
}

void MeasureSoak(const std::string& simExe, int fires, int shows, int balloons) {
  e2e::registry::DeleteAll();
  e2e::registry::SetDword("Global\\TriggerStartup", "AutoReactTrgr", 1);
  e2e::SimProcess sim(simExe, Journal("vesperon-bench-soak.txt"));
  HWND main = sim.MainWindow();
  if (!main) {
    Note("error", "soak: the program did not start");
    return;
  }
  ChooseCountdown(sim);
  const auto actions = sim.ComboExTexts(kActionList);
  const auto none = std::find(actions.begin(), actions.end(), "No action");
  if (none == actions.end()) {
    Note("error", "soak: no \"No action\" in the action list");
    return;
  }
  sim.SelectComboItem(kActionList, static_cast<int>(none - actions.begin()));
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, sim.Id());
  // A first, short round: what is made once and kept (fonts, the tray's
  // balloon window, caches) is not growth.
  SoakRound(sim, main, 5, 3, 4);
  Sleep(2000);
  const Footprint before = ReadFootprint(process, sim.Id());
  const double t0 = SteadyMs();
  const SoakCounts done = SoakRound(sim, main, fires, shows, balloons);
  Sleep(2000);
  const Footprint after = ReadFootprint(process, sim.Id());
  Emit("soak_seconds", (SteadyMs() - t0) / 1000.0);
  Emit("soak_fires", done.fires);
  Emit("soak_shows", done.shows);
  Emit("soak_balloons", done.balloons);
  Emit("soak_missed_presses", done.missedPresses);
  Emit("soak_handles_before", before.handles);
  Emit("soak_handles_after", after.handles);
  Emit("soak_gdi_before", before.gdi);
  Emit("soak_gdi_after", after.gdi);
  Emit("soak_user_before", before.user);
  Emit("soak_user_after", after.user);
  Emit("soak_windows_before", before.windows);
  Emit("soak_windows_after", after.windows);
  Emit("soak_working_set_before_kb", before.workingSetKb);
  Emit("soak_working_set_after_kb", after.workingSetKb);
  Emit("soak_private_before_kb", before.privateKb);
  Emit("soak_private_after_kb", after.privateKb);
  if (done.stuck) Note("error", "soak: Activate did not take after three presses");
  if (done.fires < fires) Note("error", "soak: fewer fires than asked for (" + done.shortfall + ")");
  CloseHandle(process);
  sim.Quit();
}

// The least a process poll must do: take a snapshot and walk it.
int SnapshotWalk() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// One poll of the process trigger with `count` extra processes running,
// against the bare snapshot walk, interleaved so both see the same load.
void MeasureProcessPoll(const std::string& waiterExe, int count, int iterations) {
  std::vector<PROCESS_INFORMATION> waiters;
  for (int i = 0; i < count; ++i) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + waiterExe + "\"";
    if (CreateProcessA(waiterExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
      waiters.push_back(info);
    }
  }
  const int before = SnapshotWalk();
  Sleep(2000);  // every copy has reached its wait
  const Vesperon::ProcessTrigger absent("no-such-process*.exe");
  const Vesperon::ProcessTrigger running("bench_waiter.exe");
  Vesperon::TimeSpan out;
  bool statesRight = true;
  std::vector<double> walk, absentPoll, runningPoll;
  for (int i = 0; i < iterations; ++i) {
    double t = SteadyMs();
    SnapshotWalk();
    walk.push_back(SteadyMs() - t);
    t = SteadyMs();
    statesRight &= absent.Evaluate({}, out) == Vesperon::TriggerState::Due;
    absentPoll.push_back(SteadyMs() - t);
    t = SteadyMs();
    statesRight &= running.Evaluate({}, out) == Vesperon::TriggerState::Waiting;
    runningPoll.push_back(SteadyMs() - t);
  }
  Emit("process_started", static_cast<double>(waiters.size()));
  Emit("process_total", SnapshotWalk());
  Emit("process_total_at_start", before);
  Emit("process_iterations", iterations);
  Emit("process_walk_median_ms", Median(walk));
  Emit("process_poll_absent_median_ms", Median(absentPoll));
  Emit("process_poll_running_median_ms", Median(runningPoll));
  if (!statesRight) Note("error", "process: a poll answered the wrong state");
  for (PROCESS_INFORMATION& info : waiters) {
    TerminateProcess(info.hProcess, 0);  // our own copies
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: bench_driver RESULTS SIM BASELINE TEMPLATE WAITER [name=count ...]\n");
    return 2;
  }
  g_results = std::fopen(argv[1], "w");
  if (!g_results) return 2;
  const std::string sim = argv[2], baseline = argv[3], templ = argv[4], waiter = argv[5];
  std::map<std::string, int> n = {{"runs", 7},       {"idle", 60},  {"fires", 20},
                                  {"daily", 5},      {"label", 60}, {"processes", 50},
                                  {"soak", 1000},    {"shows", 100}, {"balloons", 100}};
  for (int i = 6; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::size_t eq = arg.find('=');
    if (eq == std::string::npos || !n.count(arg.substr(0, eq))) {
      Note("error", "unknown argument " + arg);
      continue;
    }
    n[arg.substr(0, eq)] = std::atoi(arg.c_str() + eq + 1);
  }
  for (const auto& [name, count] : n) Emit("count_" + name, count);

  e2e::registry::DeleteAll();
  if (n["runs"] > 0) MeasureStartup(sim, baseline, templ, n["runs"]);
  if (n["idle"] > 0) MeasureIdle(sim, baseline, n["idle"]);
  if (n["fires"] > 0) MeasureFires(sim, n["fires"], 2);
  if (n["daily"] > 0) MeasureDailyFires(sim, n["daily"]);
  if (n["label"] > 0) MeasureLabel(sim, n["label"]);
  if (n["processes"] > 0) MeasureProcessPoll(waiter, n["processes"], 100);
  if (n["soak"] > 0) MeasureSoak(sim, n["soak"], n["shows"], n["balloons"]);
  e2e::registry::DeleteAll();
  Note("done", "1");
  std::fclose(g_results);
  return 0;
}
