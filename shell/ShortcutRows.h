#pragma once
// The Shortcuts page without its window: the rows it lists (the three tray
// mouse operations, then one row per hot key), the 32-bit data each row
// carries, and what Add, Modify, Delete and a selection change do to the
// registry, the registered hot keys and the rows. The page's window only
// implements IShortcutsView over its controls, so every decision here runs
// against in-memory fakes as well.
//
// Nothing is applied later: every button writes the registry and registers
// or unregisters with the system at once, for the main window, which
// receives the hot-key messages.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionCatalog.h"
#include "platform/HotKeySystem.h"

namespace Vesperon {

// --- Texts of the page.
inline constexpr char kShortcutsNoteText[] = "NOTE: All changes on this page are applied immediately.";
inline constexpr char kDeviceColumnText[] = "Device";
inline constexpr char kOperationColumnText[] = "Operation/Hot key";
inline constexpr char kActionColumnText[] = "Action";
inline constexpr char kKeyboardDeviceText[] = "Keyboard";
inline constexpr char kSelectShortcutText[] = "Please select a shortcut from the list.";
inline constexpr char kSpecifyActionText[] = "Please specify an action.";
inline constexpr char kSelectInputHotKeyText[] = "Please select an input hotkey.";
inline constexpr char kSelectHotKeyText[] = "Please select a hotkey from the list.";
inline constexpr char kNoMouseDeleteText[] = "You may not delete mouse shortcuts. Select a hotkey instead.";
// Only reachable when the stored click kind of a button is none of the three.
inline constexpr char kSelectMouseOperationText[] = "Please select a mouse operation.";

// Rows 0 to 2 are the left, middle and right mouse buttons.
inline constexpr int kMouseRowCount = 3;
// The small-image list: the action images, then these two.
inline constexpr int kMouseImage = kActionImageCount;
inline constexpr int kKeyboardImage = kActionImageCount + 1;
// A row text longer than this is cut when it is taken as a record name, as
// the list's text buffer does.
inline constexpr std::size_t kLongestRowName = 63;

enum ShortcutDevice : std::uint32_t { kDeviceMouse = 0, kDeviceKeyboard = 1 };

// "Mouse: Left button" and so on, for row 0 to 2; "" for others.
const char* MouseDeviceText(int row);
// "Button pressed", "Button released", "Double click" for the TrayClickKind
// 0 to 2; "" for any other value.
const char* ClickKindName(std::int32_t kind);

// The item data of a row: bit 0 the device, bits 1 to 3 the click kind (0
// on keyboard rows), bits 4 and up the action.
struct ShortcutRowData {
  ShortcutDevice device = kDeviceMouse;
  std::int32_t clickKind = 0;
  ActionId action = 0;
};
std::uint32_t EncodeShortcutRowData(const ShortcutRowData& row);
ShortcutRowData DecodeShortcutRowData(std::uint32_t data);

// Everything a row shows, with its data.
struct ShortcutRow {
  std::string device;     // column "Device"
  int deviceImage = kMouseImage;
  std::string operation;  // column "Operation/Hot key"
  std::string action;     // column "Action"; "" for an id outside 0 to 17
  int actionImage = -1;   // -1: no image
  std::uint32_t data = 0;
};

// The mouse row of one button from its stored pair.
ShortcutRow MouseRow(int row, std::int32_t clickKind, ActionId action);
// A hot-key row; `name` is the record's name, its identity in the registry.
ShortcutRow KeyboardRow(const std::string& name, ActionId action);

// The rows the page opens with: the three buttons from the Global settings,
// then every stored hot-key record in load order. Store failures pass.
std::vector<ShortcutRow> LoadShortcutRows();

// The page's controls as the logic sees them.
class IShortcutsView {
 public:
  virtual ~IShortcutsView() = default;
  virtual int RowCount() = 0;
  // The row's "Operation/Hot key" text and its item data.
  virtual std::string OperationText(int row) = 0;
  virtual std::uint32_t RowData(int row) = 0;
  // Replaces the row's texts, images and data; row == RowCount() appends.
  virtual void SetRow(int row, const ShortcutRow& content) = 0;
  virtual void DeleteRow(int row) = 0;
  // The row that is selected and focused, or -1.
  virtual int SelectedRow() = 0;
  // Makes the row the selected and focused one.
  virtual void SelectRow(int row) = 0;

  // "Action:": the item data of the chosen entry; none when nothing is chosen.
  virtual std::optional<ActionId> ChosenAction() = 0;
  // Selects the first entry whose data is `action`; leaves it otherwise.
  virtual void SelectAction(ActionId action) = 0;
  // "Mouse operation:": the selected index (the click kind) or -1.
  virtual std::int32_t MouseOperation() = 0;
  virtual void SelectMouseOperation(std::int32_t kind) = 0;
  // "Key combination:": virtual-key code and HotKeyModifierFlags.
  virtual void Combination(std::uint16_t& code, std::uint16_t& modifier) = 0;
  virtual void SetCombination(std::uint16_t code, std::uint16_t modifier) = 0;
  virtual void EnableDelete(bool enable) = 0;

  // A message box of the page with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
};

// The page's handlers. `mainWindow` is the window the hot keys are
// registered for. Store failures leave the handlers; the rows may then show
// a partial change.
class ShortcutsPageLogic {
 public:
  ShortcutsPageLogic(IShortcutsView& view, platform::WindowHandle mainWindow)
      : view_(view), mainWindow_(mainWindow) {}

  // Fills the rows (LoadShortcutRows) and shows row 0 in the editors.
  void Initialize();
  // The list selected `row`: the editors show what it holds.
  void OnRowSelected(int row);
  void OnModify();
  void OnAdd();
  void OnDelete();

 private:
  // The name the row's text gives a record.
  std::string RowName(int row);
  // The hot-key row (from row 3 on) with that name, other than `except`; -1.
  int FindHotKeyRow(const std::string& name, int except = -1);
  void ModifyMouseRow(int row, ActionId action);
  void ModifyHotKeyRow(int row, ActionId action);
  void Register(const std::string& name, std::uint16_t code, std::uint16_t modifier);

  IShortcutsView& view_;
  platform::WindowHandle mainWindow_;
};

}  // namespace Vesperon
