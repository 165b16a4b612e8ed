#include "shell/win32/GlobalOptionsPage2.h"

#include "settings/InternetExplorerVersion.h"
#include "app/TriggerText.h"
#include "app/win32/CoreIds.h"

namespace {

constexpr int kShortcutList = 1020, kMouseOperation = 1022, kActionBox = 1023, kKeyCombination = 1024,
              kAdd = 1027, kDelete = 1028, kModify = 1029;
constexpr int kMouseIcon = 174, kKeyboardIcon = 175;
// Grid lines, sub-item images, full-row select, one-click activation, hot
// underlining.
constexpr DWORD kListStyle = LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT |
                             LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT;

// Label tips need the common controls of browser version 5.0. A version
// that cannot be read counts as older: the list goes without tips, and the
// page still gets its columns and rows.
bool HasLabelTips() {
  try {
    return Vesperon::GetInternetExplorerVersion() >= 5.0;
  } catch (const Vesperon::Exception&) {
    return false;
  }
}

}  // namespace

CGlobalOptionsPage2::CGlobalOptionsPage2() : CPropertyPage(147, "Shortcuts") {}

CGlobalOptionsPage2::~CGlobalOptionsPage2() = default;

LRESULT CGlobalOptionsPage2::List(UINT msg, WPARAM w, LPARAM l) const {
  return SendMessageA(Item(kShortcutList), msg, w, l);
}

bool CGlobalOptionsPage2::OnInit() {
  images_.Create(Vesperon::kActionImageCount + 2, 2);
  for (int resource : win::kActionIconResources) images_.AddIconResource(resource);
  images_.AddIconResource(kMouseIcon);
  images_.AddIconResource(kKeyboardIcon);

  const win::CComboBoxEx actions(Item(kActionBox));
  actions.SetImageList(images_.Handle());
  int index = 0;
  for (Vesperon::ActionId id : Vesperon::GetShortcutActions()) {
    actions.InsertItem(index++, Vesperon::GetActionName(id), Vesperon::GetActionImageIndex(id), id);
  }
  const win::CComboBox kinds(Item(kMouseOperation));
  for (std::int32_t kind = 0; kind < 3; ++kind) kinds.AddString(Vesperon::ClickKindName(kind));

  DWORD style = kListStyle;
  if (HasLabelTips()) style |= LVS_EX_LABELTIP;
  List(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
  // The page owns the images; the list and the action box only show them.
  SetWindowLongPtrA(Item(kShortcutList), GWL_STYLE,
                    GetWindowLongPtrA(Item(kShortcutList), GWL_STYLE) | LVS_SHAREIMAGELISTS);
  List(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Handle()));
  const struct {
    const char* text;
    int width;
  } columns[] = {{Vesperon::kDeviceColumnText, 125},
                 {Vesperon::kOperationColumnText, 105},
                 {Vesperon::kActionColumnText, 143}};
  for (int c = 0; c < 3; ++c) win::InsertListColumn(Item(kShortcutList), c, columns[c].text, columns[c].width);

  // The hot keys belong to the main window, the sheet's owner: it receives
  // their WM_HOTKEY messages.
  HWND mainWindow = GetParent(GetParent(h_));
  Vesperon::IShortcutsView& view = *this;
  logic_ = std::make_unique<Vesperon::ShortcutsPageLogic>(
      view, static_cast<platform::WindowHandle>(reinterpret_cast<std::uintptr_t>(mainWindow)));
  logic_->Initialize();
  return true;
}

bool CGlobalOptionsPage2::OnButtonClicked(int id) {
  if (!logic_) return false;
  switch (id) {
    case kModify:
      logic_->OnModify();
      return true;
    case kAdd:
      logic_->OnAdd();
      return true;
    case kDelete:
      logic_->OnDelete();
      return true;
    default:
      return false;
  }
}

bool CGlobalOptionsPage2::OnNotify(const NMHDR& header, INT_PTR&) {
  if (!logic_ || header.idFrom != kShortcutList || header.code != LVN_ITEMCHANGED) return false;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  // Only a row that becomes selected is shown in the editors: the
  // notifications of the row losing the selection, of texts set by
  // Modify and of rows appended by Add must not overwrite them.
  if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
      !(change.uOldState & LVIS_SELECTED)) {
    logic_->OnRowSelected(change.iItem);
  }
  return true;
}

