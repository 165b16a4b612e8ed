#pragma once
// Shared pieces of the fuzz targets: a check that stops the run with a
// message (libFuzzer then keeps the input as a crash), and a registry
// whose values are laid out from the fuzzer's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace fuzzsupport {

[[noreturn]] void Fail(const char* file, int line, const char* what, const std::string& detail);

// One registry value as it was planted, to compare with after the program
// had its go at it.
struct PlantedValue {
  std::string keyPath;  // below HKEY_CURRENT_USER
  std::string name;
  std::uint32_t type = 0;
  std::vector<unsigned char> data;
  bool operator==(const PlantedValue&) const = default;
};

// Takes a value type the way hostile data would: mostly the usual ones,
// sometimes anything.
std::uint32_t ConsumeValueType(FuzzedDataProvider& input);
// Data of a hostile size: empty, a few bytes, exactly four, or large.
std::vector<unsigned char> ConsumeValueData(FuzzedDataProvider& input);

std::vector<unsigned char> Le32(std::uint32_t value);
std::uint32_t FromLe32(const std::vector<unsigned char>& bytes);  // exactly four bytes

// Creates the key (and its parents); false if the registry refused.
bool MakeKey(platform::IRegistry& registry, const std::string& keyPath);
// Creates the key and sets the value; false if the registry refused.
bool Plant(platform::IRegistry& registry, const PlantedValue& value);
// The value as the registry holds it now; nothing if it is gone.
std::optional<PlantedValue> Fetch(platform::IRegistry& registry, const std::string& keyPath,
                                  const std::string& name);
// The value is still there with its planted type and bytes.
bool Unchanged(platform::IRegistry& registry, const PlantedValue& value);
bool KeyExists(platform::IRegistry& registry, const std::string& keyPath,
               platform::RegKey root = platform::kCurrentUser);
std::vector<std::string> Subkeys(platform::IRegistry& registry, const std::string& keyPath);

// Writes the bytes to `name` in a temporary folder of this run; its path.
std::string WriteTempFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace fuzzsupport

#define FUZZ_CHECK(condition, detail)                                        \
  do {                                                                       \
    if (!(condition)) ::fuzzsupport::Fail(__FILE__, __LINE__, #condition, (detail)); \
  } while (false)
