#pragma once
// Whole-text pattern match shared by the process trigger, the kill action and
// the dial-up hang-up: "*" stands for any run of characters (also none), "?"
// for exactly one, every other character for itself. Bytes are compared as
// they are, so case matters; callers that want a case-blind match upper-case
// both texts first.
#include <string>

namespace Vesperon {

bool WildcardMatch(const char* pattern, const char* name);

inline bool WildcardMatch(const std::string& pattern, const std::string& name) {
  return WildcardMatch(pattern.c_str(), name.c_str());
}

}  // namespace Vesperon
