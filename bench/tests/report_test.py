"""The report's arithmetic: each core figure set against the baseline of its
group, the median taken from Google Benchmark's aggregates, and ratios that
never divide by a baseline too small to measure."""
import importlib.util
import json
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
loader_spec = importlib.util.spec_from_file_location(
    "bench_report", os.path.join(HERE, "..", "..", "scripts", "bench-report.py"))
report = importlib.util.module_from_spec(loader_spec)
loader_spec.loader.exec_module(report)


def aggregate(name, kind, ns, unit="ns"):
    scale = {"ns": 1, "us": 1e3}[unit]
    return {"name": name + "_" + kind, "run_name": name, "run_type": "aggregate",
            "aggregate_name": kind, "real_time": ns / scale, "time_unit": unit}


class CoreSection(unittest.TestCase):
    def rows(self, benchmarks):
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            json.dump({"benchmarks": benchmarks}, f)
        try:
            lines, _ = report.core_section(f.name)
        finally:
            os.unlink(f.name)
        return {l.split(" | ")[0][2:]: l.split(" | ")[1:] for l in lines[2:]}

    def test_each_group_against_its_own_baseline(self):
        rows = self.rows([
            aggregate("Baseline/Now", "median", 40),
            aggregate("Baseline/StringEquals", "median", 10),
            aggregate("Baseline/RegistryValue", "median", 1000),
            aggregate("Baseline/FormatNumber", "median", 25),
            aggregate("Evaluate/Daily", "mean", 999999),  # not the median: ignored
            aggregate("Evaluate/Daily", "median", 120),
            aggregate("WildcardMatch/Long", "median", 2500, "us"),
            aggregate("ReadStrings/Appearance", "median", 3000),
            aggregate("FormatRemaining/Days", "median", 100),
            aggregate("Unknown/Thing", "median", 5),
        ])
        cases = [
            ("Evaluate/Daily", "120.0 ns", "Baseline/Now", "3.0 |"),
            ("WildcardMatch/Long", "2.50 us", "Baseline/StringEquals", "250.0 |"),
            ("ReadStrings/Appearance", "3.00 us", "Baseline/RegistryValue", "3.0 |"),
            ("FormatRemaining/Days", "100.0 ns", "Baseline/FormatNumber", "4.0 |"),
            ("Unknown/Thing", "5.0 ns", "-", "- |"),
        ]
        for name, time, base, ratio in cases:
            with self.subTest(name=name):
                self.assertEqual(rows[name], [time, base, ratio])
        self.assertNotIn("Baseline/Now", rows)


class Ratio(unittest.TestCase):
    def test_ratios(self):
        for a, b, expected in [(30, 20, "1.50"), (20, 0, "n/a (baseline 0)"), (0, 0, "-"),
                               (0, 5, "0.00")]:
            with self.subTest(a=a, b=b):
                self.assertEqual(report.ratio(a, b), expected)


class Goals(unittest.TestCase):
    def test_each_goal_met_or_not_with_its_reason(self):
        w = {"fires_measured": 20, "fires_delay_median_ms": 30, "fires_delay_max_ms": 151,
             "label_seconds": 60, "label_distinct": 60,
             "startup_sim_median_ms": 120, "startup_template_median_ms": 100,
             "soak_handles_before": 40, "soak_handles_after": 40, "soak_fires": 1000}
        rows = {r[0]: r[2:] for r in report.goals(w, {"shipped_exe": 700 * 1024, "portable_zip": 400 * 1024 + 1})}
        verdict = lambda prefix: next(v for k, v in rows.items() if k.startswith(prefix))
        self.assertEqual(verdict("countdown fires")[0], "NOT met")  # the max is over
        self.assertEqual(verdict("countdown label"), ("met", ""))
        self.assertEqual(verdict("start-up"), ("met", ""))
        self.assertEqual(verdict("long run: no growth of handles"), ("met", ""))
        self.assertEqual(verdict("shipped"), ("met", ""))
        self.assertEqual(verdict("portable zip"), ("NOT met", "too large"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