int CGlobalOptionsPage2::RowCount() { return static_cast<int>(List(LVM_GETITEMCOUNT)); }

std::string CGlobalOptionsPage2::OperationText(int row) {
  char buffer[256] = {};
  LVITEMA item{};
  item.iSubItem = 1;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  List(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::uint32_t CGlobalOptionsPage2::RowData(int row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!List(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return static_cast<std::uint32_t>(item.lParam);
}

void CGlobalOptionsPage2::SetRow(int row, const Vesperon::ShortcutRow& content) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = row;
  item.pszText = const_cast<char*>(content.device.c_str());
  item.iImage = content.deviceImage;
  item.lParam = static_cast<LPARAM>(content.data);
  if (row >= RowCount()) {
    row = static_cast<int>(List(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
  } else {
    List(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  LVITEMA operation{};
  operation.mask = LVIF_TEXT;
  operation.iItem = row;
  operation.iSubItem = 1;
  operation.pszText = const_cast<char*>(content.operation.c_str());
  List(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&operation));
  LVITEMA action{};
  action.mask = LVIF_TEXT | LVIF_IMAGE;
  action.iItem = row;
  action.iSubItem = 2;
  action.pszText = const_cast<char*>(content.action.c_str());
  // -1 would ask the page for the image (I_IMAGECALLBACK).
  action.iImage = content.actionImage < 0 ? I_IMAGENONE : content.actionImage;
  List(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&action));
}

void CGlobalOptionsPage2::DeleteRow(int row) { List(LVM_DELETEITEM, static_cast<WPARAM>(row)); }

int CGlobalOptionsPage2::SelectedRow() {
  const int mark = static_cast<int>(List(LVM_GETSELECTIONMARK));
  if (mark < 0 || mark >= RowCount()) return -1;
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  return static_cast<UINT>(List(LVM_GETITEMSTATE, static_cast<WPARAM>(mark), both)) == both ? mark : -1;
}

void CGlobalOptionsPage2::SelectRow(int row) {
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  List(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  List(LVM_SETSELECTIONMARK, 0, row);
}

std::optional<Vesperon::ActionId> CGlobalOptionsPage2::ChosenAction() {
  const win::CComboBoxEx actions(Item(kActionBox));
  const int selected = actions.GetCurSel();
  if (selected < 0) return std::nullopt;
  return static_cast<Vesperon::ActionId>(actions.GetItemData(selected));
}

void CGlobalOptionsPage2::SelectAction(Vesperon::ActionId action) {
  const win::CComboBoxEx actions(Item(kActionBox));
  const int count = actions.GetCount();
  for (int i = 0; i < count; ++i) {
    if (actions.GetItemData(i) == action) {
      actions.SetCurSel(i);
      return;
    }
  }
}

std::int32_t CGlobalOptionsPage2::MouseOperation() {
  return win::CComboBox(Item(kMouseOperation)).GetCurSel();
}

void CGlobalOptionsPage2::SelectMouseOperation(std::int32_t kind) {
  win::CComboBox(Item(kMouseOperation)).SetCurSel(kind >= 0 && kind <= 2 ? kind : -1);
}

void CGlobalOptionsPage2::Combination(std::uint16_t& code, std::uint16_t& modifier) {
  const auto value = static_cast<WORD>(SendMessageA(Item(kKeyCombination), HKM_GETHOTKEY, 0, 0));
  code = LOBYTE(value);
  modifier = HIBYTE(value);
}

void CGlobalOptionsPage2::SetCombination(std::uint16_t code, std::uint16_t modifier) {
  SendMessageA(Item(kKeyCombination), HKM_SETHOTKEY,
               MAKEWORD(static_cast<BYTE>(code), static_cast<BYTE>(modifier)), 0);
}

void CGlobalOptionsPage2::EnableDelete(bool enable) {
  EnableWindow(Item(kDelete), enable ? TRUE : FALSE);
}

void CGlobalOptionsPage2::ShowMessage(const std::string& text) {
  MessageBoxA(h_, text.c_str(), Vesperon::kMessageCaption, MB_OK);
}
