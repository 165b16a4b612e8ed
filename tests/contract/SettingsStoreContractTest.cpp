// The settings store against platform::Registry(): the in-memory registry on
// the host, the real one when core_tests.exe runs on Windows or Wine.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

namespace {

using namespace DataSystem;
using testing_support::Outcome;
using testsupport::Bytes;
using testsupport::ReadRaw;
using testsupport::SettingsPath;

class StoreContract : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::DeleteSettingsRoot(); }
  void TearDown() override { testsupport::DeleteSettingsRoot(); }
  const HiveSelector hive = kHiveCurrentUser;
};

// The settings tree as one line per key that holds values:
// "KEY: NAME=number NAME='text'", keys joined by " | "; a number is a
// 4-byte REG_DWORD, a text a REG_SZ with its terminating zero, anything
// else shows as "?".
std::string Stored() {
  std::string out;
  for (const auto& [key, values] : testsupport::DumpTree(platform::kCurrentUser, SettingsPath())) {
    if (values.empty()) continue;
    out += (out.empty() ? "" : " | ") + key + ":";
    for (const auto& [name, value] : values) {
      const Bytes& d = value.second;
      out += " " + name + "=";
      if (value.first == platform::kRegDword && d.size() == 4) {
        out += std::to_string(d[0] | d[1] << 8 | d[2] << 16 | std::uint32_t{d[3]} << 24);
      } else if (value.first == platform::kRegSz && !d.empty() && d.back() == 0) {
        out += "'" + std::string(d.begin(), d.end() - 1) + "'";
      } else {
        out += "?";
      }
    }
  }
  return out;
}

struct RecordCase {
  std::function<void()> load;  // from an empty registry
  std::string defaults;        // what the load leaves stored
  std::function<void()> save;  // other values, which read back the same
  std::string saved;
};

template <typename R, typename... Where>
RecordCase Record(R other, std::string defaults, std::string saved, Where... where) {
  RecordCase c{[=] { R().Load(where...); }, std::move(defaults), nullptr, std::move(saved)};
  if constexpr (requires { other.Save(where...); }) {
    c.save = [=] {
      other.Save(where...);
      R back;
      back.Load(where...);
      EXPECT_TRUE(back == other);
    };
  }
  return c;
}

RecordCase Single(std::function<void()> load, std::string defaults) {
  return {std::move(load), std::move(defaults), nullptr, ""};
}

