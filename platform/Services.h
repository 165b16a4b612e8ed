#pragma once
// The platform services the core uses. Each accessor returns the service
// installed for this build (the real Windows one in the Win32 build, the
// host stand-in otherwise); tests install their own with the setters and
// restore the default by passing nullptr.
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Desktop.h"
#include "platform/OsVersion.h"
#include "platform/Registry.h"

namespace platform {

IRegistry& Registry();
IClock& Clock();
IDateText& DateText();
IOsVersionSource& OsVersion();
IDesktop& Desktop();

void SetRegistry(IRegistry* registry);
void SetClock(IClock* clock);
void SetDateText(IDateText* dateText);
void SetOsVersion(IOsVersionSource* source);
void SetDesktop(IDesktop* desktop);

// Installs a service for the lifetime of the guard.
template <typename Interface, void (*Setter)(Interface*)>
class ScopedService {
 public:
  explicit ScopedService(Interface& service) { Setter(&service); }
  ~ScopedService() { Setter(nullptr); }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;
};

using ScopedRegistry = ScopedService<IRegistry, SetRegistry>;
using ScopedClock = ScopedService<IClock, SetClock>;
using ScopedDateText = ScopedService<IDateText, SetDateText>;
using ScopedOsVersion = ScopedService<IOsVersionSource, SetOsVersion>;
using ScopedDesktop = ScopedService<IDesktop, SetDesktop>;

// Defaults, defined once per build by platform/win32 or platform/host.
IRegistry& DefaultRegistry();
IClock& DefaultClock();
IDateText& DefaultDateText();
IOsVersionSource& DefaultOsVersion();
IDesktop& DefaultDesktop();

}  // namespace platform
