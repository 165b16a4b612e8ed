#include "settings/StorableText.h"

#include "platform/CodePageText.h"

namespace Vesperon {

std::optional<std::string> StorableText(std::u16string_view typed) {
  return platform::ToCodePageExactly(typed);
}

}  // namespace Vesperon
