#!/usr/bin/env python3
"""bench-report.py CORE_JSON WINE_RESULTS SIZES OUTPUT_MD: turns the figures
of one bench run (Google Benchmark's JSON, the Wine driver's "name value"
lines, the release's sizes as "name bytes" lines) into docs/performance.md,
with each figure's ratio to the baseline measured in the same run, each goal
next to its measured figure, and the machine it came from."""
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
            " millisecond from the driver), median of %d starts of each, the programs taking turns, after one round that is not"
            " counted; peak memory read with `GetProcessMemoryInfo` 1.5 s after the icon"
            " appeared. Under Wine all figures include Wine's own libraries. Two baselines, same"
            " compiler and flags: the bare one is a dialog without controls that adds a tray icon"
            " and hides; the template one shows the program's own main window template (its"
            " controls and menu), manifest and icons, with the common controls it needs and no"
            " program logic: what any program with this window pays." % g("startup_runs", 0),
            "",
            "| figure | VesperonSim.exe | template baseline | ratio | bare baseline | ratio |",
            "|---|---:|---:|---:|---:|---:|"]
    for label, key, unit in [("start-up to tray icon, median", "startup_%s_median_ms", "ms"),
                             ("start-up to tray icon, fastest", "startup_%s_min_ms", "ms"),
                             ("start-up to tray icon, slowest", "startup_%s_max_ms", "ms"),
                             ("PeakWorkingSetSize", "peak_working_set_%s_kb", "KiB"),
                             ("PeakPagefileUsage", "peak_pagefile_%s_kb", "KiB")]:
        s, t, b = g(key % "sim", 0), g(key % "template", 0), g(key % "baseline", 0)
        out.append("| %s | %.0f %s | %.0f %s | %s | %.0f %s | %s |" % (
            label, s, unit, t, unit, ratio(s, t), b, unit, ratio(s, b)))
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
            " and daily triggers set a few seconds ahead one after another, action \"Turn off\""
            " (journaled only). The occurrence is the whole second the trigger is due on (the"
            " program reads the clock in whole seconds); the action's moment is the wall time the"
            " journal line carries. In the last five minutes the trigger is polled just after each"
            " whole second of the clock (%d ms margin), so the delay is that margin, Wine's timer"
            " latency and the work the program does before the action (the stored LastEvent; for a"
            " one-shot countdown its deactivation, with the tray icon's reset; the announcing"
            " balloon)." % (g("fires_countdown_s", 0), MARGIN_MS),
            "",
            "| figure | countdown | daily |",
            "|---|---:|---:|",
            "| fires measured | %.0f of %.0f | %.0f |" % (g("fires_measured", 0), g("fires_journaled", 0),
                                                      g("daily_measured", 0)),
            "| left out: start second uncertain (fire within 50 ms of a second's end) | %.0f | - |" %
            g("fires_ambiguous", 0),
            "| fired before the occurrence | %.0f | %.0f |" % (g("fires_early", 0), g("daily_early", 0)),
            "| delay, median | %.0f ms | %.0f ms |" % (g("fires_delay_median_ms", 0), g("daily_delay_median_ms", 0)),
            "| delay, max | %.0f ms | %.0f ms |" % (g("fires_delay_max_ms", 0), g("daily_delay_max_ms", 0)),
            ]
    out += ["",
            "### The countdown label",
            "",
            "The label of a shown window with a ten-minute countdown, read every 10 ms over %.0f"
            " consecutive seconds of the clock (from the middle of the first to the middle of the"
            " last)." % g("label_seconds", 0),
            "",
            "| figure | value |",
            "|---|---:|",
            "| distinct values | %.0f |" % g("label_distinct", 0),
            "| steps that skipped a second | %.0f |" % g("label_skips", 0),
            "| steps that did not go down (a second shown again) | %.0f |" % g("label_repeats", 0),
            "| when in its second a change was seen, median | %.0f ms |" % g("label_change_phase_median_ms", 0),
            "| when in its second a change was seen, max | %.0f ms |" % g("label_change_phase_max_ms", 0),
            ]
    out += ["",
            "### A long run",
            "",
            "One program: a countdown of one second that starts over by itself (\"AutoReactTrgr\","
            " \"No action\") for %.0f fires, the window shown and hidden %.0f times, %.0f balloons"
            " (a countdown of an hour activated and deactivated), in %.0f s; the figures before are"
            " taken after a short first round of the same (what is made once and kept is no growth)."
            " Handles come from the system's handle list (Wine answers `GetProcessHandleCount` for"
            " another process with nothing); `GetGuiResources` answers 0 under Wine, so the GDI and"
            " USER counts are not reported there, and the program's windows (top-level and child),"
            " counted from outside, stand in for the USER objects." % (
                g("soak_fires", 0), g("soak_shows", 0), g("soak_balloons", 0), g("soak_seconds", 0)),
            "",
            "| figure | before | after | change |",
            "|---|---:|---:|---:|"]
    for label, key, unit in [("handles", "soak_handles_%s", ""),
                             ("GDI objects (GetGuiResources)", "soak_gdi_%s", ""),
                             ("USER objects (GetGuiResources)", "soak_user_%s", ""),
                             ("windows", "soak_windows_%s", ""),
                             ("WorkingSetSize", "soak_working_set_%s_kb", " KiB"),
                             ("PagefileUsage (private bytes)", "soak_private_%s_kb", " KiB")]:
        b, a = g(key % "before", 0), g(key % "after", 0)
        if not b and not a and "GetGuiResources" in label:
            out.append("| %s | not reported | not reported | |" % label)
        else:
            out.append("| %s | %.0f%s | %.0f%s | %+.0f%s |" % (label, b, unit, a, unit, a - b, unit))
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
    return lines


