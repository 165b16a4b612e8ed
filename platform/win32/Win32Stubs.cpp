// TEMPORARY: replaced by the Win32 registry, clock, date text and desktop.
#include <stdexcept>
#include "platform/Services.h"
namespace platform {
IRegistry& DefaultRegistry() { throw std::logic_error("no registry yet"); }
IDateText& DefaultDateText() { throw std::logic_error("no date text yet"); }
IClock& DefaultClock() { throw std::logic_error("no clock yet"); }
IDesktop& DefaultDesktop() { throw std::logic_error("no desktop yet"); }
}  // namespace platform
