// Measures the simulation program from outside, under Wine, against the
// baseline dialog built in the same tree: the time from process start to
// the tray icon, the peak memory, the processor time of a minute's idling
// with a daily trigger active, the delay between a countdown's occurrences
// and their actions, and one poll of the process trigger among fifty
// running processes. It writes "name value" lines to the result file the
// script reads; it runs inside a Wine virtual desktop (which has a tray), so
// it has no console to print to.
//
//   bench_driver.exe RESULTS SIM BASELINE WAITER [STARTUP_RUNS IDLE_S FIRES PROCESSES]
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/FireDelays.h"
#include "bench/ProcStat.h"
#include "model/DateTime.h"
#include "model/Trigger.h"
#include "tests/e2e/SimProcess.h"

namespace {

constexpr UINT kTrayId = 104;
constexpr WORD kExitCommand = 169;
constexpr int kActivate = 1000, kNumberField = 1040, kActionList = 1035, kTriggerList = 1036,
              kTimeField = 1037;

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
struct StartFigures {
  double trayMs = -1;
  Memory memory;
};

StartFigures StartOnce(const std::string& exe) {
  StartFigures figures;
  const double t0 = SteadyMs();
  Started program(exe);
  if (!program.Ok()) return figures;
  while (SteadyMs() - t0 < 30000) {
    if (TrayOwner(program.Id())) {
      figures.trayMs = SteadyMs() - t0;
      break;
    }
    Sleep(1);
  }
  if (figures.trayMs < 0) return figures;
  Sleep(1500);  // the start-up's remaining timers (hide, first refresh) have run
  figures.memory = ReadMemory(program.Process());
  return figures;
}

// Start-up to tray icon and the peak memory once started, median of `runs`
// starts of each program after one round that is not counted (it writes the
// first-start defaults and brings Wine's libraries into the page cache).
// The two programs take turns, so that a change in the machine's load falls
// on both alike.
void MeasureStartup(const std::string& simExe, const std::string& baselineExe, int runs) {
  struct Series {
    const char* label;
    const std::string& exe;
    std::vector<double> times, workingSets, pagefiles;
  } series[] = {{"baseline", baselineExe, {}, {}, {}}, {"sim", simExe, {}, {}, {}}};
  for (int run = 0; run <= runs; ++run) {
    for (Series& one : series) {
      const StartFigures figures = StartOnce(one.exe);
      if (figures.trayMs < 0) {
        Note("error", std::string(one.label) + " did not start or showed no tray icon in 30 s");
        return;
      }
      if (run == 0) continue;
      one.times.push_back(figures.trayMs);
      one.workingSets.push_back(figures.memory.peakWorkingSetKb);
      one.pagefiles.push_back(figures.memory.peakPagefileKb);
    }
  }
  Emit("startup_runs", runs);
  for (const Series& one : series) {
    const std::string label = one.label;
    double lo = one.times[0], hi = one.times[0];
    for (double t : one.times) {
      lo = t < lo ? t : lo;
      hi = t > hi ? t : hi;
    }
    Emit("startup_" + label + "_median_ms", Median(one.times));
    Emit("startup_" + label + "_min_ms", lo);
    Emit("startup_" + label + "_max_ms", hi);
    Emit("peak_working_set_" + label + "_kb", Median(one.workingSets));
    Emit("peak_pagefile_" + label + "_kb", Median(one.pagefiles));
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
  sim.SelectComboItem(kTriggerList, 1);
  sim.SetText(kNumberField, "0");
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = 0;
  time.wMinute = 0;
  time.wSecond = static_cast<WORD>(countdownSeconds);
  sim.SetPickerTime(kTimeField, time);
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

int Arg(int argc, char** argv, int index, int fallback) {
  return argc > index ? std::atoi(argv[index]) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: bench_driver RESULTS SIM BASELINE WAITER [RUNS IDLE_S FIRES PROCS]\n");
    return 2;
  }
  g_results = std::fopen(argv[1], "w");
  if (!g_results) return 2;
  const std::string sim = argv[2], baseline = argv[3], waiter = argv[4];
  const int runs = std::max(1, Arg(argc, argv, 5, 7)), idleSeconds = Arg(argc, argv, 6, 60),
            fires = Arg(argc, argv, 7, 20), processes = Arg(argc, argv, 8, 50);

  e2e::registry::DeleteAll();
  MeasureStartup(sim, baseline, runs);
  MeasureIdle(sim, baseline, idleSeconds);
  MeasureFires(sim, fires, 2);
  MeasureProcessPoll(waiter, processes, 100);
  e2e::registry::DeleteAll();
  Note("done", "1");
  std::fclose(g_results);
  return 0;
}
