// The Disconnect and Kill Process pages: a list of name patterns edited in
// place, above a list of what runs now from which names can be added.
#include "actions/win32/ActionPropPages.h"

#undef ExitWindows

#include "actions/DialUpConnections.h"
#include "settings/InternetExplorerVersion.h"
#include "actions/PowerActions.h"
#include "actions/ProcessList.h"
#include "actions/SystemActions.h"
#include "resources/action_pages_ids.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "settings/StorableText.h"

namespace {

constexpr char kCaption[] = "Vesperon";
// Shows a refusal once the label edit that caused it has ended.
constexpr UINT kShowRefusal = WM_APP + 1;

std::string ItemText(HWND list, int item) {
  std::string text(256, '\0');
  for (;;) {
    LVITEMA column{};
    column.pszText = text.data();
    column.cchTextMax = static_cast<int>(text.size());
    const auto length = static_cast<std::size_t>(
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&column)));
    if (length + 1 < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int NextSelected(HWND list, int after) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after),
                                       MAKELPARAM(LVNI_SELECTED, 0)));
}

// Label tips need the common controls of browser version 5.0; reading that
// version is no reason for the page to fail, so an unreadable one counts as
// older.
bool HasLabelTips() {
  try {
    return Vesperon::GetInternetExplorerVersion() >= 5.0;
  } catch (const Vesperon::Exception&) {
    return false;
  }
}

}  // namespace

void CPatternListPage::AddRow(HWND list, const std::vector<std::string>& columns) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = ItemCount(list);
  item.pszText = const_cast<char*>(columns.at(0).c_str());
  const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  for (std::size_t sub = 1; sub < columns.size(); ++sub) {
    LVITEMA cell{};
    cell.iSubItem = static_cast<int>(sub);
    cell.pszText = const_cast<char*>(columns[sub].c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  }
}

