#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace fuzzsupport {

void Fail(const char* file, int line, const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, what, detail.c_str());
  std::abort();
}

std::uint32_t ConsumeValueType(FuzzedDataProvider& input) {
  static constexpr std::uint32_t kUsual[] = {platform::kRegNone,   platform::kRegSz,
                                             platform::kRegExpandSz, platform::kRegBinary,
                                             platform::kRegDword,  platform::kRegMultiSz};
  if (input.ConsumeBool()) return input.ConsumeIntegral<std::uint32_t>();
  return input.PickValueInArray(kUsual);
}

std::vector<unsigned char> ConsumeValueData(FuzzedDataProvider& input) {
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

std::vector<unsigned char> Le32(std::uint32_t value) {
  return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
          static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

std::uint32_t FromLe32(const std::vector<unsigned char>& b) {
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

bool MakeKey(platform::IRegistry& registry, const std::string& keyPath) {
  platform::RegKey key = 0;
  if (registry.CreateKey(platform::kCurrentUser, keyPath, platform::kKeyAllAccess, key)) return false;
  registry.CloseKey(key);
  return true;
}

bool Plant(platform::IRegistry& registry, const PlantedValue& value) {
  platform::RegKey key = 0;
  if (registry.CreateKey(platform::kCurrentUser, value.keyPath, platform::kKeyAllAccess, key)) return false;
  const auto size = static_cast<std::uint32_t>(value.data.size());
  const long result = registry.SetValue(key, value.name, value.type, value.data.data(), size);
  registry.CloseKey(key);
  return result == platform::kOk;
}

std::optional<PlantedValue> Fetch(platform::IRegistry& registry, const std::string& keyPath,
                                  const std::string& name) {
  platform::RegKey key = 0;
  if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyQueryValue, key)) return std::nullopt;
  PlantedValue value{keyPath, name, 0, {}};
  std::uint32_t size = 0;
  long result = registry.QueryValue(key, name, &value.type, nullptr, &size);
  if (result == platform::kOk) {
    value.data.assign(size, 0);
    result = registry.QueryValue(key, name, &value.type, value.data.data(), &size);
    value.data.resize(size);
  }
  registry.CloseKey(key);
  return result == platform::kOk ? std::optional(value) : std::nullopt;
}

bool Unchanged(platform::IRegistry& registry, const PlantedValue& value) {
  return Fetch(registry, value.keyPath, value.name) == value;
}

bool KeyExists(platform::IRegistry& registry, const std::string& keyPath, platform::RegKey root) {
  platform::RegKey key = 0;
  const bool found = registry.OpenKey(root, keyPath, platform::kKeyQueryValue, key) == 0;
  if (found) registry.CloseKey(key);
  return found;
}

std::vector<std::string> Subkeys(platform::IRegistry& registry, const std::string& keyPath) {
  std::vector<std::string> names;
  platform::RegKey key = 0;
  if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyRead, key)) return names;
  std::string name;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == platform::kOk; ++i) names.push_back(name);
  registry.CloseKey(key);
  return names;
}

std::string WriteTempFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
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
