// The hot-key records are read at every start, one registry key per
// record below Global\xzCute, and nothing stops another program or a hand
// edit from leaving odd names, missing values, values of any type and
// size, or keys nested inside a record. Loading must give exactly the
// records that have an action, in the registry's order, with the numbers
// as stored or repaired to their defaults; delete exactly the keys without
// an action; leave the tray mouse settings beside them alone; and what it
// loaded must read back and save back unchanged.
#include "fuzz/FuzzSupport.h"
#include "settings/SettingSchema.h"
#include "settings/SettingsKey.h"
#include "shell/HotKeys.h"

namespace {

using namespace HotKeys;
using fuzzsupport::PlantedValue;

const std::string kSectionPath = DataSystem::JoinKeyPath(DataSystem::RootKeyPath, kHotKeySection);

std::string ConsumeKeyName(FuzzedDataProvider& input) {
  static constexpr const char* kUsual[] = {"Ctrl + Alt + F12", "Shift + A", "Ctrl + Shift + Key 0xE8",
                                           "Alt + Backslash", "Default", "DefaultList"};
  if (input.ConsumeBool()) return input.PickValueInArray(kUsual);
  // A registry key name: 1 to 255 characters, no backslash, no zero.
  std::string name = input.ConsumeRandomLengthString(255);
  for (char& c : name) {
    if (c == '\\' || c == '\0') c = '_';
  }
  return name.empty() ? "x" : name;
}

// A number value as the store reads it: four bytes, or the default.
std::uint32_t StoredNumber(const std::string& keyPath, const char* name, std::uint32_t fallback) {
  const auto stored = fuzzsupport::Fetch(keyPath, name);
  return stored && stored->data.size() == 4 ? fuzzsupport::FromLe32(stored->data) : fallback;
}

// The registry's own listing, in its order.
std::vector<std::string> Subkeys(const std::string& keyPath) {
  std::vector<std::string> names;
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyRead, key) != platform::kOk) return names;
  std::string name;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == platform::kOk; ++i) names.push_back(name);
  registry.CloseKey(key);
  return names;
}

// The records as a text that shows every field, so that lists compare whole;
// a backslash ends each name, which no key name holds.
std::string Describe(const std::vector<HotKeyRecord>& records) {
  std::string text;
  for (const HotKeyRecord& r : records) {
    text += r.Name + "\\ " + std::to_string(r.Code) + "/" + std::to_string(r.Modifier) + "/" +
            std::to_string(r.Action) + "; ";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  platform::MemoryRegistry registry;
  platform::ScopedRegistry scoped(registry);

  // The tray mouse settings live in the same key.
  std::vector<PlantedValue> mouse;
  for (DataSystem::SettingId id = DataSystem::kLBClickC; id <= DataSystem::kRBAction; ++id) {
    if (!input.ConsumeBool()) continue;
    mouse.push_back({kSectionPath, DataSystem::SettingSchema[id].valueName,
                     fuzzsupport::ConsumeValueType(input), fuzzsupport::ConsumeValueData(input)});
    fuzzsupport::Plant(mouse.back());
  }
  const int count = input.ConsumeIntegralInRange<int>(0, 12);
  for (int i = 0; i < count; ++i) {
    const std::string keyPath = kSectionPath + "\\" + ConsumeKeyName(input);
    FUZZ_CHECK(fuzzsupport::MakeKey(keyPath), keyPath);
    for (const char* value : {"Code", "Modifier", "Action"}) {
      const int shape = input.ConsumeIntegralInRange<int>(0, 3);
      if (shape == 0) continue;  // missing
      PlantedValue planted{keyPath, value, platform::kRegDword, {}};
      if (shape == 1) {
        // A well-formed number, mostly a real action, sometimes the marker.
        const std::uint32_t number = input.ConsumeBool()
                                         ? static_cast<std::uint32_t>(kNoActionMarker)
                                         : input.ConsumeIntegralInRange<std::uint32_t>(0, 20);
        planted.data = fuzzsupport::Dword(number);
      } else {
        planted.type = fuzzsupport::ConsumeValueType(input);
        planted.data = fuzzsupport::ConsumeValueData(input);
      }
      fuzzsupport::Plant(planted);
    }
    if (input.ConsumeBool()) {
      // A key nested inside a record goes with the record.
      fuzzsupport::Plant({keyPath + "\\Nested", "Action", platform::kRegDword, {1, 0, 0, 0}});
    }
  }

  // What the load must give, from the registry as it stands.
  std::vector<HotKeyRecord> expected;
  for (const std::string& name : Subkeys(kSectionPath)) {
    const std::string keyPath = kSectionPath + "\\" + name;
    const HotKeyRecord r{static_cast<std::uint16_t>(StoredNumber(keyPath, "Code", 0)),
                         static_cast<std::uint16_t>(StoredNumber(keyPath, "Modifier", 0)), name,
                         static_cast<Vesperon::ActionId>(
                             StoredNumber(keyPath, "Action", static_cast<std::uint32_t>(kNoActionMarker)))};
    if (r.Action != kNoActionMarker) expected.push_back(r);
  }

  std::vector<HotKeyRecord> loaded;
  LoadHotKeyRecords(loaded);
  FUZZ_CHECK(Describe(loaded) == Describe(expected), Describe(loaded) + "instead of " + Describe(expected));
  std::vector<std::string> kept;
  for (const HotKeyRecord& got : loaded) {
    kept.push_back(got.Name);
    HotKeyRecord again;
    again.Name = got.Name;
    ReadHotKeyRecord(again);
    FUZZ_CHECK(Describe({again}) == Describe({got}), Describe({again}) + "read back for " + Describe({got}));
  }
  // Exactly the keys of the loaded records are left, the others are deleted.
  FUZZ_CHECK(Subkeys(kSectionPath) == kept, std::to_string(Subkeys(kSectionPath).size()) + " keys left");
  for (const PlantedValue& value : mouse) {
    FUZZ_CHECK(fuzzsupport::Unchanged(value), value.name + " changed");
  }

  // What was loaded saves and loads again unchanged.
  SaveHotKeyRecords(loaded);
  std::vector<HotKeyRecord> reloaded;
  LoadHotKeyRecords(reloaded);
  FUZZ_CHECK(Describe(reloaded) == Describe(loaded), Describe(reloaded) + "after saving " + Describe(loaded));
  FUZZ_CHECK(registry.OpenHandleCount() == 0, "keys left open");
  return 0;
}
