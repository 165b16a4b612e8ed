#include "model/WildcardMatch.h"

namespace Vesperon {

// A single-star backtracking matcher: only the most recent star is ever
// retried, which is enough because a later star can absorb whatever an
// earlier one would have.
bool WildcardMatch(const char* pattern, const char* name) {
  // The literal prefix before the first star must match character by character.
  while (*name != '\0' && *pattern != '*') {
    if (*pattern != *name && *pattern != '?') return false;
    ++pattern;
    ++name;
  }

  const char* starPoint = pattern;  // pattern position just after the last star
  const char* retryPoint = name;    // where the last star's run ends on the next retry
  while (*name != '\0') {
    if (*pattern == '*') {
      ++pattern;
      if (*pattern == '\0') return true;  // a trailing star takes the rest
      starPoint = pattern;
      retryPoint = name + 1;
    } else if (*pattern == *name || *pattern == '?') {
      ++pattern;
      ++name;
    } else {
      // Let the star swallow one more character and match the rest again.
      pattern = starPoint;
      name = retryPoint++;
    }
  }

  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

}  // namespace Vesperon
