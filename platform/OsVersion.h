#pragma once
// The version record of the running operating system (GetVersionExA).
#include <cstdint>

namespace platform {

struct OsVersionRecord {
  std::uint32_t platformId = 0;  // 1 the 9x line, 2 the NT line
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

class IOsVersionSource {
 public:
  virtual ~IOsVersionSource() = default;
  // False when the system does not answer.
  virtual bool Query(OsVersionRecord& out) = 0;
};

}  // namespace platform
