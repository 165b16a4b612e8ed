#include <windows.h>

#include "platform/Services.h"

namespace platform {
namespace {
class Win32OsVersion final : public IOsVersionSource {
 public:
  bool Query(OsVersionRecord& out) override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);  // 148 bytes
    static_assert(sizeof(OSVERSIONINFOA) == 148);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
    out.platformId = info.dwPlatformId;
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    return true;
  }
};
}  // namespace

IOsVersionSource& DefaultOsVersion() {
  static Win32OsVersion source;
  return source;
}
}  // namespace platform
