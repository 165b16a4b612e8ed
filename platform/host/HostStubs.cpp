// TEMPORARY: replaced by the in-memory registry and the host date text.
#include <stdexcept>
#include "platform/Services.h"
namespace platform {
IRegistry& DefaultRegistry() { throw std::logic_error("no registry yet"); }
IDateText& DefaultDateText() { throw std::logic_error("no date text yet"); }
}  // namespace platform