bool CPatternListPage::OnInit() {
  const std::string stored = DataSystem::ReadText(layout_.setting, Vesperon::ActiveProfileSection());

  HWND patterns = Item(layout_.patterns);
  DWORD style = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
  if (HasLabelTips()) style |= LVS_EX_LABELTIP;
  SendMessageA(patterns, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
  const bool processes = layout_.kind == Vesperon::PatternListKind::kProcess;
  win::InsertListColumn(patterns, 0, processes ? "Process file name" : "Name", 200);
  for (const std::string& pattern : Vesperon::SplitPatternList(stored)) AddRow(patterns, {pattern});

  HWND running = Item(layout_.running);
  SendMessageA(running, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  AddRunningColumns(running);
  Refresh();
  return true;
}

std::vector<std::string> CPatternListPage::Patterns() const {
  HWND list = Item(layout_.patterns);
  std::vector<std::string> rows;
  for (int row = 0, count = ItemCount(list); row < count; ++row) rows.push_back(ItemText(list, row));
  return rows;
}

void CPatternListPage::OnApply(const std::string& section) {
  DataSystem::WriteText(layout_.setting, Vesperon::JoinPatternList(Patterns()),
                        section.empty() ? Vesperon::ActiveProfileSection() : section);
}

bool CPatternListPage::OnButtonClicked(int id) {
  if (id == layout_.refresh) Refresh();
  else if (id == layout_.create) NewRow();
  else if (id == layout_.remove) DeleteRow();
  else if (id == layout_.add) AddRunning();
  else if (id == layout_.test) RunTest(Patterns());
  else return false;
  return true;
}

bool CPatternListPage::OnNotify(const NMHDR& header, INT_PTR& result) {
  if (static_cast<int>(header.idFrom) != layout_.patterns) return false;
  if (header.code == LVN_BEGINLABELEDITA) {
    OnBeginLabelEdit();
    result = FALSE;  // every row may be edited
    return true;
  }
  if (header.code == LVN_ENDLABELEDITA) {
    result = OnEndLabelEdit(reinterpret_cast<const NMLVDISPINFOA&>(header)) ? TRUE : FALSE;
    return true;
  }
  return false;
}

bool CPatternListPage::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  if (msg != kShowRefusal) return CPropertyPage::OnMessage(msg, w, l, result);
  const std::string text = std::move(pendingRefusal_);
  pendingRefusal_.clear();
  if (!text.empty()) MessageBoxA(h_, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
  return true;
}

void CPatternListPage::OnBeginLabelEdit() {
  labelEditCancelled_ = false;
  labelEdit_ = reinterpret_cast<HWND>(SendMessageA(Item(layout_.patterns), LVM_GETEDITCONTROL, 0, 0));
  if (labelEdit_)
    SetWindowSubclass(labelEdit_, &CPatternListPage::LabelEditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CPatternListPage::LabelEditProc(HWND edit, UINT msg, WPARAM w, LPARAM l, UINT_PTR id,
                                                 DWORD_PTR page) {
  auto* self = reinterpret_cast<CPatternListPage*>(page);
  if (msg == WM_KEYDOWN && w == VK_ESCAPE) self->labelEditCancelled_ = true;
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(edit, &CPatternListPage::LabelEditProc, id);
    if (self->labelEdit_ == edit) self->labelEdit_ = nullptr;
  }
  return DefSubclassProc(edit, msg, w, l);
}

bool CPatternListPage::OnEndLabelEdit(const NMLVDISPINFOA& info) {
  std::string text;
  if (info.item.pszText != nullptr) {
    text = info.item.pszText;
  } else if (labelEditCancelled_ || labelEdit_ == nullptr || GetWindowTextLengthA(labelEdit_) != 0) {
    // Cancelled. (Some list implementations report an emptied box the same
    // way as a cancelled one; the box itself tells the two apart.)
    return false;
  }
  // The list hands its edit's text over converted to the code page, with "?"
  // for what it lacks; the edit itself still holds what was typed.
  std::optional<std::string> refusal;
  if (labelEdit_ != nullptr && !Vesperon::StorableText(win::CWindow(labelEdit_).GetUnicodeText()))
    refusal = Vesperon::kUnstorableTextText;
  else
    refusal = Vesperon::PatternNameProblem(text, layout_.kind);
  if (refusal) {
    // Shown after the list has closed its edit box: a box opened while the
    // edit ends would take the focus from an edit that is going away.
    pendingRefusal_ = *refusal;
    PostMessageA(h_, kShowRefusal, 0, 0);
    return false;
  }
  SetModified();
  return true;
}

void CPatternListPage::Refresh() {
  HWND running = Item(layout_.running);
  SendMessageA(running, LVM_DELETEALLITEMS, 0, 0);
  FillRunning(running);
}

void CPatternListPage::NewRow() {
  HWND list = Item(layout_.patterns);
  AddRow(list, {layout_.newRowText});
  const int row = ItemCount(list) - 1;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  SetFocus(list);
  // The list's edit box starts with the whole text selected. Asked for as
  // Unicode, the box is a Unicode window (as for a click on a row), so what
  // the user types there reaches the page unchanged.
  SendMessageA(list, LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
  SetModified();
}

void CPatternListPage::DeleteRow() {
  HWND list = Item(layout_.patterns);
  const int row = NextSelected(list, -1);
  if (row < 0) {
    MessageBoxA(h_, "Please select an item.", kCaption, MB_OK | MB_ICONERROR);
    return;
  }
  SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  SetModified();
}

void CPatternListPage::AddRunning() {
  HWND running = Item(layout_.running);
  HWND patterns = Item(layout_.patterns);
  int row = NextSelected(running, -1);
  if (row < 0) {
    MessageBoxA(h_, "Please select item(s).", kCaption, MB_OK | MB_ICONERROR);
    return;
  }
  for (; row >= 0; row = NextSelected(running, row)) {
    const std::string name = ItemText(running, row);
    // The list's own search, which ignores case.
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    if (SendMessageA(patterns, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)) < 0)
      AddRow(patterns, {name});
  }
  SetModified();
}

// -------------------------------------------------------------- Disconnect

CActionPropPage4::CActionPropPage4()
    : CPatternListPage(177, "Disconnect",
                       {Vesperon::PatternListKind::kConnection, DataSystem::kToDiscon,
                        IDC_DISCONNECT_PATTERNS, IDC_DISCONNECT_RUNNING, IDC_DISCONNECT_ADD,
                        IDC_DISCONNECT_REFRESH, IDC_DISCONNECT_TEST, IDC_DISCONNECT_DELETE,
                        IDC_DISCONNECT_NEW, "[ConnectionName]"}) {}

void CActionPropPage4::AddRunningColumns(HWND list) {
  win::InsertListColumn(list, 0, "Name", 114);
  win::InsertListColumn(list, 1, "Device Type", 75);
  win::InsertListColumn(list, 2, "Device Name", 100);
}

void CActionPropPage4::FillRunning(HWND list) {
  std::vector<Vesperon::ConnectionInfo> connections;
  try {
    Vesperon::ListDialUpConnections(connections);
  } catch (const Vesperon::Exception&) {
    MessageBoxA(h_, "An error occured while trying to retrieve list of active connections.", kCaption,
                MB_OK);
    return;
  }
  for (const Vesperon::ConnectionInfo& connection : connections)
    AddRow(list, {connection.entryName, connection.deviceType, connection.deviceName});
}

void CActionPropPage4::RunTest(const std::vector<std::string>& patterns) {
  Vesperon::SystemActions().HangUpConnectionsMatching(patterns);
}

// ------------------------------------------------------------ Kill Process

CActionPropPage6::CActionPropPage6()
    : CPatternListPage(201, "Kill Process",
                       {Vesperon::PatternListKind::kProcess, DataSystem::kToKill, IDC_KILL_PATTERNS,
                        IDC_KILL_RUNNING, IDC_KILL_ADD, IDC_KILL_REFRESH, IDC_KILL_TEST, IDC_KILL_DELETE,
                        IDC_KILL_NEW, "[ProcessName]"}) {}

void CActionPropPage6::AddRunningColumns(HWND list) { win::InsertListColumn(list, 0, "Process file name", 200); }

void CActionPropPage6::FillRunning(HWND list) {
  for (const std::string& name : Vesperon::RunningProcessNames()) AddRow(list, {name});
}

void CActionPropPage6::RunTest(const std::vector<std::string>& patterns) {
  Vesperon::SystemActions().KillProcessesMatching(patterns);
}