// Each record's fields, and the settings that stand alone, with the key,
// value name, type and default each has always had.
TEST_F(StoreContract, RecordsLiveWhereTheyAlwaysHaveWithTheirDefaults) {
  const std::string w = "Profiles\\W";
  const RecordCase cases[] = {
      Record(ReminderSettings{"t", "s.wav", true, false, true, 7, 2},
             "PROFILES\\W\\REMINDER: CLOSE=0 CLSTIME=1 CLSTTYPE=1 LOOPED=0 PATH='' PLAY=0 "
             "TXT='Your message displays here'",
             "PROFILES\\W\\REMINDER: CLOSE=1 CLSTIME=7 CLSTTYPE=2 LOOPED=0 PATH='s.wav' PLAY=1 TXT='t'", w),
      Record(ShutdownSettings{true, false, 5}, "PROFILES\\W\\SDPROP: FORCED=0 FORCEHUNG=1 REASON=2",
             "PROFILES\\W\\SDPROP: FORCED=1 FORCEHUNG=0 REASON=5", w),
      Record(SuspendSettings{false, true}, "PROFILES\\W\\HNPROP: DISABLEWAKE=0 FORCED=0",
             "PROFILES\\W\\HNPROP: DISABLEWAKE=1 FORCED=0", w),
      Record(WakeOnLanSettings{0x0A000001, 0xFFFFFF00, "00A0C9112233"},
             "PROFILES\\W\\WAKEONLAN: IPADDR=0 MACADDR='000000000000' SUBNET=0",
             "PROFILES\\W\\WAKEONLAN: IPADDR=167772161 MACADDR='00A0C9112233' SUBNET=4294967040", w),
      Record(MainFormSettings{1, 2, 3, 4, 5, 6, "p.exe"},
             "PROFILES\\W\\MAINFORM: ACTION=0 TRIGGER=0 TRIGGERCMB1=0 TRIGGERCMB2='' TRIGGERDATE=0 "
             "TRIGGEREDIT=1 TRIGGERTIME=0",
             "PROFILES\\W\\MAINFORM: ACTION=1 TRIGGER=2 TRIGGERCMB1=5 TRIGGERCMB2='p.exe' TRIGGERDATE=3 "
             "TRIGGEREDIT=6 TRIGGERTIME=4", w),
      Record(StartupSettings{false, true, false, true, 90061, true, true, 45},
             "GLOBAL\\TRIGGERSTARTUP: AUTOREACTTRGR=0 AUTOSTOPTIMER=0 EXPIREDELAY=3600 MINIMIZE=1 "
             "PRESTRGRACT=1 SPLASHSCR=1 WARNBEFORE=0 WARNSECS=30",
             "GLOBAL\\TRIGGERSTARTUP: AUTOREACTTRGR=1 AUTOSTOPTIMER=1 EXPIREDELAY=90061 MINIMIZE=1 "
             "PRESTRGRACT=0 SPLASHSCR=0 WARNBEFORE=1 WARNSECS=45"),
      Record(StartWindowSettings{}, "GLOBAL\\TRIGGERSTARTUP: MINIMIZE=1 PRESTRGRACT=1", ""),
      Record(AppearanceSettings{128, 1, 2, 10, 20, 30, 5, "Deutsch", "C:\\b.bmp"},
             "GLOBAL\\APPEARANCE: ANIMDIREC=4 ANIMTYPE=0 BKGRCOLB=200 BKGRCOLG=200 BKGRCOLR=100 "
             "BKGRIMG='' BKGRTYPE=0 LANG='English' TRANSLUC=255",
             "GLOBAL\\APPEARANCE: ANIMDIREC=5 ANIMTYPE=1 BKGRCOLB=30 BKGRCOLG=20 BKGRCOLR=10 "
             "BKGRIMG='C:\\b.bmp' BKGRTYPE=2 LANG='Deutsch' TRANSLUC=128"),
      // The animation's own record, its two fields apart: AppearanceTest.
      Record(BackgroundSettings{},
             "GLOBAL\\APPEARANCE: BKGRCOLB=200 BKGRCOLG=200 BKGRCOLR=100 BKGRTYPE=0", ""),
      Record(MouseShortcut{1, 5}, "GLOBAL\\XZCUTE: LBACTION=9 LBCLICKC=2",
             "GLOBAL\\XZCUTE: LBACTION=5 LBCLICKC=1", MouseButton::Left),
      Record(MouseShortcut{3, 6}, "GLOBAL\\XZCUTE: MBACTION=9 MBCLICKC=2",
             "GLOBAL\\XZCUTE: MBACTION=6 MBCLICKC=3", MouseButton::Middle),
      Record(MouseShortcut{2, 7}, "GLOBAL\\XZCUTE: RBACTION=17 RBCLICKC=1",
             "GLOBAL\\XZCUTE: RBACTION=7 RBCLICKC=2", MouseButton::Right),
      // A record's own key: no key named "" below it.
      Record(HotKeySettings{65, 2, 7},
             "GLOBAL\\XZCUTE\\CTRL+A: ACTION=4294967293 CODE=0 MODIFIER=0",
             "GLOBAL\\XZCUTE\\CTRL+A: ACTION=7 CODE=65 MODIFIER=2", std::string("Global\\xzCute\\Ctrl+A")),
      Single([&] { ReadNumber(kTriggerActive, w); }, "PROFILES\\W\\MAINFORM: TRIGGERACTIVE=0"),
      Single([&] { ReadText(kLastEvent, w); }, "PROFILES\\W\\TRIGGER: LASTEVENT='01/01/1970 12:00:00 AM'"),
      Single([&] { ReadText(kToKill, w); }, "PROFILES\\W\\PROCESS: TOKILL=''"),
      Single([&] { ReadText(kToDiscon, w); }, "PROFILES\\W\\RAS: TODISCON='*'"),
      // One list across subkeys: each change of subkey opens the right key.
      Single([&] { std::vector<std::uint32_t> v; ReadNumbers({kLBClickC, kExpireDelay, kRBAction}, v, "Global", hive); },
             "GLOBAL\\TRIGGERSTARTUP: EXPIREDELAY=3600 | GLOBAL\\XZCUTE: LBCLICKC=2 RBACTION=17"),
  };
  for (const RecordCase& c : cases) {
    SCOPED_TRACE(c.defaults);
    testsupport::DeleteSettingsRoot();
    c.load();
    EXPECT_EQ(Stored(), c.defaults);
    if (!c.save) continue;
    testsupport::DeleteSettingsRoot();
    c.save();
    EXPECT_EQ(Stored(), c.saved);
  }
}

