#pragma once
// A remote access service for tests: the active connections are whatever
// the test lists, written into the caller's buffer as the system writes its
// records; answers can be scripted call by call, and every enumeration's
// buffer size and every hang-up are written down. Nothing is ever hung up.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/DialUpSystem.h"

namespace platform {

struct FakeConnection {
  std::uint64_t handle = 0;
  std::string entryName;  // written in full up to its field's size, terminator or not
  std::string deviceType;
  std::string deviceName;
};

class FakeDialUpSystem final : public IDialUpSystem {
 public:
  std::unique_ptr<IRasApi> Bind() override;

  bool available = true;                        // false: no remote access service
  DialUpRecordLayout layout = kDialUpRecord64;  // the records the caller must hand over
  // The record size the service accepts in the first size field; any other
  // is refused with error 632 (ERROR_INVALID_SIZE). 0: layout.size.
  std::uint32_t acceptedRecordSize = 0;
  std::vector<FakeConnection> connections;
  // Answers of the next calls, taken one per call before anything else: a
  // 603 sets the buffer size to `grownSize` (0: one record more than given).
  std::deque<std::uint32_t> scriptedResults;
  std::uint32_t grownSize = 0;
  // A connection count larger than the records written, as a broken service
  // might report.
  std::optional<std::uint32_t> reportedCount;

  std::vector<std::uint32_t> bufferSizes;  // bufferBytes handed to each call
  std::vector<std::uint64_t> hangUps;      // in call order
};

}  // namespace platform
