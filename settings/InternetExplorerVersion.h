#pragma once
// The version of the installed Internet Explorer, which decides whether the
// shell offers balloon tips, list-view label tips and key copying (5.0 and
// later). Read from the local-machine hive once per process.
#include <string>

namespace Vesperon {

// The cached version; reads it on the first call. Failing to open the
// browser's key throws DataSystem::RegistryException (code 7) and caches
// nothing, so a later call reads again.
double GetInternetExplorerVersion();

// The number of a "Version" text: the leading digits are the whole part, and
// the digits right after the first point, read as one number, are scaled
// below 1 ("5.50.4807.2300" is 5.5, "6.0.2900.2180" is 6.0). Text without
// leading digits has the whole part 0, so the result is never negative.
double ParseInternetExplorerVersion(const std::string& text);

void ResetInternetExplorerVersionCacheForTesting();

}  // namespace Vesperon
