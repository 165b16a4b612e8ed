// The Shortcuts page's rules against the recording hot-key system.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingHotKeySystem.h"
#include "settings/SettingsStore.h"
#include "shell/HotKeys.h"
#include "shell/ShortcutRows.h"
#include "tests/support/FakeOsVersion.h"

using namespace Vesperon;

namespace {

constexpr platform::WindowHandle kMainWindow = 0x4242;
constexpr std::uint16_t kCtrl = HotKeys::kHotKeyControl, kAlt = HotKeys::kHotKeyAlt;

class FakeView final : public IShortcutsView {
 public:
  std::vector<ShortcutRow> rows;
  int selected = -1;
  std::optional<ActionId> action;
  std::int32_t mouseOperation = -1;
  std::uint16_t code = 0, modifier = 0;
  bool deleteEnabled = true;
  std::vector<std::string> messages;

  int RowCount() override { return static_cast<int>(rows.size()); }
  std::string OperationText(int row) override { return rows.at(row).operation; }
  std::uint32_t RowData(int row) override { return rows.at(row).data; }
  void SetRow(int row, const ShortcutRow& content) override {
    (row == RowCount() ? rows.emplace_back() : rows.at(row)) = content;
  }
  void DeleteRow(int row) override {
    rows.erase(rows.begin() + row);
    if (selected == row) selected = -1;
  }
  int SelectedRow() override { return selected; }
  void SelectRow(int row) override { selected = row; }
  std::optional<ActionId> ChosenAction() override { return action; }
  void SelectAction(ActionId id) override { action = id; }
  std::int32_t MouseOperation() override { return mouseOperation; }
  void SelectMouseOperation(std::int32_t kind) override { mouseOperation = kind; }
  void Combination(std::uint16_t& c, std::uint16_t& m) override { c = code, m = modifier; }
  void SetCombination(std::uint16_t c, std::uint16_t m) override { code = c, modifier = m; }
  void EnableDelete(bool enable) override { deleteEnabled = enable; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

class ShortcutsPageTest : public ::testing::Test {
 protected:
  ShortcutsPageTest() { HotKeys::ResetRegisteredHotKeysForTesting(); }
  ~ShortcutsPageTest() override { HotKeys::ResetRegisteredHotKeysForTesting(); }

  // Two bindings stored and registered, as at start-up: rows 3 and 4.
  void StoreAndRegisterTwo() {
    HotKeys::SaveHotKeyRecords({{0x70, kAlt, "Alt + F1", 12}, {0x51, kCtrl, "Ctrl + Q", 7}});
    HotKeys::RegisterHotKeyRecord(kMainWindow, "Alt + F1", 0x70, kAlt);
    HotKeys::RegisterHotKeyRecord(kMainWindow, "Ctrl + Q", 0x51, kCtrl);
  }
  static std::map<std::string, ActionId> StoredRecords() {
    std::vector<HotKeys::HotKeyRecord> records;
    HotKeys::LoadHotKeyRecords(records);
    std::map<std::string, ActionId> result;
    for (const auto& r : records) result[r.Name] = r.Action;
    return result;
  }
  static std::vector<std::string> RegisteredNames() {
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < HotKeys::RegisteredHotKeyCount(); ++i) {
      names.push_back(HotKeys::RegisteredHotKeyAt(i).Name);
    }
    return names;
  }
  // Hot-key rows as name -> action, checking that each is a keyboard row.
  static std::vector<std::pair<std::string, ActionId>> HotKeyRows(const FakeView& view) {
    std::vector<std::pair<std::string, ActionId>> result;
    for (std::size_t row = kMouseRowCount; row < view.rows.size(); ++row) {
      const ShortcutRow& r = view.rows[row];
      EXPECT_EQ(r.device, "Keyboard");
      EXPECT_EQ(r.deviceImage, kKeyboardImage);
      const ShortcutRowData data = DecodeShortcutRowData(r.data);
      EXPECT_EQ(data.device, kDeviceKeyboard);
      EXPECT_EQ(r.action, GetActionName(data.action));
      result.emplace_back(r.operation, data.action);
    }
    return result;
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::RecordingHotKeySystem keys;
  platform::ScopedHotKeySystem keysGuard{keys};
  testing_support::FakeOsVersion os{testing_support::kWinXP};
};

TEST(ShortcutRowDataTest, PacksDeviceKindAndActionAndReadsThemBack) {
  const struct {
    ShortcutRowData row;
    std::uint32_t data;
    std::int32_t kindBack;  // what decoding gives for the kind
  } cases[] = {
      {{kDeviceMouse, 2, 16}, ((16u * 8) | 2) * 2, 2},
      // A stored kind the three bits cannot hold must not spill into the
      // action: it reads back as no kind at all.
      {{kDeviceMouse, 9, 4}, ((4u * 8) | 7) * 2, 7},
      // The no-action marker keeps its sign.
      {{kDeviceKeyboard, 0, -3}, static_cast<std::uint32_t>(-3 * 16 + 1), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data);
    EXPECT_EQ(EncodeShortcutRowData(c.row), c.data);
    const ShortcutRowData back = DecodeShortcutRowData(c.data);
    EXPECT_EQ(back.device, c.row.device);
    EXPECT_EQ(back.clickKind, c.kindBack);
    EXPECT_EQ(back.action, c.row.action);
  }
}

TEST_F(ShortcutsPageTest, OpensWithTheButtonsThenTheHotKeysAndShowsTheSelectedRow) {
  DataSystem::WriteNumbers({8, 9}, {5, 40}, "Global", DataSystem::kHiveCurrentUser);
  StoreAndRegisterTwo();
  FakeView view;
  ShortcutsPageLogic logic(view, kMainWindow);
  logic.Initialize();

  const struct {
    const char* device;
    const char* operation;
    const char* action;
    int actionImage;
  } expected[] = {
      {"Mouse: Left button", "Double click", GetActionName(9), GetActionImageIndex(9)},
      {"Mouse: Middle button", "Double click", GetActionName(9), GetActionImageIndex(9)},
      // An unknown kind and action show empty texts and no image.
      {"Mouse: Right button", "", "", -1},
      {"Keyboard", "Alt + F1", GetActionName(12), GetActionImageIndex(12)},
      {"Keyboard", "Ctrl + Q", GetActionName(7), GetActionImageIndex(7)},
  };
  ASSERT_EQ(view.rows.size(), std::size(expected));
  for (std::size_t i = 0; i < view.rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(view.rows[i].device, expected[i].device);
    EXPECT_EQ(view.rows[i].deviceImage, i < 3 ? kMouseImage : kKeyboardImage);
    EXPECT_EQ(view.rows[i].operation, expected[i].operation);
    EXPECT_EQ(view.rows[i].action, expected[i].action);
    EXPECT_EQ(view.rows[i].actionImage, expected[i].actionImage);
  }
  EXPECT_EQ(view.selected, 0);
  EXPECT_FALSE(view.deleteEnabled);
  EXPECT_EQ(view.mouseOperation, 2);
  EXPECT_EQ(view.action, 9);

  // Selecting a hot-key row reads its record into the editors; a mouse row
  // with a kind of none of the three clears the operation box.
  const struct {
    int row;
    bool deleteEnabled;
    ActionId action;
    std::int32_t mouseOperation;
    std::uint16_t code, modifier;
  } selections[] = {
      {4, true, 7, 2, 0x51, kCtrl},
      {3, true, 12, 2, 0x70, kAlt},
      {1, false, 9, 2, 0x70, kAlt},
      {2, false, 40, 7, 0x70, kAlt},
  };
  for (const auto& s : selections) {
    SCOPED_TRACE(s.row);
    logic.OnRowSelected(s.row);
    EXPECT_EQ(view.deleteEnabled, s.deleteEnabled);
    EXPECT_EQ(view.action, s.action);
    EXPECT_EQ(view.mouseOperation, s.mouseOperation);
    EXPECT_EQ(view.code, s.code);
    EXPECT_EQ(view.modifier, s.modifier);
  }
}

using Rows = std::vector<std::pair<std::string, ActionId>>;
const Rows kBefore{{"Alt + F1", 12}, {"Ctrl + Q", 7}};

TEST_F(ShortcutsPageTest, ButtonsChangeTheRegistryTheRegistrationsAndTheRows) {
  enum Button { kAdd, kModify, kDelete };
  using Names = std::vector<std::string>;
  struct Case {
    const char* what;
    Button button;
    int selected;
    std::optional<ActionId> action;
    std::int32_t mouseOperation;
    std::uint16_t code, modifier;
    bool heldElsewhere;     // another program holds the combination
    bool refuseUnregister;  // the system refuses to release the selected row's
    const char* message;    // "": none
    Rows rows = kBefore;    // the hot-key rows, stored alike
    Names registrations{};  // empty: the rows' names
  };
  const Rows altA{{"Alt + A", 12}, {"Ctrl + Q", 7}};
  // Adding, a listed combination, deleting, modifying a button: ShortcutsPageE2eTest.
  const Case cases[] = {
      {"add without action", kAdd, 0, std::nullopt, 0, 0x41, kCtrl, false, false, "Please specify an action."},
      {"add without combination", kAdd, 0, 16, 0, 0, 0, false, false, "Please select an input hotkey."},
      {"add with a modifier of no name and no key", kAdd, 0, 16, 0, 0, HotKeys::kHotKeyExtended, false,
       false, "Please select an input hotkey."},
      {"add a combination held elsewhere", kAdd, 0, 16, 0, 0x41, kCtrl, true, false,
       "Failed to register hotkey: Ctrl + A", {{"Alt + F1", 12}, {"Ctrl + Q", 7}, {"Ctrl + A", 16}},
       {"Alt + F1", "Ctrl + Q"}},
      {"modify the action only", kModify, 4, 4, 0, 0x51, kCtrl, false, false, "", {{"Alt + F1", 12}, {"Ctrl + Q", 4}}},
      {"modify to another combination", kModify, 4, 4, 0, 0x41, kCtrl, false, false, "",
       {{"Alt + F1", 12}, {"Ctrl + A", 4}}},
      {"modify to another row's combination", kModify, 4, 4, 0, 0x70, kAlt, false, false, "Hotkey already exists."},
      {"modify, old combination not released", kModify, 3, 12, 0, 0x41, kAlt, false, true,
       "Failed to unregister hotkey.", altA, {"Ctrl + Q", "Alt + A"}},
      {"modify to a combination held elsewhere", kModify, 3, 12, 0, 0x41, kAlt, true, false,
       "Failed to register hotkey: Alt + A", altA, {"Ctrl + Q"}},
      {"modify without selection", kModify, -1, 4, 0, 0x41, kCtrl, false, false,
       "Please select a shortcut from the list."},
      {"modify a button without operation", kModify, 1, 10, -1, 0, 0, false, false, "Please select a mouse operation."},
      {"delete, not released", kDelete, 3, 4, 0, 0, 0, false, true, "Failed to unregister hotkey.", {{"Ctrl + Q", 7}}},
      {"delete without selection", kDelete, -1, 4, 0, 0, 0, false, false, "Please select a hotkey from the list."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::MemoryRegistry caseRegistry;
    platform::ScopedRegistry caseRegistryGuard{caseRegistry};
    HotKeys::ResetRegisteredHotKeysForTesting();
    platform::RecordingHotKeySystem system;
    platform::ScopedHotKeySystem systemGuard{system};
    StoreAndRegisterTwo();
    FakeView view;
    ShortcutsPageLogic logic(view, kMainWindow);
    logic.Initialize();
    ASSERT_EQ(HotKeyRows(view), kBefore);

    std::tie(view.selected, view.action, view.mouseOperation, view.code, view.modifier) =
        std::tie(c.selected, c.action, c.mouseOperation, c.code, c.modifier);
    if (c.heldElsewhere) {
      ASSERT_TRUE(system.RegisterHotKey(
          0x99, 1, c.modifier == kAlt ? platform::kModAlt : platform::kModControl, c.code));
    }
    if (c.refuseUnregister) {
      system.refuseUnregister.insert(
          system.AtomOf(HotKeys::kHotKeyAtomPrefix + view.rows.at(c.selected).operation));
    }
    if (c.button == kAdd) logic.OnAdd();
    if (c.button == kModify) logic.OnModify();
    if (c.button == kDelete) logic.OnDelete();
    EXPECT_EQ(view.messages, *c.message ? Names{c.message} : Names{});
    EXPECT_EQ(HotKeyRows(view), c.rows);
    EXPECT_EQ(StoredRecords(), (std::map<std::string, ActionId>(c.rows.begin(), c.rows.end())));
    Names registrations = c.registrations;
    if (registrations.empty()) {
      for (const auto& row : c.rows) registrations.push_back(row.first);
    }
    EXPECT_EQ(RegisteredNames(), registrations);
    std::vector<std::uint32_t> mouse;
    DataSystem::ReadNumbers({4, 5, 6, 7, 8, 9}, mouse, "Global", DataSystem::kHiveCurrentUser);
    EXPECT_EQ(mouse, (std::vector<std::uint32_t>{2, 9, 2, 9, 1, 17}));
    // Whatever stays registered is held by the main window, once.
    std::size_t held = 0;
    for (const auto& r : system.Registrations()) held += r.window == kMainWindow;
    EXPECT_EQ(held, registrations.size() + (c.refuseUnregister ? 1 : 0));
  }
}

}  // namespace