# The margin after each whole second at which once-a-second timers run
# (kSecondMarginMs in app/SchedulerEngine.h).
MARGIN_MS = 20


def goals(w, sizes):
    """Each goal with its measured figure: (goal, measured, met or not, why not)."""
    g = w.get
    rows = []

    def add(goal, measured, met, why=""):
        rows.append((goal, measured, "met" if met else "NOT met", "" if met else why))

    work = ("the timer runs %.0f ms (median) into the second; the rest is the program's work"
            " before the action under Wine (stored LastEvent, a one-shot trigger's deactivation"
            " with its tray icon reset, the announcing balloon: each a round trip to the"
            " Wine server or the tray's explorer), which grows with the machine's load"
            % g("label_change_phase_median_ms", 0))
    for kind, key in [("countdown", "fires"), ("daily", "daily")]:
        med, most, early = g(key + "_delay_median_ms", 0), g(key + "_delay_max_ms", 0), g(key + "_early", 0)
        n = g(key + "_measured", 0)
        add("%s fires: occurrence to action median <= 50 ms, max <= 150 ms, none early" % kind,
            "%.0f fires: median %.0f ms, max %.0f ms, %.0f early" % (n, med, most, early),
            n > 0 and med <= 50 and most <= 150 and early == 0, work)
    seconds = g("label_seconds", 0)
    add("countdown label over %.0f s: %.0f distinct consecutive values" % (seconds, seconds),
        "%.0f distinct, %.0f skipped, %.0f repeated" % (g("label_distinct", 0), g("label_skips", 0),
                                                          g("label_repeats", 0)),
        seconds > 0 and g("label_distinct") == seconds and not g("label_skips") and not g("label_repeats"),
        "a display tick came late by a second or early before its second (see the change times below)")
    startup_why = ("the libraries only one page or action needs (common dialogs, date"
                   " conversions) load on first use; what is left are the start-up steps the"
                   " program keeps before its tray icon: sockets and OLE, the DDE name"
                   " service, the service check, the settings read, the hot keys and the image"
                   " lists of the action icons, which together cost more than the window")
    for label, key in [("start-up to tray icon", "startup_%s_median_ms"),
                       ("peak working set", "peak_working_set_%s_kb")]:
        s, t = g(key % "sim", 0), g(key % "template", 0)
        measured = "x%s" % ratio(s, t)
        ready = g("startup_sim_ready_median_ms", 0)
        if label.startswith("start-up") and ready:
            # The icon comes first; the rest of the window's set-up follows.
            measured += " (window set up at x%s)" % ratio(ready, t)
        add("%s <= 1.2 x the template baseline" % label, measured, t > 0 and s <= 1.2 * t, startup_why)
    for label, key in [("handles", "soak_handles_%s"), ("windows (USER objects)", "soak_windows_%s")]:
        b, a = g(key % "before", 0), g(key % "after", 0)
        add("long run: no growth of %s" % label, "%.0f before, %.0f after" % (b, a),
            b > 0 and a <= b, "not counted" if not b else "they grew")
    add("long run: GDI and USER objects do not grow", "not reported by Wine (GetGuiResources is 0)"
        if not g("soak_gdi_after") else "GDI %.0f -> %.0f, USER %.0f -> %.0f" % (
            g("soak_gdi_before", 0), g("soak_gdi_after", 0), g("soak_user_before", 0), g("soak_user_after", 0)),
        bool(g("soak_gdi_after")) and g("soak_gdi_after") <= g("soak_gdi_before", 0)
        and g("soak_user_after") <= g("soak_user_before", 0),
        "Wine's GetGuiResources answers 0; the handle and window counts above stand in (flat over"
        " the soak, the shows and the balloons); counting every GDI creation inside the simulation"
        " build would wrap each GDI call of the program and was not built")
    b, a = g("soak_working_set_before_kb", 0), g("soak_working_set_after_kb", 0)
    add("long run: working set within 1 %", "%.0f KiB -> %.0f KiB (%+.2f %%)" % (
        b, a, 100.0 * (a - b) / b if b else 0), b > 0 and abs(a - b) <= 0.01 * b, "it grew")
    if g("soak_fires", 0) < 1000:
        rows[-1] = rows[-1][:3] + ((rows[-1][3] + "; " if rows[-1][3] else "") +
                                   "this run made %.0f fires, not 1,000" % g("soak_fires", 0),)
    exe, zip_ = sizes.get("shipped_exe", 0), sizes.get("portable_zip", 0)
    add("shipped Vesperon.exe <= 700 KB", "%.0f KB" % (exe / 1024), 0 < exe <= 700 * 1024,
        "stripped, the program is still code (.text %.0f KB, unwind tables %.0f KB) plus its"
        " resources (%.0f KB, most of it the icons: 16, 20, 24 and 32 px images in 32 bits, the"
        " 20 and 24 px ones keep them sharp at 125 and 150 %%); removing unused sections saved"
        " nothing and link-time optimisation crashes this MinGW g++ 12; sharp icons were kept"
        " over the goal" % (sizes.get("section_text", 0) / 1024,
                        (sizes.get("section_pdata", 0) + sizes.get("section_xdata", 0)) / 1024,
                        sizes.get("section_rsrc", 0) / 1024))
    add("portable zip <= 400 KB", "%.0f KB" % (zip_ / 1024), 0 < zip_ <= 400 * 1024, "too large")
    return rows


