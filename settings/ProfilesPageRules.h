#pragma once
// The decisions of the Profiles page and its name dialog that need no
// window: which buttons a list row allows, the name an imported file
// suggests, whether a typed name is accepted, and the text of a profile's
// last change.
#include <string>
#include <string_view>
#include <vector>

#include "model/DateTime.h"

namespace Vesperon {

// Texts of the page and of the name dialog.
inline constexpr char kActiveMark[] = "Active";
inline constexpr char kSelectProfileText[] = "Please select a profile from the list.";
inline constexpr char kDefaultNotRenamedText[] = "\"Default\" profile may not be renamed.";
inline constexpr char kProfileExistsText[] = "Such profile already exists";
inline constexpr char kEmptyProfileNameText[] = "Please enter a name for the profile.";
inline constexpr char kBackslashProfileNameText[] = "A profile name may not contain \"\\\".";

// List-view extended styles: grid lines, sub-item images, full-row select,
// one-click activation, hot underlining; label tips from browser 5.0 on.
inline constexpr unsigned kProfileListStyles = 0x863;
inline constexpr unsigned kProfileListLabelTip = 0x4000;

struct ProfileButtons {
  bool copy = false;
  bool rename = false;
  bool remove = false;
  bool setActive = false;
  friend bool operator==(const ProfileButtons&, const ProfileButtons&) = default;
};

// The buttons for the row a list notification names (`hasItem` false: none),
// with that row's name and "Active" column. Copy and rename need the shell's
// key copy of browser 5.0; "Default" is neither renamed nor deleted.
ProfileButtons ProfileButtonsFor(bool hasItem, const std::string& name,
                                 const std::string& activeColumn, double browserVersion);

// The name an imported file suggests: its file name without folder and
// without extension; a file name without a dot suggests nothing.
std::string SuggestedProfileName(const std::string& path);

enum class NameProblem { kNone, kForbidden, kEmpty, kBackslash, kUnstorable };
// What the name dialog says about a typed name: characters the system cannot
// store (checked first: their stored "?" could pass for another profile), a
// forbidden text (compared exactly, case included), an empty name or one
// with a backslash (neither can name a profile key). With no problem
// `stored` receives the name as it is stored.
NameProblem CheckProfileName(std::u16string_view typed, const std::vector<std::string>& forbidden,
                             std::string& stored);

// "<date> - <time>" in the user's short date and time formats; empty when
// the moment is not valid or cannot be converted.
std::string FormatLastModified(const DateTime& moment);

}  // namespace Vesperon
