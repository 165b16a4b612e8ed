#pragma once
// The active dial-up (remote access) connections: listing them for the
// Disconnect page and ending those whose phone-book entry names match the
// user's patterns ("Hang Up Connection(s)"). Both are one enumeration
// through platform::DialUpSystem().
#include <cstdint>
#include <string>
#include <vector>

#include "model/Exception.h"

namespace Vesperon {

struct ConnectionInfo {
  std::string entryName;
  std::string deviceType;
  std::string deviceName;

  bool operator==(const ConnectionInfo&) const = default;
};

// An enumeration the remote access service refused.
class RasConnectionInfoException : public Exception {
 public:
  enum Code : std::int32_t {
    kBufferTooSmall = 0,  // still error 603 after five calls
    kOutOfMemory = 1,     // the buffer could not be had, or error 8
    kOtherError = 2,      // any other error of RasEnumConnectionsA
  };
  explicit RasConnectionInfoException(std::int32_t code)
      : Exception(code, kCategoryRasConnectionInfo) {}
};

// The enumeration in one of its two modes: with `patterns` it hangs up every
// connection whose entry name matches one of them, case-blind, once per
// matching pattern (no patterns: nothing ends, the enumeration still runs);
// without, it clears `list` and appends one ConnectionInfo per connection in
// the system's order. A system without a remote access service has no
// connection: nothing ends, the list stays empty. Throws
// RasConnectionInfoException when the enumeration fails.
void EnumerateDialUpConnections(const std::vector<std::string>* patterns,
                                std::vector<ConnectionInfo>* list);

void HangUpConnectionsMatching(const std::vector<std::string>& patterns);
void ListDialUpConnections(std::vector<ConnectionInfo>& list);

// The "Hang Up Connection(s)" action: the patterns of the active profile's
// RAS/ToDiscon. Settings that cannot be read throw the store's exceptions.
void HangUpMatchingConnections();

}  // namespace Vesperon
