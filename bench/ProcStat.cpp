#include "bench/ProcStat.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace bench {

namespace {

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameCaseBlind(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::uint64_t> CpuTicksFromStat(const std::string& stat) {
  // The command is the only field that may hold ')': the fields start after
  // the last one. State is the first of them, utime the 12th, stime the 13th.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos || stat.find('(') > close) return std::nullopt;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  std::uint64_t ticks = 0;
  for (int i = 1; i <= 13; ++i) {
    if (!(fields >> field)) return std::nullopt;
    if (i < 12) continue;
    if (field.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    ticks += std::strtoull(field.c_str(), nullptr, 10);
  }
  return ticks;
}

bool CommandRuns(const std::string& cmdline, const std::string& exe) {
  const std::string first = cmdline.substr(0, cmdline.find('\0'));
  return !first.empty() && SameCaseBlind(FileNameOf(first), FileNameOf(exe));
}

bool EnvironmentHas(const std::string& environment, const std::string& name,
                    const std::string& value) {
  const std::string entry = name + "=" + value;
  std::size_t start = 0;
  while (start < environment.size()) {
    std::size_t end = environment.find('\0', start);
    if (end == std::string::npos) end = environment.size();
    if (environment.compare(start, end - start, entry) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace bench
