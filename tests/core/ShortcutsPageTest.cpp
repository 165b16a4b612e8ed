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
using Rows = std::vector<std::pair<std::string, ActionId>>;
using Names = std::vector<std::string>;
constexpr std::uint32_t kNoAction = static_cast<std::uint32_t>(HotKeys::kNoActionMarker);

class FakeView final : public IShortcutsView {
 public:
  std::vector<ShortcutRow> rows;
  int selected = -1;
  std::optional<ActionId> action;
  std::int32_t mouseOperation = -1;
  std::uint16_t code = 0, modifier = 0;
  bool deleteEnabled = true;
  Names messages;

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
  void Combination(std::uint16_t& c, std::uint16_t& m) override {
    c = code;
    m = modifier;
  }
  void SetCombination(std::uint16_t c, std::uint16_t m) override {
    code = c;
    modifier = m;
  }
  void EnableDelete(bool enable) override { deleteEnabled = enable; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

// The page opened on two bindings stored and registered as at start-up (rows 3 and 4);
// the right button keeps a kind the row's three bits cannot hold and the
// no-action marker, which must come back as no kind and with its sign.
struct OpenPage {
  OpenPage() {
    HotKeys::ResetRegisteredHotKeysForTesting();
    DataSystem::WriteNumbers({8, 9}, {5, kNoAction}, "Global", DataSystem::kHiveCurrentUser);
    HotKeys::SaveHotKeyRecords({{0x70, kAlt, "Alt + F1", 12}, {0x51, kCtrl, "Ctrl + Q", 7}});
    HotKeys::RegisterHotKeyRecord(kMainWindow, "Alt + F1", 0x70, kAlt);
    HotKeys::RegisterHotKeyRecord(kMainWindow, "Ctrl + Q", 0x51, kCtrl);
    logic.Initialize();
  }
  ~OpenPage() { HotKeys::ResetRegisteredHotKeysForTesting(); }

  static std::map<std::string, ActionId> StoredRecords() {
    std::vector<HotKeys::HotKeyRecord> records;
    HotKeys::LoadHotKeyRecords(records);
    std::map<std::string, ActionId> result;
    for (const auto& r : records) result[r.Name] = r.Action;
    return result;
  }
  static Names RegisteredNames() {
    Names names;
    for (std::uint32_t i = 0; i < HotKeys::RegisteredHotKeyCount(); ++i) names.push_back(HotKeys::RegisteredHotKeyAt(i).Name);
    return names;
  }
  // Hot-key rows as name -> action, checking that each is a keyboard row.
  Rows HotKeyRows() const {
    Rows result;
    for (std::size_t row = kMouseRowCount; row < view.rows.size(); ++row) {
      const ShortcutRow& r = view.rows[row];
      const ShortcutRowData data = DecodeShortcutRowData(r.data);
      EXPECT_TRUE(r.device == "Keyboard" && r.deviceImage == kKeyboardImage && data.device == kDeviceKeyboard);
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
  FakeView view;
  ShortcutsPageLogic logic{view, kMainWindow};
};

TEST(ShortcutsPageTest, OpensWithTheButtonsThenTheHotKeysAndShowsTheSelectedRow) {
  OpenPage page;
  const FakeView& view = page.view;
  // The three buttons, then the hot keys (their rows: HotKeyRows). An unknown
  // kind and action show empty texts and no image.
  ASSERT_EQ(view.rows.size(), 5u);
  const ShortcutRow& right = view.rows[2];
  const std::string shown = right.device + "|" + right.operation + "|" + right.action + "|";
  EXPECT_EQ(shown + std::to_string(right.actionImage), "Mouse: Right button|||-1");
  EXPECT_TRUE(view.selected == 0 && !view.deleteEnabled && view.mouseOperation == 2 && view.action == 9);

  // Selecting a hot-key row reads its record into the editors; a mouse row
  // with a kind of none of the three clears the operation box.
  // The row selected, then the delete button and editors it leaves.
  const std::tuple<int, bool, ActionId, std::int32_t, std::uint16_t, std::uint16_t> selections[] = {
      {4, true, 7, 2, 0x51, kCtrl},
      {3, true, 12, 2, 0x70, kAlt},
      {1, false, 9, 2, 0x70, kAlt},
      {2, false, HotKeys::kNoActionMarker, 7, 0x70, kAlt},
  };
  for (const auto& [row, deleteEnabled, action, mouseOperation, code, modifier] : selections) {
    SCOPED_TRACE(row);
    page.logic.OnRowSelected(row);
    EXPECT_EQ(std::tie(view.deleteEnabled, view.action, view.mouseOperation, view.code, view.modifier),
              std::tie(deleteEnabled, action, mouseOperation, code, modifier));
  }
}

const Rows kBefore{{"Alt + F1", 12}, {"Ctrl + Q", 7}};

TEST(ShortcutsPageTest, ButtonsChangeTheRegistryTheRegistrationsAndTheRows) {
  enum Button { kAdd, kModify, kDelete };
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
  // Adding, a listed combination, deleting, modifying a button: ShortcutsPageE2eTest.
  const Case cases[] = {
      {"add without action", kAdd, 0, std::nullopt, 0, 0x41, kCtrl, false, false, "Please specify an action."},
      // An extended key's bit alone is no combination either.
      {"add with a modifier of no name and no key", kAdd, 0, 16, 0, 0, HotKeys::kHotKeyExtended, false,
       false, "Please select an input hotkey."},
      // Only a combination of neither key nor modifier is empty.
      {"add a modifier alone", kAdd, 0, 16, 0, 0, kCtrl, false, false, "",
       {{"Alt + F1", 12}, {"Ctrl + Q", 7}, {"Ctrl", 16}}},
      {"add a combination held elsewhere", kAdd, 0, 16, 0, 0x41, kCtrl, true, false,
       "Failed to register hotkey: Ctrl + A", {{"Alt + F1", 12}, {"Ctrl + Q", 7}, {"Ctrl + A", 16}},
       {"Alt + F1", "Ctrl + Q"}},
      {"modify the action only", kModify, 4, 4, 0, 0x51, kCtrl, false, false, "", {{"Alt + F1", 12}, {"Ctrl + Q", 4}}},
      {"modify to another combination", kModify, 4, 4, 0, 0x41, kCtrl, false, false, "",
       {{"Alt + F1", 12}, {"Ctrl + A", 4}}},
      {"modify to another row's combination", kModify, 4, 4, 0, 0x70, kAlt, false, false, "Hotkey already exists."},
      {"modify, old combination not released", kModify, 3, 12, 0, 0x41, kAlt, false, true,
       "Failed to unregister hotkey.", {{"Alt + A", 12}, {"Ctrl + Q", 7}}, {"Ctrl + Q", "Alt + A"}},
      {"modify to a combination held elsewhere", kModify, 3, 12, 0, 0x41, kAlt, true, false,
       "Failed to register hotkey: Alt + A", {{"Alt + A", 12}, {"Ctrl + Q", 7}}, {"Ctrl + Q"}},
      {"modify without selection", kModify, -1, 4, 0, 0x41, kCtrl, false, false,
       "Please select a shortcut from the list."},
      {"modify a button without operation", kModify, 1, 10, -1, 0, 0, false, false, "Please select a mouse operation."},
      {"delete, not released", kDelete, 3, 4, 0, 0, 0, false, true, "Failed to unregister hotkey.", {{"Ctrl + Q", 7}}},
      {"delete without selection", kDelete, -1, 4, 0, 0, 0, false, false, "Please select a hotkey from the list."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenPage page;
    FakeView& view = page.view;
    ASSERT_EQ(page.HotKeyRows(), kBefore);
    std::tie(view.selected, view.action, view.mouseOperation, view.code, view.modifier) =
        std::tie(c.selected, c.action, c.mouseOperation, c.code, c.modifier);
    if (c.heldElsewhere) {
      ASSERT_TRUE(page.keys.RegisterHotKey(0x99, 1, c.modifier == kAlt ? platform::kModAlt : platform::kModControl, c.code));
    }
    if (c.refuseUnregister) {
      page.keys.refuseUnregister.insert(page.keys.AtomOf(HotKeys::kHotKeyAtomPrefix + view.rows.at(c.selected).operation));
    }
    if (c.button == kAdd) page.logic.OnAdd();
    if (c.button == kModify) page.logic.OnModify();
    if (c.button == kDelete) page.logic.OnDelete();
    EXPECT_EQ(view.messages, *c.message ? Names{c.message} : Names{});
    EXPECT_EQ(page.HotKeyRows(), c.rows);
    EXPECT_EQ(page.StoredRecords(), (std::map<std::string, ActionId>(c.rows.begin(), c.rows.end())));
    Names registrations = c.registrations;
    if (registrations.empty()) {
      for (const auto& row : c.rows) registrations.push_back(row.first);
    }
    EXPECT_EQ(page.RegisteredNames(), registrations);
    std::vector<std::uint32_t> mouse;
    DataSystem::ReadNumbers({4, 5, 6, 7, 8, 9}, mouse, "Global", DataSystem::kHiveCurrentUser);
    EXPECT_EQ(mouse, (std::vector<std::uint32_t>{2, 9, 2, 9, 5, kNoAction}));
    // Whatever stays registered is held by the main window, once.
    std::size_t held = 0;
    for (const auto& r : page.keys.Registrations()) held += r.window == kMainWindow;
    EXPECT_EQ(held, registrations.size() + (c.refuseUnregister ? 1 : 0));
  }
}

}  // namespace
