#pragma once
// The remote access service: RasEnumConnectionsA and RasHangUpA, bound from
// rasapi32 at the moment of use, because the library is an optional part of
// Windows (and a stub under Wine). The connection records are read by the
// core (actions/DialUpConnections.h); this layer only says where their
// fields lie.
#include <cstdint>
#include <memory>

#include "platform/Services.h"

namespace platform {

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

// The two functions, bound for one enumeration.
class IRasApi {
 public:
  virtual ~IRasApi() = default;
  virtual DialUpRecordLayout Layout() const = 0;
  // RasEnumConnectionsA: `bufferBytes` is the size of `buffer` and may be
  // raised by the system; returns the system's error code (0 success,
  // 603 buffer too small, 8 out of memory, ...).
  virtual std::uint32_t EnumConnections(unsigned char* buffer, std::uint32_t& bufferBytes,
                                        std::uint32_t& count) = 0;
  // RasHangUpA; returns at once, its result is of no interest. Does nothing
  // when the system has no hang-up function.
  virtual void HangUp(std::uint64_t connection) = 0;
};

class IDialUpSystem {
 public:
  virtual ~IDialUpSystem() = default;
  // nullptr when the system has no remote access service (the library or
  // RasEnumConnectionsA is missing).
  virtual std::unique_ptr<IRasApi> Bind() = 0;
};

// The real service in the Win32 build; on the host a system without one.
IDialUpSystem& DefaultDialUpSystem();

namespace detail {
inline IDialUpSystem* g_dialUpSystem = nullptr;
}

inline IDialUpSystem& DialUpSystem() {
  return detail::g_dialUpSystem ? *detail::g_dialUpSystem : DefaultDialUpSystem();
}
// nullptr goes back to the default.
inline void SetDialUpSystem(IDialUpSystem* system) { detail::g_dialUpSystem = system; }

using ScopedDialUpSystem = ScopedService<IDialUpSystem, SetDialUpSystem>;

}  // namespace platform
