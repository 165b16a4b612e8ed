#!/usr/bin/env python3
"""bench-report.py CORE_JSON WINE_RESULTS OUTPUT_MD: turns the figures of one
bench run (Google Benchmark's JSON, the Wine driver's "name value" lines)
into docs/performance.md, with each figure's ratio to the baseline measured
in the same run and the machine it came from."""
import datetime
import json
import os
import platform
import subprocess
import sys


def sh(*cmd):
    try:
        return subprocess.run(cmd, capture_output=True, text=True, timeout=30).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return "unknown"


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    mem_kb = 0
    with open("/proc/meminfo") as f:
        for line in f:
            if line.startswith("MemTotal:"):
                mem_kb = int(line.split()[1])
    with open("/proc/loadavg") as f:
        load = " ".join(f.read().split()[:3])
    return [
        ("CPU", cpu),
        ("Cores", str(os.cpu_count())),
        ("RAM", "%.1f GiB" % (mem_kb / 1024 / 1024)),
        ("Kernel", platform.release()),
        ("Wine", sh("wine", "--version")),
        ("Compilers", "%s; %s" % (sh("g++", "-dumpfullversion"),
                                  "MinGW-w64 g++ " + sh("x86_64-w64-mingw32-g++-posix", "-dumpfullversion"))),
        ("Load average at the end", load),
        ("Date", datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")),
    ]


# Which baseline each group of core benchmarks is set against, and why.
BASELINES = {
    "Evaluate": ("Baseline/Now", "one reading of the clock"),
    "PollInterval": ("Baseline/Now", "one reading of the clock"),
    "WildcardMatch": ("Baseline/StringEquals", "comparing two 255-character names"),
    "ReadNumbers": ("Baseline/RegistryValue", "opening one key and reading one value"),
    "ReadStrings": ("Baseline/RegistryValue", "opening one key and reading one value"),
    "FormatRemaining": ("Baseline/FormatNumber", "formatting one number into a label"),
    "LoadStringSet": ("Baseline/ReadLines", "reading the same file's lines and nothing else"),
}


def core_section(path):
    with open(path) as f:
        data = json.load(f)
    times = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        times[name] = b["real_time"] * scale
    lines = ["| benchmark | time per call | baseline | ratio |", "|---|---:|---|---:|"]
    for name, ns in times.items():
        group = name.split("/")[0]
        if group == "Baseline":
            continue
        base, _ = BASELINES.get(group, (None, ""))
        ratio = "%.1f" % (ns / times[base]) if base in times and times[base] > 0 else "-"
        lines.append("| %s | %s | %s | %s |" % (name, fmt_ns(ns), base or "-", ratio))
    base_lines = ["| baseline | what it does | time per call |", "|---|---|---:|"]
    seen = set()
    for base, what in BASELINES.values():
        if base in seen or base not in times:
            continue
        seen.add(base)
        base_lines.append("| %s | %s | %s |" % (base, what, fmt_ns(times[base])))
    return lines, base_lines


def fmt_ns(ns):
    if ns >= 1e6:
        return "%.2f ms" % (ns / 1e6)
    if ns >= 1e3:
        return "%.2f us" % (ns / 1e3)
    return "%.1f ns" % ns


def wine_figures(path):
    figures, errors = {}, []
    with open(path) as f:
        lines = f.read().splitlines()
    for line in lines:
        name, _, value = line.strip().partition(" ")
        if name == "error":
            errors.append(value)
        elif name and name != "done":
            figures[name] = float(value)
    return figures, errors


def ratio(a, b):
    if b:
        return "%.2f" % (a / b)
    return "n/a (baseline 0)" if a else "-"


def wine_section(w):
    out = []
    g = w.get
    out += ["### Start-up to tray icon and memory",
            "",
            "From `CreateProcess` to the moment the tray icon exists (polled every"
            " millisecond from the driver), median of %d starts of each, the two programs taking turns, after one round that is not"
            " counted; peak memory read with `GetProcessMemoryInfo` 1.5 s after the icon"
            " appeared. Under Wine both figures include Wine's own libraries, which the"
            " baseline (a bare dialog with a tray icon, same compiler and flags) pays too." % g("startup_runs", 0),
            "",
            "| figure | VesperonSim.exe | baseline | ratio | difference |",
            "|---|---:|---:|---:|---:|"]
    for label, key, unit in [("start-up to tray icon, median", "startup_%s_median_ms", "ms"),
                             ("start-up to tray icon, fastest", "startup_%s_min_ms", "ms"),
                             ("start-up to tray icon, slowest", "startup_%s_max_ms", "ms"),
                             ("PeakWorkingSetSize", "peak_working_set_%s_kb", "KiB"),
                             ("PeakPagefileUsage", "peak_pagefile_%s_kb", "KiB")]:
        s, b = g(key % "sim", 0), g(key % "baseline", 0)
        out.append("| %s | %.0f %s | %.0f %s | %s | %+.0f %s |" % (label, s, unit, b, unit, ratio(s, b), s - b, unit))
    s, b = g("idle_sim_cpu_ms", 0), g("idle_baseline_cpu_ms", 0)
    out += ["",
            "### Idle",
            "",
            "Processor time (kernel + user) used in %.0f s with the window"
            " hidden and a daily trigger two hours ahead active (polled once a minute), against the"
            " baseline dialog idling hidden over the same interval. Wine answers `GetProcessTimes` for"
            " another process with the caller's own times, so under Wine the driver reads the"
            " process's Linux counters (`/proc/<pid>/stat`, 10 ms ticks); Wine's server work on the"
            " program's behalf (timers, messages) is in neither figure. The trigger was %s at the end." %
            (g("idle_seconds", 0), "still active" if g("idle_still_active") else "NOT active"),
            "",
            "| figure | VesperonSim.exe | baseline | ratio |",
            "|---|---:|---:|---:|",
            "| CPU time | %.1f ms | %.1f ms | %s |" % (s, b, ratio(s, b)),
            "| CPU time since the process started | %.1f ms | %.1f ms | %s |" % (
                g("idle_sim_cpu_total_ms", 0), g("idle_baseline_cpu_total_ms", 0),
                ratio(g("idle_sim_cpu_total_ms", 0), g("idle_baseline_cpu_total_ms", 0))),
            "| CPU share of the interval | %.4f %% | %.4f %% | |" % (
                100 * s / 1000 / max(g("idle_seconds", 1), 1), 100 * b / 1000 / max(g("idle_seconds", 1), 1)),
            "| PeakWorkingSetSize after idling | %.0f KiB | %.0f KiB | %s |" % (
                g("idle_peak_working_set_sim_kb", 0), g("idle_peak_working_set_baseline_kb", 0),
                ratio(g("idle_peak_working_set_sim_kb", 0), g("idle_peak_working_set_baseline_kb", 0))),
            ]
    out += ["",
            "### Delay from occurrence to action",
            "",
            "A countdown of %.0f s that starts over by itself after each fire (\"AutoReactTrgr\"),"
            " action \"Turn off\" (journaled only). The occurrence is the whole second the countdown"
            " ends on (the program reads the clock in whole seconds); the action's moment is the wall"
            " time the journal line carries. The trigger is polled once a second, not in step with"
            " the second boundaries, so delays from 0 to about 1000 ms are by design." % g("fires_countdown_s", 0),
            "",
            "| figure | value |",
            "|---|---:|",
            "| fires journaled | %.0f |" % g("fires_journaled", 0),
            "| fires measured | %.0f |" % g("fires_measured", 0),
            "| left out: start second uncertain (fire within 50 ms of a second's end) | %.0f |" % g("fires_ambiguous", 0),
            "| fired before the occurrence | %.0f |" % g("fires_early", 0),
            "| delay, median | %.0f ms |" % g("fires_delay_median_ms", 0),
            "| delay, max | %.0f ms |" % g("fires_delay_max_ms", 0),
            ]
    walk = g("process_walk_median_ms", 0)
    out += ["",
            "### One poll of a process trigger",
            "",
            "%.0f copies of a waiting helper started (%.0f processes in the snapshot);"
            " median of %.0f polls each, interleaved. Baseline: a tool-help snapshot walked"
            " without looking at the entries." % (g("process_started", 0), g("process_total", 0),
                                                   g("process_iterations", 0)),
            "",
            "| figure | median | ratio to baseline |",
            "|---|---:|---:|",
            "| baseline: empty snapshot walk | %.3f ms | 1.00 |" % walk,
            "| `ProcessTrigger::Evaluate`, no process matches (whole list) | %.3f ms | %s |" % (
                g("process_poll_absent_median_ms", 0), ratio(g("process_poll_absent_median_ms", 0), walk)),
            "| `ProcessTrigger::Evaluate`, the helpers match | %.3f ms | %s |" % (
                g("process_poll_running_median_ms", 0), ratio(g("process_poll_running_median_ms", 0), walk)),
            ]
    out += ["", "### Reading the figures", ""] + reading(w)
    return out


def reading(w):
    """A few consequences the figures imply, computed from them."""
    g = w.get
    lines = []
    poll = g("process_poll_absent_median_ms", 0)
    walk = g("process_walk_median_ms", 0)
    if poll:
        share = walk / poll
        lines.append("- A process trigger polls once a second: %.1f ms per poll is %.1f %% of one core"
                     " while it is active, %s of it the system's snapshot itself." %
                     (poll, poll / 10, "practically all" if share >= 0.95 else "%.0f %%" % (100 * share)))
    if g("idle_seconds"):
        lines.append("- Idle with a daily trigger active, the program used %.0f ms of processor time in"
                     " %.0f s (%.3f %% of one core)." %
                     (g("idle_sim_cpu_ms", 0), g("idle_seconds"), g("idle_sim_cpu_ms", 0) / g("idle_seconds") / 10))
    if g("fires_measured"):
        lines.append("- Actions came %.0f ms (median) and at most %.0f ms after their occurrence: within"
                     " the one-second poll period%s." %
                     (g("fires_delay_median_ms", 0), g("fires_delay_max_ms", 0),
                      "" if g("fires_delay_max_ms", 0) <= 1100 else ", EXCEEDED by some fires"))
    return lines


def main():
    core_json, wine_txt, output = sys.argv[1:4]
    core, bases = core_section(core_json)
    w, errors = wine_figures(wine_txt)
    doc = ["# Performance",
           "",
           "Figures of one run of `scripts/bench.sh` (it rewrites this file). Each ratio is"
           " against a baseline measured in the same run on the same machine, so the ratios"
           " travel better than the absolute figures. The machine is shared with other work;"
           " the load average below tells how quiet it was.",
           "",
           "## Machine",
           "",
           "| | |",
           "|---|---|"]
    doc += ["| %s | %s |" % kv for kv in machine()]
    doc += ["",
            "## Core (host build, Google Benchmark)",
            "",
            "`build/host/bench/core_bench`: the portable core against the in-memory registry and a"
            " fixed clock; median of 3 repetitions. Triggers are measured waiting, which is where"
            " they spend nearly every poll; the process trigger walks a list of 50 names without a"
            " match; the pattern cases are the matcher's worst (255-character names).",
            "",
            "Baselines:",
            ""]
    doc += bases
    doc += ["", ""] + core
    doc += ["",
            "The language file is 40 sets of 100 entries (4,081 lines); loading its last set"
            " reads the whole file, the worst a page can meet.",
            "",
            "## The program under Wine (win64 build)",
            "",
            "`scripts/bench-wine.sh` runs `bench_driver.exe` inside a Wine virtual desktop; it"
            " measures `VesperonSim.exe` (the shipped program's code, with system actions"
            " journaled instead of performed) against `bench_baseline.exe`.",
            ""]
    doc += wine_section(w)
    if errors:
        doc += ["", "Problems reported by the driver:", ""] + ["- " + e for e in errors]
    doc.append("")
    with open(output, "w") as f:
        f.write("\n".join(doc))


if __name__ == "__main__":
    main()
