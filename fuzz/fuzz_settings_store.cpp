// Every setting the program reads may have been left in the registry by
// anything: another version, a hand edit, a broken import. Each schema row
// gets a value of a random type and size (or none), some keys refuse
// writing, and then every row is read through the store. Each value must
// come back either as stored (a number from exactly four bytes, a text up
// to its first zero) or as its default, written back in place; every other
// value stays untouched, a refused repair is reported as a write failure,
// and no key stays open.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingSchema.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "settings/StoreExceptions.h"

namespace {

using namespace DataSystem;
using fuzzsupport::PlantedValue;

const std::string kSection = "Profiles\\Fuzz";

std::string KeyPathOf(SettingId id) {
  return JoinKeyPath(JoinKeyPath(RootKeyPath, kSection), SettingSchema[id].subkey);
}

std::vector<unsigned char> NumberBytes(std::uint32_t value) {
  return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
          static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

std::uint32_t NumberDefaultOf(SettingId id) {
  const SettingRow& row = SettingSchema[id];
  if (row.type == SettingType::Bool) return kBoolDefaults[row.defaultIndex] != 0 ? 1u : 0u;
  return static_cast<std::uint32_t>(kDwordDefaults[row.defaultIndex]);
}

// Two rows may share a value name in one key only if their subkeys match;
// the schema has none such, but a planted value serves every row that names it.
struct Expectation {
  bool repaired = false;
  std::uint32_t number = 0;
  std::string text;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  platform::MemoryRegistry registry;
  platform::ScopedRegistry scoped(registry);

  // What each row finds.
  std::map<SettingId, PlantedValue> planted;
  for (SettingId id = 0; id < kSettingCount; ++id) {
    if (!input.ConsumeBool()) continue;
    PlantedValue value{KeyPathOf(id), SettingSchema[id].valueName,
                       fuzzsupport::ConsumeValueType(input), fuzzsupport::ConsumeValueData(input)};
    FUZZ_CHECK(fuzzsupport::Plant(registry, value), value.keyPath);
    planted[id] = value;
  }
  // A value no row names, to prove repairs leave neighbours alone.
  const PlantedValue bystander{KeyPathOf(kLastEvent), "Bystander", platform::kRegBinary,
                               {1, 0, 2, 0, 3}};
  fuzzsupport::Plant(registry, bystander);
  // Keys the program may read but not write. Every key exists first, so a
  // read-only section key refuses only its own values.
  for (SettingId id = 0; id < kSettingCount; ++id) {
    platform::RegKey key = 0;
    registry.CreateKey(platform::kCurrentUser, KeyPathOf(id), platform::kKeyAllAccess, key);
    registry.CloseKey(key);
  }
  std::vector<std::string> readOnly;
  for (const char* subkey : {"", "Reminder", "MainForm", "Trigger", "Appearance", "xzCute"}) {
    if (!input.ConsumeBool()) continue;
    const std::string path = JoinKeyPath(JoinKeyPath(RootKeyPath, kSection), subkey);
    platform::RegKey key = 0;
    registry.CreateKey(platform::kCurrentUser, path, platform::kKeyAllAccess, key);
    registry.CloseKey(key);
    registry.SetKeyReadOnly(platform::kCurrentUser, path, true);
    readOnly.push_back(path);
  }
  auto isReadOnly = [&readOnly](const std::string& path) {
    for (const std::string& p : readOnly) {
      if (p == path) return true;
    }
    return false;
  };

  // Numbers and texts in schema order, so the subkeys change at every turn.
  std::vector<SettingId> numberIds, stringIds;
  for (SettingId id = 0; id < kSettingCount; ++id) {
    (SettingSchema[id].type == SettingType::String ? stringIds : numberIds).push_back(id);
  }
  std::map<SettingId, Expectation> expected;
  for (SettingId id = 0; id < kSettingCount; ++id) {
    Expectation e;
    const auto it = planted.find(id);
    if (SettingSchema[id].type == SettingType::String) {
      if (it == planted.end()) {
        e.repaired = true;
        e.text = kStringDefaults[SettingSchema[id].defaultIndex];
      } else {
        const auto& bytes = it->second.data;
        e.text.assign(bytes.begin(), bytes.end());
        e.text.resize(std::strlen(e.text.c_str()) < e.text.size() ? std::strlen(e.text.c_str())
                                                                  : e.text.size());
      }
    } else if (it == planted.end() || it->second.data.size() != 4) {
      e.repaired = true;
      e.number = NumberDefaultOf(id);
    } else {
      const auto& b = it->second.data;
      e.number = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }
    expected[id] = e;
  }

  auto firstRefusedRepair = [&](const std::vector<SettingId>& ids) -> int {
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (expected[ids[i]].repaired && isReadOnly(KeyPathOf(ids[i]))) return static_cast<int>(i);
    }
    return -1;
  };

  std::vector<std::uint32_t> numbers;
  const int numberFailure = firstRefusedRepair(numberIds);
  try {
    ReadNumbers(numberIds, numbers, kSection, kHiveCurrentUser);
    FUZZ_CHECK(numberFailure < 0, "a repair in a read-only key did not fail");
  } catch (const RegistryException& e) {
    FUZZ_CHECK(numberFailure >= 0 && e.code == RegistryException::kSetValue,
               "code " + std::to_string(e.code));
  }
  const std::size_t numbersDone =
      numberFailure < 0 ? numberIds.size() : static_cast<std::size_t>(numberFailure);
  for (std::size_t i = 0; i < numbersDone; ++i) {
    const SettingId id = numberIds[i];
    FUZZ_CHECK(numbers[i] == expected[id].number,
               std::string(SettingSchema[id].valueName) + " read " + std::to_string(numbers[i]));
  }

  std::vector<std::string> texts;
  const int stringFailure = firstRefusedRepair(stringIds);
  try {
    ReadStrings(stringIds, texts, kSection, kHiveCurrentUser);
    FUZZ_CHECK(stringFailure < 0, "a repair in a read-only key did not fail");
  } catch (const RegistryException& e) {
    FUZZ_CHECK(stringFailure >= 0 && e.code == RegistryException::kSetValue,
               "code " + std::to_string(e.code));
  }
  const std::size_t stringsDone =
      stringFailure < 0 ? stringIds.size() : static_cast<std::size_t>(stringFailure);
  for (std::size_t i = 0; i < stringsDone; ++i) {
    const SettingId id = stringIds[i];
    FUZZ_CHECK(texts[i] == expected[id].text, std::string(SettingSchema[id].valueName));
  }
  FUZZ_CHECK(registry.OpenHandleCount() == 0, std::to_string(registry.OpenHandleCount()));

  // What the registry holds now: repairs as defaults of the right type, the
  // rest as planted.
  auto checkStored = [&](SettingId id, bool reached) {
    std::uint32_t type = 0;
    std::vector<unsigned char> bytes;
    const bool present =
        fuzzsupport::Fetch(registry, KeyPathOf(id), SettingSchema[id].valueName, type, bytes);
    const auto it = planted.find(id);
    const Expectation& e = expected[id];
    const std::string name = SettingSchema[id].valueName;
    if (!e.repaired || !reached) {
      FUZZ_CHECK(present == (it != planted.end()), name);
      if (present) {
        FUZZ_CHECK(type == it->second.type && bytes == it->second.data,
                   name + " now " + fuzzsupport::Hex(bytes));
      }
      return;
    }
    FUZZ_CHECK(present, name + " not repaired");
    if (SettingSchema[id].type == SettingType::String) {
      std::vector<unsigned char> want(e.text.begin(), e.text.end());
      want.push_back(0);
      FUZZ_CHECK(type == platform::kRegSz && bytes == want, name);
    } else {
      FUZZ_CHECK(type == platform::kRegDword && bytes == NumberBytes(e.number), name);
    }
  };
  for (std::size_t i = 0; i < numberIds.size(); ++i) checkStored(numberIds[i], i < numbersDone);
  for (std::size_t i = 0; i < stringIds.size(); ++i) checkStored(stringIds[i], i < stringsDone);

  std::uint32_t type = 0;
  std::vector<unsigned char> bytes;
  FUZZ_CHECK(fuzzsupport::Fetch(registry, bystander.keyPath, bystander.name, type, bytes) &&
                 bytes == bystander.data,
             "bystander changed");
  return 0;
}