def read_sizes(path):
    sizes = {}
    if path and os.path.exists(path):
        with open(path) as f:
            for line in f:
                name, _, value = line.strip().partition(" ")
                if name and value.isdigit():
                    sizes[name] = int(value)
    return sizes


def size_section(sizes):
    kb = lambda key: "%.0f KB" % (sizes.get(key, 0) / 1024)
    return ["## The release",
            "",
            "`scripts/package.sh`: the shipped program is stripped and names its symbols file"
            " (`Vesperon.debug`, kept beside the build and in `dist/`) in its `.gnu_debuglink`.",
            "",
            "| file | size |",
            "|---|---:|",
            "| Vesperon.exe as built (with symbols) | %s |" % kb("built_exe"),
            "| Vesperon.exe shipped (stripped) | %s |" % kb("shipped_exe"),
            "| Vesperon.debug | %s |" % kb("debug"),
            "| portable zip | %s |" % kb("portable_zip"),
            "| installer | %s |" % kb("setup"),
            ""]


def main():
    core_json, wine_txt, sizes_txt, output = sys.argv[1:5]
    core, bases = core_section(core_json)
    w, errors = wine_figures(wine_txt)
    sizes = read_sizes(sizes_txt)
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
            "## Goals",
            "",
            "| goal | measured | | why not |",
            "|---|---|---|---|"]
    doc += ["| %s | %s | %s | %s |" % row for row in goals(w, sizes)]
    doc += [""] + size_section(sizes)
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
            " journaled instead of performed) against `bench_baseline.exe` and"
            " `bench_template.exe`.",
            ""]
    doc += wine_section(w)
    if errors:
        doc += ["", "Problems reported by the driver:", ""] + ["- " + e for e in errors]
    doc.append("")
    with open(output, "w") as f:
        f.write("\n".join(doc))


if __name__ == "__main__":
    main()
