#include "settings/SettingsKey.h"

#include <utility>
#include <vector>

#include "platform/Services.h"
#include "settings/StoreExceptions.h"

namespace DataSystem {

std::string JoinKeyPath(const std::string& left, const std::string& right) {
  if (left.empty()) return right;
  if (right.empty()) return left;
  return left + "\\" + right;
}

platform::RegKey HiveRoot(const HiveSelector& hive) {
  switch (hive) {
    case kHiveLocalMachine: return platform::kLocalMachine;
    case kHiveCurrentUser: return platform::kCurrentUser;
    default: throw Vesperon::Exception();
  }
}

ScopedKey::ScopedKey(ScopedKey&& other) noexcept
    : registry_(std::exchange(other.registry_, nullptr)), key_(std::exchange(other.key_, 0)) {}

ScopedKey& ScopedKey::operator=(ScopedKey&& other) noexcept {
  if (this != &other) {
    Reset();
    registry_ = std::exchange(other.registry_, nullptr);
    key_ = std::exchange(other.key_, 0);
  }
  return *this;
}

void ScopedKey::Reset() {
  if (registry_ != nullptr) registry_->CloseKey(key_);
  registry_ = nullptr;
  key_ = 0;
}

void ScopedKey::Close() {
  if (registry_ == nullptr) return;
  const long result = registry_->CloseKey(key_);
  registry_ = nullptr;
  key_ = 0;
  if (result != platform::kOk) throw RegistryException(RegistryException::kCloseKey);
}

ScopedKey OpenSettingsKey(const std::string& path, const HiveSelector& hive,
                          std::uint32_t access) {
  const platform::RegKey root = HiveRoot(hive);
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.CreateKey(root, path, access, key) != platform::kOk) {
    throw RegistryException(RegistryException::kCreateKey);
  }
  return ScopedKey(registry, key);
}

ScopedKey OpenExistingSettingsKey(const std::string& path, const HiveSelector& hive,
                                  std::uint32_t access) {
  const platform::RegKey root = HiveRoot(hive);
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.OpenKey(root, path, access, key) != platform::kOk) {
    throw RegistryException(RegistryException::kOpenKey);
  }
  return ScopedKey(registry, key);
}

std::string ReadStringValue(const ScopedKey& key, const std::string& name) {
  platform::IRegistry& registry = key.Registry();
  std::uint32_t size = 0;
  if (registry.QueryValue(key.Get(), name, nullptr, nullptr, &size) != platform::kOk) {
    throw RegistryException(RegistryException::kQueryValue);
  }
  // The value may grow between asking its size and reading it (another
  // program writing); read again with the new size rather than failing,
  // which would make the caller overwrite the new text with a default.
  std::vector<char> buffer;
  long result = platform::kErrorMoreData;
  for (int attempt = 0; attempt < 4 && result == platform::kErrorMoreData; ++attempt) {
    buffer.assign(size == 0 ? 1 : size, '\0');
    result = registry.QueryValue(key.Get(), name, nullptr, buffer.data(), &size);
  }
  if (result != platform::kOk) throw RegistryException(RegistryException::kQueryValue);
  std::string text(buffer.data(), size < buffer.size() ? size : buffer.size());
  if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

void WriteStringValue(const ScopedKey& key, const std::string& name, const std::string& text) {
  const auto size = static_cast<std::uint32_t>(text.size() + 1);
  if (key.Registry().SetValue(key.Get(), name, platform::kRegSz, text.c_str(), size) !=
      platform::kOk) {
    throw RegistryException(RegistryException::kSetValue);
  }
}

}  // namespace DataSystem