TEST_F(StoreContract, DamagedNumberValuesAreReplacedByTheirDefault) {
  // The value's type and data, the number read, and whether the value is repaired.
  const std::tuple<const char*, std::uint32_t, Bytes, std::uint32_t, bool> cases[] = {
      {"eight bytes", platform::kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8}, 3600, true},
      {"two bytes", platform::kRegDword, {1, 2}, 3600, true},
      {"a sound dword", platform::kRegDword, testsupport::Dword(42), 42, false},
  };
  const std::string key = SettingsPath("Global\\TriggerStartup");
  for (const auto& [what, type, stored, expected, repaired] : cases) {
    SCOPED_TRACE(what);
    testsupport::WriteRaw(key, "ExpireDelay", type, stored);
    std::vector<std::uint32_t> values;
    ReadNumbers({kExpireDelay}, values, "Global", hive);
    EXPECT_EQ(values, std::vector<std::uint32_t>{expected});
    const auto raw = ReadRaw(key, "ExpireDelay");
    EXPECT_EQ(raw.type, repaired ? std::uint32_t{platform::kRegDword} : type);
    EXPECT_EQ(raw.data, repaired ? testsupport::Dword(expected) : stored);
  }
}

// The active profile defaults to "Default" without creating its key; the list
// of profiles creates the section.
TEST_F(StoreContract, ActiveProfileAndProfileList) {
  std::vector<std::string> names{"stale"};
  ListSubkeys("Profiles", names, hive);
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(testsupport::KeyExists(SettingsPath("Profiles")));
  EXPECT_EQ(GetActiveProfileName("Profiles", hive), "Default");
  EXPECT_EQ(ReadRaw(SettingsPath("Profiles"), "DefaultList").data, testsupport::Text("Default"));
  ListSubkeys("Profiles", names, hive);
  EXPECT_TRUE(names.empty());
  SetActiveProfileName("Profiles", "Work", hive);
  EXPECT_EQ(GetActiveProfileName("Profiles", hive), "Work");
}

TEST_F(StoreContract, FailuresThrowTheirCodeAndKeepEarlierPositions) {
  std::vector<std::uint32_t> numbers;
  EXPECT_EQ(Outcome([&] { ReadNumbers({kExpireDelay, kMinimize, kSettingCount, kPresTrgrAct}, numbers, "Global", hive); }),
            "System 0");
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{3600, 1, 0, 0}));
  EXPECT_EQ(ReadRaw(SettingsPath("Global\\TriggerStartup"), "PresTrgrAct").result, 2);

  std::vector<std::string> texts;
  EXPECT_EQ(Outcome([&] { ReadStrings({kLang, 0xFFFFFFFFu}, texts, "Global", hive); }), "System 0");
  EXPECT_EQ(texts.front(), "English");

  // A String row among numbers: the default asked for has the wrong type.
  EXPECT_EQ(Outcome([&] { ReadNumbers({kExpireDelay, kLang}, numbers, "Global", hive); }), "System 1");
  EXPECT_EQ(numbers.front(), 3600u);
  EXPECT_EQ(Outcome([&] { ReadStrings({kTriggerEdit}, texts, "Profiles\\W", hive); }), "System 1");

  // Writes check their input before touching the registry.
  EXPECT_EQ(Outcome([&] { WriteNumbers({kAnimType, kBkGrType, kAnimDirec}, {1, 2}, "Global", hive); }), "System 2");
  EXPECT_EQ(Outcome([&] { WriteStrings({kLang, kBkGrImg}, {"x"}, "Global", hive); }), "System 2");
  EXPECT_EQ(Outcome([&] { WriteNumbers({kLang}, {1}, "Global", hive); }), "System 1");
  EXPECT_EQ(Outcome([&] { WriteStrings({kAnimType}, {"1"}, "Global", hive); }), "System 1");
  const std::string appearance = SettingsPath("Global\\Appearance");
  EXPECT_EQ(ReadRaw(appearance, "AnimType").result, 2);
  EXPECT_EQ(ReadRaw(appearance, "Lang").data, testsupport::Text("English"));
}

// Every call opens its key through one choice of root: a read and a write stand for them all.
TEST_F(StoreContract, AHiveOtherThanZeroOrOneThrowsAPlainExceptionAndTouchesNothing) {
  std::vector<std::uint32_t> numbers;
  for (const HiveSelector bad : {2, -1}) {
    EXPECT_EQ(Outcome([&] { ReadNumbers({kExpireDelay}, numbers, "Global", bad); }), "Exception 0/0");
    EXPECT_EQ(Outcome([&] { SetActiveProfileName("Profiles", "x", bad); }), "Exception 0/0");
  }
  EXPECT_FALSE(testsupport::KeyExists(SettingsPath()));
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

  EXPECT_EQ(Outcome([&] { ReadNumbers({kExpireDelay, kMinimize}, numbers, "Global", hive); }), "Registry 1");
  EXPECT_EQ(numbers.front(), 5u);
  EXPECT_EQ(Outcome([&] { WriteNumbers({kExpireDelay}, {6}, "Global", hive); }), "Registry 0");
  EXPECT_EQ(Outcome([&] { SetActiveProfileName("Profiles", "Home", hive); }), "Registry 0");
  EXPECT_EQ(ReadRaw(SettingsPath("Global\\TriggerStartup"), "Minimize").result, 2);
}

}  // namespace
