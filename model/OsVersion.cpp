#include "model/OsVersion.h"

#include "model/Exception.h"
#include "platform/Services.h"

namespace Vesperon {
namespace {

// Written once, with the same value by any concurrent first caller.
std::int32_t g_cachedCode = kOsUnknown;

std::int32_t Classify(const platform::OsVersionRecord& v) {
  if (v.platformId == 1) {  // the 9x line
    if (v.major != 4) throw Exception();
    switch (v.minor) {
      case 0: return kOsWindows95;
      case 10: return kOsWindows98;
      case 90: return kOsWindowsMe;
      default: throw Exception();
    }
  }
  if (v.platformId == 2) {  // the NT line
    switch (v.major) {
      case 3:
        if (v.minor == 51) return kOsWindowsNT351;
        throw Exception();
      case 4:
        if (v.minor == 0) return kOsWindowsNT4;
        throw Exception();
      case 5:
        switch (v.minor) {
          case 0: return kOsWindows2000;
          case 1: return kOsWindowsXP;
          case 2: return kOsWindowsServer2003;
          default: return kOsWindowsLater;
        }
      default:
        return kOsWindowsLater;
    }
  }
  throw Exception();
}

}  // namespace

std::int32_t GetOsVersionCode() {
  if (g_cachedCode != kOsUnknown) return g_cachedCode;
  platform::OsVersionRecord record;
  if (!platform::OsVersion().Query(record)) throw Exception();
  g_cachedCode = Classify(record);
  return g_cachedCode;
}

bool IsOsVersionAtLeast(const std::int32_t& min9x, const std::int32_t& minNT) {
  const std::int32_t code = GetOsVersionCode();
  if (min9x != 0 && code >= min9x && code <= kOsWindowsMe) return true;
  return minNT != 0 && code >= minNT;
}

void ResetOsVersionCacheForTesting() { g_cachedCode = kOsUnknown; }

}  // namespace Vesperon
