#include "fuzz/FuzzSupport.h"

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
  std::size_t size = 0;
  switch (input.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: size = 0; break;
    case 1: size = input.ConsumeIntegralInRange<std::size_t>(1, 3); break;
    case 2: size = 4; break;
    case 3: size = input.ConsumeIntegralInRange<std::size_t>(5, 64); break;
    default: size = input.ConsumeIntegralInRange<std::size_t>(65, 4096); break;
  }
  std::vector<unsigned char> data = input.ConsumeBytes<unsigned char>(size);
  // Running out of input still gives the size asked for: the large values
  // are the point, not their content.
  const unsigned char fill = data.empty() ? 'x' : data.back();
  data.resize(size, fill);
  return data;
}

bool Plant(platform::IRegistry& registry, const PlantedValue& value) {
  platform::RegKey key = 0;
  if (registry.CreateKey(platform::kCurrentUser, value.keyPath, platform::kKeyAllAccess, key) !=
      platform::kOk) {
    return false;
  }
  const long result =
      registry.SetValue(key, value.name, value.type, value.data.data(),
                        static_cast<std::uint32_t>(value.data.size()));
  registry.CloseKey(key);
  return result == platform::kOk;
}

bool Fetch(platform::IRegistry& registry, const std::string& keyPath, const std::string& name,
           std::uint32_t& type, std::vector<unsigned char>& data) {
  platform::RegKey key = 0;
  if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyQueryValue, key) !=
      platform::kOk) {
    return false;
  }
  std::uint32_t size = 0;
  long result = registry.QueryValue(key, name, &type, nullptr, &size);
  if (result == platform::kOk) {
    data.assign(size, 0);
    result = registry.QueryValue(key, name, &type, data.data(), &size);
    data.resize(size);
  }
  registry.CloseKey(key);
  return result == platform::kOk;
}

bool KeyExists(platform::IRegistry& registry, const std::string& keyPath) {
  platform::RegKey key = 0;
  if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyQueryValue, key) !=
      platform::kOk) {
    return false;
  }
  registry.CloseKey(key);
  return true;
}

std::string Hex(const std::vector<unsigned char>& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < data.size() && i < 32; ++i) {
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  if (data.size() > 32) text += "... (" + std::to_string(data.size()) + " bytes)";
  return text;
}

}  // namespace fuzzsupport
