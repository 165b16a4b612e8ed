#include "shell/ShortcutRows.h"

#include "settings/SettingsRecords.h"
#include "shell/HotKeys.h"

namespace Vesperon {
namespace {

// The click-kind bits of a row whose stored kind is none of the three: the
// bits cannot hold an arbitrary number without spilling into the action.
constexpr std::int32_t kUnknownClickKind = 7;

bool IsClickKind(std::int32_t kind) { return kind >= 0 && kind <= 2; }

ShortcutRow WithAction(ShortcutRow row, ActionId action) {
  row.action = GetActionName(action);
  row.actionImage = GetActionImageIndex(action);
  return row;
}

}  // namespace

const char* MouseDeviceText(int row) {
  switch (row) {
    case 0:
      return "Mouse: Left button";
    case 1:
      return "Mouse: Middle button";
    case 2:
      return "Mouse: Right button";
    default:
      return "";
  }
}

const char* ClickKindName(std::int32_t kind) {
  switch (kind) {
    case 0:
      return "Button pressed";
    case 1:
      return "Button released";
    case 2:
      return "Double click";
    default:
      return "";
  }
}

std::uint32_t EncodeShortcutRowData(const ShortcutRowData& row) {
  const std::uint32_t kind =
      static_cast<std::uint32_t>(IsClickKind(row.clickKind) ? row.clickKind : kUnknownClickKind);
  return (((static_cast<std::uint32_t>(row.action) << 3) | kind) << 1) | (row.device & 1u);
}

ShortcutRowData DecodeShortcutRowData(std::uint32_t data) {
  ShortcutRowData row;
  row.device = (data & 1u) ? kDeviceKeyboard : kDeviceMouse;
  row.clickKind = static_cast<std::int32_t>((data >> 1) & 7u);
  // Arithmetic shift: a negative action (the no-action marker) survives.
  row.action = static_cast<std::int32_t>(data) >> 4;
  return row;
}

ShortcutRow MouseRow(int row, std::int32_t clickKind, ActionId action) {
  ShortcutRow content;
  content.device = MouseDeviceText(row);
  content.deviceImage = kMouseImage;
  content.operation = ClickKindName(clickKind);
  content.data = EncodeShortcutRowData({kDeviceMouse, clickKind, action});
  return WithAction(std::move(content), action);
}

ShortcutRow KeyboardRow(const std::string& name, ActionId action) {
  ShortcutRow content;
  content.device = kKeyboardDeviceText;
  content.deviceImage = kKeyboardImage;
  content.operation = name;
  content.data = EncodeShortcutRowData({kDeviceKeyboard, 0, action});
  return WithAction(std::move(content), action);
}

std::vector<ShortcutRow> LoadShortcutRows() {
  std::vector<ShortcutRow> rows;
  const auto buttons = DataSystem::LoadMouseShortcuts();
  static_assert(std::tuple_size_v<std::remove_const_t<decltype(buttons)>> == kMouseRowCount);
  for (int row = 0; row < kMouseRowCount; ++row) {
    const DataSystem::MouseShortcut& stored = buttons[static_cast<std::size_t>(row)];
    rows.push_back(MouseRow(row, static_cast<std::int32_t>(stored.clickKind),
                            static_cast<ActionId>(stored.action)));
  }
  std::vector<HotKeys::HotKeyRecord> records;
  HotKeys::LoadHotKeyRecords(records);
  // The record's own name, not a text composed again from its code: the
  // name is what Modify and Delete address the stored record and the
  // registration by, and a record made under another keyboard layout would
  // otherwise be listed under a name nothing can find.
  for (const HotKeys::HotKeyRecord& record : records) rows.push_back(KeyboardRow(record.Name, record.Action));
  return rows;
}

void ShortcutsPageLogic::Initialize() {
  const std::vector<ShortcutRow> rows = LoadShortcutRows();
  for (const ShortcutRow& row : rows) view_.SetRow(view_.RowCount(), row);
  view_.SelectRow(0);
  OnRowSelected(0);
}

std::string ShortcutsPageLogic::RowName(int row) {
  std::string name = view_.OperationText(row);
  if (name.size() > kLongestRowName) name.resize(kLongestRowName);
  return name;
}

int ShortcutsPageLogic::FindHotKeyRow(const std::string& name, int except) {
  const int count = view_.RowCount();
  for (int row = kMouseRowCount; row < count; ++row) {
    if (row != except && view_.OperationText(row) == name) return row;
  }
  return -1;
}

void ShortcutsPageLogic::OnRowSelected(int row) {
  if (row < 0 || row >= view_.RowCount()) return;
  const ShortcutRowData data = DecodeShortcutRowData(view_.RowData(row));
  view_.SelectAction(data.action);
  if (data.device == kDeviceMouse) {
    view_.EnableDelete(false);
    view_.SelectMouseOperation(data.clickKind);
    return;
  }
  view_.EnableDelete(true);
  HotKeys::HotKeyRecord record;
  record.Name = RowName(row);
  HotKeys::ReadHotKeyRecord(record);
  view_.SetCombination(record.Code, record.Modifier);
}

void ShortcutsPageLogic::OnModify() {
  const int row = view_.SelectedRow();
  if (row < 0) {
    view_.ShowMessage(kSelectShortcutText);
    return;
  }
  const std::optional<ActionId> action = view_.ChosenAction();
  if (!action) {
    view_.ShowMessage(kSpecifyActionText);
    return;
  }
  if (row < kMouseRowCount) {
    ModifyMouseRow(row, *action);
  } else {
    ModifyHotKeyRow(row, *action);
  }
}

void ShortcutsPageLogic::ModifyMouseRow(int row, ActionId action) {
  const std::int32_t kind = view_.MouseOperation();
  if (!IsClickKind(kind)) {
    view_.ShowMessage(kSelectMouseOperationText);
    return;
  }
  // Stored first: a store failure leaves the row as it was.
  DataSystem::MouseShortcut{static_cast<std::uint32_t>(kind), static_cast<std::uint32_t>(action)}
      .Save(static_cast<DataSystem::MouseButton>(row));
  view_.SetRow(row, MouseRow(row, kind, action));
}

void ShortcutsPageLogic::ModifyHotKeyRow(int row, ActionId action) {
  std::uint16_t code = 0, modifier = 0;
  view_.Combination(code, modifier);
  const std::string name = HotKeys::HotKeyText(code, modifier);
  if ((code == 0 && modifier == 0) || name.empty()) {
    view_.ShowMessage(kSelectInputHotKeyText);
    return;
  }
  const std::string oldName = RowName(row);
  const bool renamed = name != oldName;
  // Two rows of one name would share one record and one registration:
  // deleting either would leave the other listed with nothing behind it.
  if (renamed && FindHotKeyRow(name, row) >= 0) {
    view_.ShowMessage(HotKeys::kHotKeyExistsText);
    return;
  }
  // The new record is written before the old one goes, so that a store
  // failure cannot lose the binding.
  HotKeys::SaveHotKeyRecords({{code, modifier, name, action}});
  if (renamed) {
    HotKeys::HotKeyRecord old;
    old.Name = oldName;
    HotKeys::DeleteHotKeyRecord(old);
  }
  view_.SetRow(row, KeyboardRow(name, action));
  if (!renamed) return;  // the registration stays; the action is read at each press
  if (HotKeys::UnregisterHotKeyByName(mainWindow_, oldName)) {
    view_.ShowMessage(HotKeys::kFailedToUnregisterHotKeyText);
  }
  Register(name, code, modifier);
}

void ShortcutsPageLogic::OnAdd() {
  const std::optional<ActionId> action = view_.ChosenAction();
  if (!action) {
    view_.ShowMessage(kSpecifyActionText);
    return;
  }
  std::uint16_t code = 0, modifier = 0;
  view_.Combination(code, modifier);
  const std::string name = HotKeys::HotKeyText(code, modifier);
  if ((code == 0 && modifier == 0) || name.empty()) {
    view_.ShowMessage(kSelectInputHotKeyText);
    return;
  }
  if (FindHotKeyRow(name) >= 0) {
    view_.ShowMessage(HotKeys::kHotKeyExistsText);
    return;
  }
  HotKeys::SaveHotKeyRecords({{code, modifier, name, *action}});
  view_.SetRow(view_.RowCount(), KeyboardRow(name, *action));
  // A failed registration keeps the stored record and its row: it is tried
  // again at the next start.
  Register(name, code, modifier);
}

void ShortcutsPageLogic::OnDelete() {
  const int row = view_.SelectedRow();
  if (row < 0) {
    view_.ShowMessage(kSelectHotKeyText);
    return;
  }
  if (row < kMouseRowCount) {
    view_.ShowMessage(kNoMouseDeleteText);
    return;
  }
  HotKeys::HotKeyRecord record;
  record.Name = RowName(row);
  HotKeys::DeleteHotKeyRecord(record);
  view_.DeleteRow(row);
  if (HotKeys::UnregisterHotKeyByName(mainWindow_, record.Name)) {
    view_.ShowMessage(HotKeys::kFailedToUnregisterHotKeyText);
  }
}

void ShortcutsPageLogic::Register(const std::string& name, std::uint16_t code,
                                  std::uint16_t modifier) {
  try {
    HotKeys::RegisterHotKeyRecord(mainWindow_, name, code, modifier);
  } catch (const HotKeys::HotKeyException&) {
    view_.ShowMessage(HotKeys::kFailedToRegisterHotKeyText + name);
  }
}

}  // namespace Vesperon
