#include "platform/Services.h"

namespace platform {
namespace {
IRegistry* g_registry = nullptr;
IClock* g_clock = nullptr;
IDateText* g_dateText = nullptr;
IOsVersionSource* g_osVersion = nullptr;
IDesktop* g_desktop = nullptr;
}  // namespace

IRegistry& Registry() { return g_registry ? *g_registry : DefaultRegistry(); }
IClock& Clock() { return g_clock ? *g_clock : DefaultClock(); }
IDateText& DateText() { return g_dateText ? *g_dateText : DefaultDateText(); }
IOsVersionSource& OsVersion() { return g_osVersion ? *g_osVersion : DefaultOsVersion(); }
IDesktop& Desktop() { return g_desktop ? *g_desktop : DefaultDesktop(); }

void SetRegistry(IRegistry* registry) { g_registry = registry; }
void SetClock(IClock* clock) { g_clock = clock; }
void SetDateText(IDateText* dateText) { g_dateText = dateText; }
void SetOsVersion(IOsVersionSource* source) { g_osVersion = source; }
void SetDesktop(IDesktop* desktop) { g_desktop = desktop; }

}  // namespace platform
