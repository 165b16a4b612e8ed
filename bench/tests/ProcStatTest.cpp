// Finding the right Linux process and reading its time: a loose match would
// measure another program (another engineer's copy of the same file), a
// misread field would report page faults as processor time.
#include "bench/ProcStat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

TEST(ProcStat, ProcessorTicksAreUtimePlusStime) {
  struct Row {
    std::string stat;
    std::optional<std::uint64_t> ticks;
  } const rows[] = {
      {"9600 (VesperonSim.exe) S 1 9217 13630 0 -1 4194304 3176 0 0 0 6 15 0 0 20 0 1 0", 21},
      // A command with spaces and a parenthesis of its own.
      {"42 (a) b (c)) R 1 2 3 0 -1 0 100 0 0 0 7 8 0 0", 15},
      {"1 (init) S 0 1 1 0 -1 4194560 5000 0 0 0 0 0", 0},
      {"1 (init) S 0 1 1 0 -1 4194560 5000 0 0 0 0", std::nullopt},  // cut short
      {"1 (init) S 0 1 1 0 -1 4194560 5000 0 0 0 x 0", std::nullopt},
      {"1 init S 0 1 1 0 -1 4194560 5000 0 0 0 1 1", std::nullopt},  // no command field
      {"", std::nullopt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.stat);
    EXPECT_EQ(bench::CpuTicksFromStat(r.stat), r.ticks);
  }
}

TEST(ProcStat, CommandLineNamesTheProgramByItsFileName) {
  struct Row {
    std::string cmdline;
    const char* exe;
    bool runs;
  } const rows[] = {
      {"Z:\\work\\build\\app\\VesperonSim.exe\0"s, "Z:\\work\\build\\app\\VesperonSim.exe", true},
      {"/work/build/app/VesperonSim.exe\0--x\0"s, "Z:\\other\\VESPERONSIM.EXE", true},
      {"Z:\\work\\XVesperonSim.exe\0"s, "Z:\\work\\VesperonSim.exe", false},
      {"Z:\\work\\VesperonSim.exe.bak\0"s, "VesperonSim.exe", false},
      {"wine\0Z:\\work\\VesperonSim.exe\0"s, "VesperonSim.exe", false},  // not the program itself
      {""s, "VesperonSim.exe", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.cmdline);
    EXPECT_EQ(bench::CommandRuns(r.cmdline, r.exe), r.runs);
  }
}

TEST(ProcStat, EnvironmentEntryMatchesWhole) {
  const std::string env = "HOME=/root\0WINEPREFIX=/w/bench/build/wineprefix\0TERM=x\0"s;
  struct Row {
    const char* name;
    const char* value;
    bool has;
  } const rows[] = {
      {"WINEPREFIX", "/w/bench/build/wineprefix", true},
      {"HOME", "/root", true},
      {"WINEPREFIX", "/w/bench/build/wine", false},        // a prefix of the value
      {"WINEPREFIX", "/w/bench/build/wineprefix2", false},
      {"PREFIX", "/w/bench/build/wineprefix", false},      // the tail of another name
      {"TERM", "", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.name) + "=" + r.value);
    EXPECT_EQ(bench::EnvironmentHas(env, r.name, r.value), r.has);
  }
}

}  // namespace
