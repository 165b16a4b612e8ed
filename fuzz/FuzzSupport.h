#pragma once
// Shared pieces of the fuzz targets: a check that stops the run with a
// message (libFuzzer then keeps the input as a crash), registry values laid
// out from the fuzzer's bytes, and files written from them. It brings what
// every target uses: the fixed-width integers, texts and byte vectors, the
// service switches and the in-memory registry.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "tests/support/RegistryValues.h"

namespace fuzzsupport {

using namespace testsupport;  // Plant, Fetch, MakeKey, KeyExists, Dword
using PlantedValue = StoredValue;

[[noreturn]] inline void Fail(const char* file, int line, const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, what, detail.c_str());
  std::abort();
}
#define FUZZ_CHECK(condition, detail)                                        \
  do {                                                                       \
    if (!(condition)) ::fuzzsupport::Fail(__FILE__, __LINE__, #condition, (detail)); \
  } while (false)

// Takes a value type the way hostile data would: mostly the usual ones,
// sometimes anything.
inline std::uint32_t ConsumeValueType(FuzzedDataProvider& input) {
  static constexpr std::uint32_t kUsual[] = {platform::kRegNone,   platform::kRegSz,
                                             platform::kRegExpandSz, platform::kRegBinary,
                                             platform::kRegDword,  platform::kRegMultiSz};
  if (input.ConsumeBool()) return input.ConsumeIntegral<std::uint32_t>();
  return input.PickValueInArray(kUsual);
}

// Data of a hostile size: empty, a few bytes, exactly four, or large.
inline std::vector<unsigned char> ConsumeValueData(FuzzedDataProvider& input) {
  static constexpr std::size_t kLeast[] = {0, 1, 4, 5, 65}, kMost[] = {0, 3, 4, 64, 4096};
  const int shape = input.ConsumeIntegralInRange<int>(0, 4);
  const std::size_t size = input.ConsumeIntegralInRange<std::size_t>(kLeast[shape], kMost[shape]);
  std::vector<unsigned char> data = input.ConsumeBytes<unsigned char>(size);
  // Running out of input still gives the size asked for: the large values
  // are the point, not their content.
  const unsigned char fill = data.empty() ? 'x' : data.back();
  data.resize(size, fill);
  return data;
}

inline std::uint32_t FromLe32(const std::vector<unsigned char>& b) {  // exactly four bytes
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// The value is still there with its planted type and bytes.
inline bool Unchanged(const PlantedValue& value) { return Fetch(value.keyPath, value.name) == value; }

// Writes the bytes to `name` in a temporary folder of this run; its path.
inline std::string WriteTempFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vesperon-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  const std::string path = folder + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr, path);
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}

}  // namespace fuzzsupport
