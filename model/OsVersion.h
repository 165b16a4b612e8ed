#pragma once
// Classification of the running Windows version into one small code, made
// once per process, and the test of that code against a minimum for each of
// the two Windows lines.
#include <cstdint>

namespace Vesperon {

enum OsVersionCode : std::int32_t {
  kOsUnknown = 0,
  kOsWindows95 = 10,
  kOsWindows98 = 20,
  kOsWindowsMe = 30,
  kOsWindowsNT351 = 100,
  kOsWindowsNT4 = 110,
  kOsWindows2000 = 120,
  kOsWindowsXP = 130,
  kOsWindowsServer2003 = 140,
  kOsWindowsLater = 1000,
};

// Classifies on the first call (throws a plain Exception for a version record
// it does not know, leaving nothing cached) and returns the cached code after.
std::int32_t GetOsVersionCode();

// True when the running system is on the 9x line and at least `min9x`, or at
// least `minNT` otherwise; a minimum of 0 means "never on that line".
bool IsOsVersionAtLeast(const std::int32_t& min9x, const std::int32_t& minNT);

// Forgets the cached code, so that the next call classifies again.
void ResetOsVersionCacheForTesting();

}  // namespace Vesperon
