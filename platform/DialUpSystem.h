#pragma once
// The remote access service: the active dial-up connections and hanging one
// up. The Win32 build binds RasEnumConnectionsA and RasHangUpA from rasapi32
// at the moment of use, because the library is an optional part of Windows
// (and a stub under Wine).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ServiceSlot.h"

namespace platform {

struct DialUpConnection {
  std::uint64_t handle = 0;
  std::string entryName;
  std::string deviceType;
  std::string deviceName;
};

class IDialUpSystem {
 public:
  virtual ~IDialUpSystem() = default;
  // The active connections in the system's order. Returns 0 or the system's
  // error (603 the buffer still too small after five calls, 8 out of memory,
  // any other of RasEnumConnectionsA); a system without the remote access
  // service has no connection: 0 and an empty list.
  virtual std::uint32_t ListConnections(std::vector<DialUpConnection>& out) = 0;
  // RasHangUpA; returns at once, its result is of no interest.
  virtual void HangUp(const DialUpConnection& connection) = 0;
};

// The real service in the Win32 build; on the host a system without one.
IDialUpSystem& DefaultDialUpSystem();

using DialUpSystemSlot = ServiceSlot<IDialUpSystem, DefaultDialUpSystem>;
inline IDialUpSystem& DialUpSystem() { return DialUpSystemSlot::Get(); }
using ScopedDialUpSystem = DialUpSystemSlot::Scoped;

// Where the fields of one connection record lie: the system's connection
// structure in its Windows XP form, whose size depends on the width of the
// connection handle (704 bytes in a 32-bit process, 712 in a 64-bit one).
struct DialUpRecordLayout {
  std::uint32_t size;
  std::uint32_t handleOffset;
  std::uint32_t handleBytes;
  std::uint32_t entryNameOffset;   // 257 characters with the terminator
  std::uint32_t deviceTypeOffset;  // 17
  std::uint32_t deviceNameOffset;  // 129
};
inline constexpr std::uint32_t kDialUpEntryNameChars = 257;
inline constexpr std::uint32_t kDialUpDeviceTypeChars = 17;
inline constexpr std::uint32_t kDialUpDeviceNameChars = 129;
inline constexpr DialUpRecordLayout kDialUpRecord32{704, 4, 4, 8, 265, 282};
inline constexpr DialUpRecordLayout kDialUpRecord64{712, 8, 8, 16, 273, 290};

// RasEnumConnectionsA: fills `buffer` of `bufferBytes` (which the system may
// raise) with `count` records; returns the system's error code.
using RasEnumerate =
    std::function<std::uint32_t(unsigned char* buffer, std::uint32_t& bufferBytes, std::uint32_t& count)>;
// The enumeration the Win32 build runs: a buffer of one record, grown as the
// system asks for at most five calls, and the records that lie wholly inside
// it read into `out`. Returns as ListConnections does.
std::uint32_t ReadDialUpRecords(const DialUpRecordLayout& layout, const RasEnumerate& enumerate,
                                std::vector<DialUpConnection>& out);

}  // namespace platform
