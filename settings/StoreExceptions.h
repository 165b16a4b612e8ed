#pragma once
// The failures of the settings store. Both carry numbers only: RegistryException
// a registry operation that failed (category 1), DataSystemException a profile
// conflict (category 2). The codes are listed with each class.
#include <cstdint>

#include "model/Exception.h"

namespace DataSystem {

class RegistryException : public Vesperon::Exception {
 public:
  enum Code : std::int32_t {
    kCreateKey = 0,        // RegCreateKeyExA
    kSetValue = 1,         // RegSetValueExA
    kQueryValue = 2,       // RegQueryValueExA, a missing value included
    kQueryInfoKey = 3,     // RegQueryInfoKeyA
    kEnumKey = 4,          // RegEnumKeyExA
    kDeleteTree = 5,       // SHDeleteKeyA
    kCopyTree = 6,         // SHCopyKey
    kOpenKey = 7,          // RegOpenKeyExA
    kSaveKey = 8,          // RegSaveKeyA
    kSaveKeyIoOrExists = 9,  // RegSaveKeyA: input/output failure or existing file
    kLoadKey = 10,         // RegLoadKeyA
    kUnLoadKey = 12,       // RegUnLoadKeyA
    kCloseKey = 13,        // RegCloseKey
  };
  explicit RegistryException(std::int32_t code) : Exception(code, Vesperon::kCategorySystem) {}
};

class DataSystemException : public Vesperon::Exception {
 public:
  enum Code : std::int32_t {
    kSourceProfileMissing = 0,
    kTargetProfileExists = 1,
  };
  explicit DataSystemException(std::int32_t code)
      : Exception(code, Vesperon::kCategoryDataSystem) {}
};

// Codes of the Vesperon::SystemException the store throws.
enum StoreSystemCode : std::int32_t {
  kBadSettingId = 0,     // an id past the schema's last row, or a default index past its array
  kWrongSettingType = 1, // a row of another type than the list asks for
  kTooFewValues = 2,     // a write list with fewer values than ids
};

}  // namespace DataSystem
