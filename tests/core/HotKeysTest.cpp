// Hot-key bindings against an in-memory registry and the recording hot-key system.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "actions/ActionDispatcher.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingHotKeySystem.h"
#include "settings/SettingsStore.h"
#include "shell/HotKeys.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RecordingActions.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace HotKeys;
using testing_support::CallLog;
using testing_support::CodeOf;
using testsupport::Dword;
using testsupport::KeyExists;
using testsupport::WriteRaw;

namespace {

constexpr platform::WindowHandle kWindow = 0x1234;
const std::string kSection = "Global\\xzCute";

class HotKeysTest : public ::testing::Test {
 protected:
  HotKeysTest() { ResetRegisteredHotKeysForTesting(); }
  ~HotKeysTest() override { ResetRegisteredHotKeysForTesting(); }

  static std::string RecordPath(const std::string& name) {
    return testsupport::SettingsPath(kSection + "\\" + name);
  }
  static void StoreRecord(const std::string& name, std::uint32_t code, std::uint32_t modifier,
                          std::uint32_t action) {
    WriteRaw(RecordPath(name), "Code", platform::kRegDword, Dword(code));
    WriteRaw(RecordPath(name), "Modifier", platform::kRegDword, Dword(modifier));
    WriteRaw(RecordPath(name), "Action", platform::kRegDword, Dword(action));
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::RecordingHotKeySystem keys;
  platform::ScopedHotKeySystem keysGuard{keys};
  testing_support::FakeOsVersion os{testing_support::kWinXP};
  CallLog log;
  testing_support::RecordingSystemActions system{log};
  Vesperon::ScopedSystemActions systemGuard{system};
  testing_support::RecordingActionHost host{log};
  Vesperon::ActionDispatcher dispatcher{host};
};

// Loading whatever records are stored (repairs, deletions, order): fuzz_hot_key_records.
TEST_F(HotKeysTest, ReadingAVanishedOrNamelessRecordGivesNoActionAndLeavesNoKey) {
  WriteRaw(testsupport::SettingsPath(kSection), "LBAction", platform::kRegDword, Dword(16));
  StoreRecord("Ctrl + A", 0x41, 0x02, 7);
  for (const std::string name : {"Ctrl + Q", "", "Ctrl + \\"}) {
    SCOPED_TRACE(name);
    HotKeyRecord record{5, 5, name, 4};
    ReadHotKeyRecord(record);
    EXPECT_EQ(std::tie(record.Code, record.Modifier, record.Action), std::make_tuple(0, 0, kNoActionMarker));
    EXPECT_FALSE(KeyExists(RecordPath("Ctrl + Q")));
    // The section, its mouse settings and the other records survive.
    EXPECT_EQ(testsupport::ReadRaw(testsupport::SettingsPath(kSection), "LBAction").data, Dword(16));
    EXPECT_TRUE(KeyExists(RecordPath("Ctrl + A")));
  }
}

TEST_F(HotKeysTest, SaveWritesValidRecordsOnlyAndRefusesNamesThatAreNoKeyNameDeleteNeverFails) {
  SaveHotKeyRecords({{0x41, 0x06, "Ctrl + Alt + A", 12}, {0x51, 0x01, "Shift + Q", -3}});
  HotKeyRecord read{0, 0, "Ctrl + Alt + A", 0};
  ReadHotKeyRecord(read);
  EXPECT_TRUE(read.Code == 0x41 && read.Modifier == 0x06 && read.Action == 12);
  EXPECT_FALSE(KeyExists(RecordPath("Shift + Q")));

  for (const std::string& bad : std::vector<std::string>{"", "Ctrl + \\", std::string(256, 'k')}) {
    EXPECT_THROW(SaveHotKeyRecords({{0x70, 0, "F1", 3}, {0x41, 2, bad, 3}}), Vesperon::Exception);
    EXPECT_FALSE(KeyExists(RecordPath("F1")));  // nothing written before the refusal
  }
  EXPECT_NO_THROW(SaveHotKeyRecords({{0x41, 2, std::string(255, 'k'), 3}}));
  // Delete never fails and never touches the whole section.
  EXPECT_NO_THROW(DeleteHotKeyRecord({0, 0, "", 0}));
  EXPECT_TRUE(KeyExists(RecordPath("Ctrl + Alt + A")));
  DeleteHotKeyRecord({0, 0, "Ctrl + Alt + A", 0});
  EXPECT_FALSE(KeyExists(RecordPath("Ctrl + Alt + A")));
}

TEST_F(HotKeysTest, UnregisterByNameReportsRefusalsAndKeepsTheOrder) {
  RegisterHotKeyRecord(kWindow, "A", 0x41, 0);
  RegisterHotKeyRecord(kWindow, "B", 0x42, 0);
  RegisterHotKeyRecord(kWindow, "C", 0x43, 0);
  keys.log.clear();
  EXPECT_FALSE(UnregisterHotKeyByName(kWindow, "never registered"));
  EXPECT_TRUE(keys.log.empty());

  keys.refuseUnregister.insert(keys.AtomOf("Vesperon.Hotkeys.B"));
  EXPECT_TRUE(UnregisterHotKeyByName(kWindow, "B"));
  EXPECT_EQ(keys.AtomReferences("Vesperon.Hotkeys.B"), 0u);  // released all the same
  // The entry goes, the others keep their order: ShortcutsPageTest.
  EXPECT_EQ(CodeOf<HotKeyException>([] { RegisteredHotKeyAt(2); }), HotKeyException::kIndexOutOfRange);
}

TEST_F(HotKeysTest, UnregisterAllCountsRefusalsReleasesEveryAtomLastFirst) {
  for (const char* name : {"A", "B", "C"}) {
    RegisterHotKeyRecord(kWindow, name, static_cast<std::uint16_t>(name[0]), 0);
  }
  const platform::Atom a = keys.AtomOf("Vesperon.Hotkeys.A");
  const platform::Atom c = keys.AtomOf("Vesperon.Hotkeys.C");
  keys.refuseUnregister = {a, c};
  keys.log.clear();
  EXPECT_EQ(UnregisterHotKeysAtExit(kWindow, host), 2u);
  EXPECT_EQ(log, CallLog{"Message(Cannot unregister some of the hotkeys.)"});
  EXPECT_EQ(keys.log.front(), "UnregisterHotKey(4660, " + std::to_string(c) + ")");
  EXPECT_EQ(keys.log.back(), "GlobalDeleteAtom(" + std::to_string(a) + ")");
  EXPECT_EQ(RegisteredHotKeyCount(), 0u);
  for (const char* name : {"A", "B", "C"}) {
    EXPECT_EQ(keys.AtomReferences(std::string("Vesperon.Hotkeys.") + name), 0u);
  }
  log.clear();
  EXPECT_EQ(UnregisterHotKeysAtExit(kWindow, host), 0u);
  EXPECT_TRUE(log.empty());
}

TEST_F(HotKeysTest, StartUpRegistersWhatItCanAndNamesEachFailure) {
  EXPECT_EQ(RegisterStoredHotKeys(kWindow, host), 0u);
  EXPECT_TRUE(log.empty());  // no records, no message

  StoreRecord("Ctrl + A", 0x41, 0x02, 7);
  StoreRecord("Ctrl + Q", 0x51, 0x02, 9);
  StoreRecord("F1", 0x70, 0x0F, 12);  // every modifier, the extended bit among them
  StoreRecord("no action", 0x71, 0, static_cast<std::uint32_t>(-3));
  keys.refuseAtoms.insert("Vesperon.Hotkeys.Ctrl + Q");
  EXPECT_EQ(RegisterStoredHotKeys(kWindow, host), 2u);
  EXPECT_EQ(log, CallLog{"Message(Cannot register hotkey: Ctrl + Q)"});
  EXPECT_EQ(RegisteredHotKeyCount(), 2u);
  // The extended bit is no modifier of the system's. (Alt and Ctrl held
  // elsewhere: ShortcutsPageTest; Ctrl + Shift on the real system:
  // HotKeysWin32Test.)
  EXPECT_EQ(keys.Registrations().back().modifiers, 0x7u);
  EXPECT_TRUE(KeyExists(RecordPath("Ctrl + Q")));  // tried again at the next start
  // A refused atom leaves no entry (refused twice on the real system: HotKeysWin32Test).
  EXPECT_EQ(CodeOf<HotKeyException>([] { RegisterHotKeyRecord(kWindow, "Ctrl + Q", 0x51, 0x02); }),
            HotKeyException::kAtomNotAdded);
  EXPECT_EQ(keys.Registrations().size(), 2u);
  EXPECT_EQ(keys.AtomReferences("Vesperon.Hotkeys.Ctrl + Q"), 0u);
}

TEST_F(HotKeysTest, APressRunsTheStoredActionOfEveryEntryWithThatIdentifier) {
  StoreRecord("Ctrl + A", 0x41, 0x02, 7);
  RegisterHotKeyRecord(kWindow, "Ctrl + A", 0x41, 0x02);
  RegisterHotKeyRecord(kWindow, "Ctrl + Q", 0x51, 0x02);
  const std::uint32_t a = RegisteredHotKeyAt(0).Id;
  const std::uint32_t q = RegisteredHotKeyAt(1).Id;

  EXPECT_EQ(OnHotKey(dispatcher, host, a), 0);
  EXPECT_EQ(log, CallLog{"LockWorkStation()"});

  // The action is read at each press: a change applies without re-registering.
  StoreRecord("Ctrl + A", 0x41, 0x02, 10);
  log.clear();
  OnHotKey(dispatcher, host, a);
  EXPECT_EQ(log, CallLog{"MonitorOff()"});

  // Ctrl + Q has no record: "Unknow action", and the read leaves no key.
  log.clear();
  OnHotKey(dispatcher, host, q);
  EXPECT_EQ(log, CallLog{"Message(Unknow action)"});
  EXPECT_FALSE(KeyExists(RecordPath("Ctrl + Q")));

  log.clear();
  OnHotKey(dispatcher, host, 0xBEEF);
  EXPECT_TRUE(log.empty());

  // A second window holding the same name gets the same atom: both entries run.
  StoreRecord("Ctrl + A", 0x41, 0x02, 12);
  RegisterHotKeyRecord(kWindow + 1, "Ctrl + A", 0x42, 0x02);
  ASSERT_EQ(RegisteredHotKeyAt(2).Id, a);
  OnHotKey(dispatcher, host, a);
  EXPECT_EQ(log, (CallLog{"RunScreenSaver()", "RunScreenSaver()"}));
}

TEST_F(HotKeysTest, TheTextOfACombination) {
  const std::tuple<std::uint16_t, std::uint16_t, const char*> rows[] = {
      {0x41, 0x06, "Ctrl + Alt + A"},
      {0x2E, 0x0A, "Ctrl + Delete"},      // extended: the other name of the key
      {0x2E, 0x02, "Ctrl + Num Del"},
      {0xDC, 0x02, "Ctrl + Backslash"},   // never a backslash in a key name
      {0xE8, 0x04, "Alt + Key 0xE8"},     // a key the layout does not name
      {0x00, 0x03, "Ctrl + Shift"},
      {0x00, 0x00, ""},
  };
  for (const auto& [code, modifier, expected] : rows) {
    SCOPED_TRACE(expected);
    const std::string text = HotKeyText(code, modifier);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(IsValidHotKeyName(text), code != 0 || modifier != 0);
  }
}

}  // namespace
