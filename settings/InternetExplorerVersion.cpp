#include "settings/InternetExplorerVersion.h"

#include <cstdint>

#include "platform/Registry.h"
#include "settings/SettingsKey.h"
#include "settings/StoreExceptions.h"

namespace Vesperon {
namespace {

constexpr double kUnset = -1.0;
double g_cachedVersion = kUnset;

constexpr const char kBrowserKeyPath[] = "SOFTWARE\\Microsoft\\Internet Explorer";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Browsers before 4.0 left only "IVer", a code for the major version.
double VersionFromIVer(const std::string& iver) {
  if (iver == "100") return 1.0;
  if (iver == "102") return 2.0;
  if (iver == "103") return 3.0;
  return 0.0;
}

double ReadVersion() {
  const DataSystem::ScopedKey key = DataSystem::OpenExistingSettingsKey(
      kBrowserKeyPath, DataSystem::kHiveLocalMachine, platform::kKeyQueryValue);
  try {
    return ParseInternetExplorerVersion(DataSystem::ReadStringValue(key, "Version"));
  } catch (const DataSystem::RegistryException& e) {
    if (e.code != DataSystem::RegistryException::kQueryValue) throw;
  }
  try {
    return VersionFromIVer(DataSystem::ReadStringValue(key, "IVer"));
  } catch (const DataSystem::RegistryException& e) {
    // A key with neither value names no version we know, like an IVer code
    // we do not know; failing here would leave every caller without an
    // answer on such a machine for the rest of the run.
    if (e.code != DataSystem::RegistryException::kQueryValue) throw;
  }
  return 0.0;
}

}  // namespace

double ParseInternetExplorerVersion(const std::string& text) {
  std::size_t at = 0;
  double whole = 0.0;
  for (; at < text.size() && IsDigit(text[at]); ++at) whole = whole * 10.0 + (text[at] - '0');

  const std::size_t point = text.find('.');
  if (point == std::string::npos) return whole;
  at = point + 1;
  // The run is one number, so its leading zeros add nothing ("5.05" is 5.5).
  while (at < text.size() && text[at] == '0') ++at;
  // Only the whole part decides anything, so the fraction must never carry
  // into it: with nine digits it stays at least 10^-9 below 1, which the sum
  // keeps ("4.9999999999999999" must not pass for 5). Reading the whole run
  // could also overflow to infinity, which no division brings below 1.
  std::uint64_t run = 0;
  for (int kept = 0; at < text.size() && IsDigit(text[at]) && kept < 9; ++at, ++kept) {
    run = run * 10 + static_cast<std::uint64_t>(text[at] - '0');
  }
  double fraction = static_cast<double>(run);
  while (fraction >= 1.0) fraction /= 10.0;
  return whole + fraction;
}

double GetInternetExplorerVersion() {
  if (g_cachedVersion != kUnset) return g_cachedVersion;
  const double version = ReadVersion();
  g_cachedVersion = version;
  return version;
}

void ResetInternetExplorerVersionCacheForTesting() { g_cachedVersion = kUnset; }

}  // namespace Vesperon
