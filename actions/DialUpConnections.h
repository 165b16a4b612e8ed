#pragma once
// The active dial-up (remote access) connections: listing them for the
// Disconnect page and ending those whose phone-book entry names match the
// user's patterns ("Hang Up Connection(s)"), through
// platform::DialUpSystem().
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

// Ends every connection whose entry name matches one of `patterns`,
// case-blind, once per matching pattern (no patterns: nothing ends, the
// connections are still listed). Throws RasConnectionInfoException when the
// listing fails.
void HangUpConnectionsMatching(const std::vector<std::string>& patterns);
// Clears `list` and appends one ConnectionInfo per connection in the system's
// order. A system without a remote access service has no connection.
void ListDialUpConnections(std::vector<ConnectionInfo>& list);

// The "Hang Up Connection(s)" action: the patterns of the active profile's
// RAS/ToDiscon. Settings that cannot be read throw the store's exceptions.
void HangUpMatchingConnections();

}  // namespace Vesperon
