// The settings store against platform::Registry(): the in-memory registry on
// the host, the real one when core_tests.exe runs on Windows or Wine.
#include <gtest/gtest.h>

#include <functional>

#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"

namespace {

using namespace DataSystem;
using testsupport::Bytes;
using testsupport::ReadRaw;
using testsupport::SettingsPath;

class StoreContract : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::DeleteSettingsRoot(); }
  void TearDown() override { testsupport::DeleteSettingsRoot(); }
  const HiveSelector hive = kHiveCurrentUser;
};

// What a call threw: its class, code and category.
struct Thrown {
  std::string kind = "nothing";
  std::int32_t code = -1;
  std::int32_t category = -1;
};

template <typename Fn>
Thrown Caught(Fn fn) {
  try {
    fn();
  } catch (const Vesperon::Exception& e) {
    const char* kind = dynamic_cast<const Vesperon::SystemException*>(&e) ? "System"
                       : dynamic_cast<const RegistryException*>(&e)     ? "Registry"
                       : dynamic_cast<const DataSystemException*>(&e)   ? "DataSystem"
                                                                        : "Exception";
    return Thrown{kind, e.code, e.category};
  }
  ADD_FAILURE() << "nothing thrown";
  return Thrown{};
}

TEST_F(StoreContract, NumbersFromAnEmptyRegistryAreTheirDefaultsWrittenBack) {
  struct Case {
    std::string section;
    std::vector<SettingId> ids;
    std::vector<std::uint32_t> expected;
    std::vector<std::string> keys;  // where each value must now be, below the section
  };
  const Case cases[] = {
      // Alternating subkeys: each change of subkey opens the right key.
      {"Global", {kLBClickC, kExpireDelay, kRBAction}, {2, 3600, 17},
       {"xzCute", "TriggerStartup", "xzCute"}},
      {"Profiles\\Work",
       {kMainFormAction, kTrigger, kTriggerActive, kTriggerEdit, kSDPropForced, kForceHung,
        kHNPropForced},
       {0, 0, 0, 1, 0, 1, 0},
       {"MainForm", "MainForm", "MainForm", "MainForm", "SDProp", "SDProp", "HNProp"}},
      // Rows with an empty subkey live in the section key itself.
      {"Global\\xzCute\\Ctrl+A", {kHotKeyCode, kHotKeyModifier, kHotKeyAction},
       {0, 0, 0xFFFFFFFDu}, {"", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section + " " + c.keys.front());
    std::vector<std::uint32_t> values{99};
    ReadNumbers(c.ids, values, c.section, hive);
    EXPECT_EQ(values, c.expected);
    for (std::size_t i = 0; i < c.ids.size(); ++i) {
      const auto raw = ReadRaw(SettingsPath(c.section + (c.keys[i].empty() ? "" : "\\" + c.keys[i])),
                               SettingSchema[c.ids[i]].valueName);
      EXPECT_EQ(raw.result, 0);
      EXPECT_EQ(raw.type, platform::kRegDword);
      EXPECT_EQ(raw.data, testsupport::Dword(c.expected[i])) << SettingSchema[c.ids[i]].valueName;
    }
  }
  std::vector<std::string> names;
  ListSubkeys("Global\\xzCute\\Ctrl+A", names, hive);
  EXPECT_TRUE(names.empty()) << "an empty subkey must not create a key named \"\"";
}

TEST_F(StoreContract, StringsFromAnEmptyRegistryAreTheirDefaultsWrittenBack) {
  std::vector<std::string> values;
  ReadStrings({kLang, kBkGrImg}, values, "Global", hive);
  EXPECT_EQ(values, (std::vector<std::string>{"English", ""}));
  const auto lang = ReadRaw(SettingsPath("Global\\Appearance"), "Lang");
  EXPECT_EQ(lang.type, platform::kRegSz);
  EXPECT_EQ(lang.data, testsupport::Text("English"));  // 8 bytes, zero included
  EXPECT_EQ(ReadRaw(SettingsPath("Global\\Appearance"), "BkGrImg").data, Bytes{0});
}

TEST_F(StoreContract, DamagedNumberValuesAreReplacedByTheirDefault) {
  struct Case {
    const char* what;
    std::uint32_t type;
    Bytes stored;
    std::uint32_t expected;
    bool repaired;
  };
  const Case cases[] = {
      {"eight bytes", platform::kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8}, 3600, true},
      {"two bytes", platform::kRegDword, {1, 2}, 3600, true},
      {"a sound dword", platform::kRegDword, testsupport::Dword(42), 42, false},
  };
  const std::string key = SettingsPath("Global\\TriggerStartup");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::WriteRaw(key, "ExpireDelay", c.type, c.stored);
    std::vector<std::uint32_t> values;
    ReadNumbers({kExpireDelay}, values, "Global", hive);
    EXPECT_EQ(values, std::vector<std::uint32_t>{c.expected});
    const auto raw = ReadRaw(key, "ExpireDelay");
    EXPECT_EQ(raw.type, c.repaired ? std::uint32_t{platform::kRegDword} : c.type);
    EXPECT_EQ(raw.data, c.repaired ? testsupport::Dword(c.expected) : c.stored);
  }
}

TEST_F(StoreContract, ActiveProfileDefaultsToDefaultWithoutCreatingItsKey) {
  EXPECT_EQ(GetActiveProfileName("Profiles", hive), "Default");
  EXPECT_EQ(ReadRaw(SettingsPath("Profiles"), "DefaultList").data, testsupport::Text("Default"));
  std::vector<std::string> profiles;
  ListSubkeys("Profiles", profiles, hive);
  EXPECT_TRUE(profiles.empty());
  SetActiveProfileName("Profiles", "Work", hive);
  EXPECT_EQ(GetActiveProfileName("Profiles", hive), "Work");
}

