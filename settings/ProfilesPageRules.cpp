#include "settings/ProfilesPageRules.h"

#include <algorithm>
#include <optional>

#include "platform/Services.h"
#include "settings/StorableText.h"

namespace Vesperon {

ProfileButtons ProfileButtonsFor(bool hasItem, const std::string& name,
                                 const std::string& activeColumn, double browserVersion) {
  ProfileButtons buttons;
  const bool shellCopies = browserVersion >= 5.0;
  buttons.copy = shellCopies;
  buttons.remove = hasItem && name != "Default";
  buttons.rename = buttons.remove && shellCopies;
  buttons.setActive = hasItem && activeColumn != kActiveMark;
  return buttons;
}

std::string SuggestedProfileName(const std::string& path) {
  const std::string::size_type slash = path.find_last_of("\\/");
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string::size_type dot = file.find_last_of('.');
  return dot == std::string::npos ? std::string() : file.substr(0, dot);
}

NameProblem CheckProfileName(std::u16string_view typed, const std::vector<std::string>& forbidden,
                             std::string& stored) {
  const std::optional<std::string> storable = StorableText(typed);
  if (!storable) return NameProblem::kUnstorable;
  const std::string& text = *storable;
  if (std::find(forbidden.begin(), forbidden.end(), text) != forbidden.end()) {
    return NameProblem::kForbidden;
  }
  // A name of blanks only would list as an invisible row.
  if (text.find_first_not_of(' ') == std::string::npos) return NameProblem::kEmpty;
  if (text.find('\\') != std::string::npos) return NameProblem::kBackslash;
  stored = text;
  return NameProblem::kNone;
}

std::string FormatLastModified(const DateTime& moment) {
  std::string date, time;
  if (moment.status != DateTimeStatus::Valid ||
      !platform::DateText().UserDateAndTime(moment.days, date, time)) {
    return {};
  }
  return date + " - " + time;
}

}  // namespace Vesperon
