#pragma once
// The platform services the core uses. Each accessor returns the service
// installed for this build (the real Windows one in the Win32 build, the
// host stand-in otherwise); tests install their own with the Scoped guards.
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Desktop.h"
#include "platform/OsVersion.h"
#include "platform/Registry.h"
#include "platform/ServiceSlot.h"

namespace platform {

// Defaults, defined once per build by platform/win32 or platform/host.
IRegistry& DefaultRegistry();
IClock& DefaultClock();
IDateText& DefaultDateText();
IOsVersionSource& DefaultOsVersion();
IDesktop& DefaultDesktop();

using RegistrySlot = ServiceSlot<IRegistry, DefaultRegistry>;
using ClockSlot = ServiceSlot<IClock, DefaultClock>;
using DateTextSlot = ServiceSlot<IDateText, DefaultDateText>;
using OsVersionSlot = ServiceSlot<IOsVersionSource, DefaultOsVersion>;
using DesktopSlot = ServiceSlot<IDesktop, DefaultDesktop>;

inline IRegistry& Registry() { return RegistrySlot::Get(); }
inline IClock& Clock() { return ClockSlot::Get(); }
inline IDateText& DateText() { return DateTextSlot::Get(); }
inline IOsVersionSource& OsVersion() { return OsVersionSlot::Get(); }
inline IDesktop& Desktop() { return DesktopSlot::Get(); }

using ScopedRegistry = RegistrySlot::Scoped;
using ScopedClock = ClockSlot::Scoped;
using ScopedDateText = DateTextSlot::Scoped;
using ScopedOsVersion = OsVersionSlot::Scoped;
using ScopedDesktop = DesktopSlot::Scoped;

}  // namespace platform