TEST_F(StoreContract, FailuresThrowTheirCodeAndKeepEarlierPositions) {
  std::vector<std::uint32_t> numbers;
  auto e = Caught([&] { ReadNumbers({kExpireDelay, kMinimize, 57, kPresTrgrAct}, numbers, "Global", hive); });
  EXPECT_EQ(e.kind, "System");
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(e.category, 1);
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{3600, 1, 0, 0}));
  EXPECT_EQ(ReadRaw(SettingsPath("Global\\TriggerStartup"), "PresTrgrAct").result, 2);

  std::vector<std::string> texts;
  EXPECT_EQ(Caught([&] { ReadStrings({kLang, 0xFFFFFFFFu}, texts, "Global", hive); }).code, 0);
  EXPECT_EQ(texts.front(), "English");

  // A String row among numbers: the default asked for has the wrong type.
  e = Caught([&] { ReadNumbers({kExpireDelay, kLang}, numbers, "Global", hive); });
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(numbers.front(), 3600u);
  EXPECT_EQ(Caught([&] { ReadStrings({kTriggerEdit}, texts, "Profiles\\W", hive); }).code, 1);

  // Writes check their input before touching the registry.
  EXPECT_EQ(Caught([&] { WriteNumbers({kAnimType, kBkGrType, kAnimDirec}, {1, 2}, "Global", hive); }).code, 2);
  EXPECT_EQ(Caught([&] { WriteStrings({kLang, kBkGrImg}, {"x"}, "Global", hive); }).code, 2);
  EXPECT_EQ(Caught([&] { WriteNumbers({kLang}, {1}, "Global", hive); }).code, 1);
  EXPECT_EQ(Caught([&] { WriteStrings({kAnimType}, {"1"}, "Global", hive); }).code, 1);
  const std::string appearance = SettingsPath("Global\\Appearance");
  EXPECT_EQ(ReadRaw(appearance, "AnimType").result, 2);
  EXPECT_EQ(ReadRaw(appearance, "Lang").data, testsupport::Text("English"));
}

TEST_F(StoreContract, AHiveOtherThanZeroOrOneThrowsAPlainExceptionAndTouchesNothing) {
  std::vector<std::uint32_t> numbers;
  std::vector<std::string> texts;
  const std::function<void(const HiveSelector&)> calls[] = {
      [&](const HiveSelector& h) { ReadNumbers({kExpireDelay}, numbers, "Global", h); },
      [&](const HiveSelector& h) { ReadStrings({kLang}, texts, "Global", h); },
      [&](const HiveSelector& h) { WriteNumbers({kExpireDelay}, {1}, "Global", h); },
      [&](const HiveSelector& h) { GetActiveProfileName("Profiles", h); },
      [&](const HiveSelector& h) { SetActiveProfileName("Profiles", "x", h); },
      [&](const HiveSelector& h) { ListSubkeys("Profiles", texts, h); },
  };
  for (const HiveSelector bad : {2, -1}) {
    for (const auto& call : calls) {
      const auto e = Caught([&] { call(bad); });
      EXPECT_EQ(e.kind, "Exception");
      EXPECT_EQ(e.category, 0);
    }
  }
  EXPECT_FALSE(testsupport::KeyExists(SettingsPath()));
}

TEST_F(StoreContract, ListSubkeysCreatesTheSectionAndKeepsRegistryOrder) {
  std::vector<std::string> names{"stale"};
  ListSubkeys("Profiles", names, hive);
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(testsupport::KeyExists(SettingsPath("Profiles")));
  for (const char* name : {"beta", "Alpha", "alpha2", "ALPHA1", "Gamma", "z9", "ALPHA"}) {
    SetActiveProfileName("Profiles\\" + std::string(name), "x", hive);
  }
  ListSubkeys("Profiles", names, hive);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "ALPHA1", "alpha2", "beta", "Gamma", "z9"}));
}

// The key is made read-only through its security descriptor on Windows (Wine
// enforces it for opens and value writes) and by the fake's own flag on the host.
TEST_F(StoreContract, AReadOnlyKeyIsReadButCannotBeRepairedOrWritten) {
  WriteNumbers({kExpireDelay}, {5}, "Global", hive);
  SetActiveProfileName("Profiles", "Work", hive);
  testsupport::ReadOnlyKey startup(SettingsPath("Global\\TriggerStartup"));
  testsupport::ReadOnlyKey profiles(SettingsPath("Profiles"));

  std::vector<std::uint32_t> numbers;
  ReadNumbers({kExpireDelay}, numbers, "Global", hive);
  EXPECT_EQ(numbers, std::vector<std::uint32_t>{5});
  EXPECT_EQ(GetActiveProfileName("Profiles", hive), "Work");

  auto e = Caught([&] { ReadNumbers({kExpireDelay, kMinimize}, numbers, "Global", hive); });
  EXPECT_EQ(e.kind, "Registry");
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(numbers.front(), 5u);
  EXPECT_EQ(Caught([&] { WriteNumbers({kExpireDelay}, {6}, "Global", hive); }).code, 0);
  EXPECT_EQ(Caught([&] { SetActiveProfileName("Profiles", "Home", hive); }).code, 0);
  EXPECT_EQ(ReadRaw(SettingsPath("Global\\TriggerStartup"), "Minimize").result, 2);
}

}  // namespace
