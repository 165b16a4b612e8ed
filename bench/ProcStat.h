#pragma once
// Reading a Linux process's own counters, for the measurements under Wine:
// Wine gives no processor times for other processes, but every Windows
// process there is a Linux process whose /proc entries drive Z: can read.
#include <cstdint>
#include <optional>
#include <string>

namespace bench {

// utime + stime of a /proc/<pid>/stat text, in clock ticks; nullopt for a
// text that is not one. The command in parentheses may itself hold spaces
// and parentheses.
std::optional<std::uint64_t> CpuTicksFromStat(const std::string& stat);

// Whether a /proc/<pid>/cmdline text (arguments separated by NULs) starts a
// program of the file name `exe` names: the last component of the first
// argument, either kind of slash, case-blind as Windows file names are.
bool CommandRuns(const std::string& cmdline, const std::string& exe);

// Whether a /proc/<pid>/environ text (NUL-separated NAME=value entries)
// holds exactly the entry name=value.
bool EnvironmentHas(const std::string& environment, const std::string& name,
                    const std::string& value);

}  // namespace bench
