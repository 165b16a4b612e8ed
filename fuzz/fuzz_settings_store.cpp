// Every setting the program reads may have been left in the registry by
// anything: another version, a hand edit, a broken import. Each schema row
// gets a value of a random type and size (or none), some keys refuse
// writing, and then every row is read through the store. Each value must
// come back either as stored (a number from exactly four bytes, a text up
// to its first zero) or as its default, written back in place; every other
// value stays untouched, a refused repair is reported as a write failure,
// and no key stays open.
#include <algorithm>
#include <map>

#include "fuzz/FuzzSupport.h"
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

std::uint32_t NumberDefaultOf(SettingId id) {
  const SettingRow& row = SettingSchema[id];
  return row.type == SettingType::Bool ? kBoolDefaults[row.defaultIndex] != 0
                                       : static_cast<std::uint32_t>(kDwordDefaults[row.defaultIndex]);
}

struct Expectation { bool repaired = false; std::uint32_t number = 0; std::string text; };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  platform::MemoryRegistry registry;
  platform::ScopedRegistry scoped(registry);

  // What each row finds. Every key exists, so that a read-only section key
  // (below) refuses only its own values.
  std::map<SettingId, PlantedValue> planted;
  for (SettingId id = 0; id < kSettingCount; ++id) {
    FUZZ_CHECK(fuzzsupport::MakeKey(KeyPathOf(id)), KeyPathOf(id));
    if (!input.ConsumeBool()) continue;
    planted[id] = {KeyPathOf(id), SettingSchema[id].valueName, fuzzsupport::ConsumeValueType(input),
                   fuzzsupport::ConsumeValueData(input)};
    FUZZ_CHECK(fuzzsupport::Plant(planted[id]), KeyPathOf(id));
  }
  // A value no row names, to prove repairs leave neighbours alone.
  const PlantedValue bystander{KeyPathOf(kLastEvent), "Bystander", platform::kRegBinary, {1, 0, 2, 0, 3}};
  fuzzsupport::Plant(bystander);
  // Keys the program may read but not write.
  std::vector<std::string> readOnly;
  for (const char* subkey : {"", "Reminder", "MainForm", "Trigger", "Appearance", "xzCute"}) {
    if (!input.ConsumeBool()) continue;
    const std::string path = JoinKeyPath(JoinKeyPath(RootKeyPath, kSection), subkey);
    fuzzsupport::MakeKey(path);
    registry.SetKeyReadOnly(platform::kCurrentUser, path, true);
    readOnly.push_back(path);
  }

  // Numbers and texts in schema order, so the subkeys change at every turn.
  std::vector<SettingId> numberIds, stringIds;
  std::map<SettingId, Expectation> expected;
  for (SettingId id = 0; id < kSettingCount; ++id) {
    // A text is taken up to its first zero whatever its type; a number only from four bytes.
    const auto it = planted.find(id);
    const bool text = SettingSchema[id].type == SettingType::String;
    (text ? stringIds : numberIds).push_back(id);
    const bool usable = it != planted.end() && (text || it->second.data.size() == 4);
    Expectation& e = expected[id];
    e.repaired = !usable;
    if (text && usable) {
      e.text.assign(it->second.data.begin(), std::find(it->second.data.begin(), it->second.data.end(), 0));
    }
    if (text && !usable) e.text = kStringDefaults[SettingSchema[id].defaultIndex];
    if (!text) e.number = usable ? fuzzsupport::FromLe32(it->second.data) : NumberDefaultOf(id);
  }

  // Reads the rows; a repair in a read-only key must fail with a write
  // failure, and the rows before it must have come back as expected.
  auto readAll = [&](const std::vector<SettingId>& ids, auto read, auto& values, auto member) {
    std::size_t refused = ids.size();
    for (std::size_t i = 0; i < ids.size() && refused == ids.size(); ++i) {
      const bool readOnlyKey = std::find(readOnly.begin(), readOnly.end(), KeyPathOf(ids[i])) != readOnly.end();
      if (expected[ids[i]].repaired && readOnlyKey) refused = i;
    }
    try {
      read(ids, values, kSection, kHiveCurrentUser);
      FUZZ_CHECK(refused == ids.size(), "a repair in a read-only key did not fail");
    } catch (const RegistryException& e) {
      FUZZ_CHECK(refused < ids.size() && e.code == RegistryException::kSetValue,
                 "code " + std::to_string(e.code));
    }
    for (std::size_t i = 0; i < refused; ++i) {
      FUZZ_CHECK(values[i] == expected[ids[i]].*member, std::string(SettingSchema[ids[i]].valueName));
    }
    return refused;
  };
  std::vector<std::uint32_t> numbers;
  std::vector<std::string> texts;
  const std::size_t numbersDone = readAll(numberIds, ReadNumbers, numbers, &Expectation::number);
  const std::size_t stringsDone = readAll(stringIds, ReadStrings, texts, &Expectation::text);
  FUZZ_CHECK(registry.OpenHandleCount() == 0, std::to_string(registry.OpenHandleCount()));

  // What the registry holds now: repairs as defaults of the right type, the
  // rest as planted.
  auto checkStored = [&](SettingId id, bool reached) {
    const Expectation& e = expected[id];
    const std::string name = SettingSchema[id].valueName;
    const auto it = planted.find(id);
    if (e.repaired && reached) {
      const bool text = SettingSchema[id].type == SettingType::String;
      const PlantedValue want{KeyPathOf(id), name, text ? platform::kRegSz : platform::kRegDword,
                              text ? std::vector<unsigned char>(e.text.c_str(), e.text.c_str() + e.text.size() + 1)
                                   : testsupport::Dword(e.number)};
      FUZZ_CHECK(fuzzsupport::Unchanged(want), name + " not repaired");
    } else if (it != planted.end()) {
      FUZZ_CHECK(fuzzsupport::Unchanged(it->second), name + " changed");
    } else {
      FUZZ_CHECK(!fuzzsupport::Fetch(KeyPathOf(id), name), name + " written");
    }
  };
  for (std::size_t i = 0; i < numberIds.size(); ++i) checkStored(numberIds[i], i < numbersDone);
  for (std::size_t i = 0; i < stringIds.size(); ++i) checkStored(stringIds[i], i < stringsDone);

  FUZZ_CHECK(fuzzsupport::Unchanged(bystander), "bystander changed");
  return 0;
}
