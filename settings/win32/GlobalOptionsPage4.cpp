#include "settings/win32/GlobalOptionsPage4.h"

#include "settings/InternetExplorerVersion.h"
#include "app/MainWindowRules.h"
#include "app/TriggerText.h"
#include "settings/Appearance.h"
#include "settings/Profiles.h"
#include "settings/ProfilesPageRules.h"
#include "settings/SettingsStore.h"
#include "settings/win32/SimpleEditDlg.h"
#include "model/OsVersion.h"

namespace {

using DataSystem::kHiveCurrentUser;
using DataSystem::kProfilesSection;
constexpr int kLastModifiedColumn = 2;

const std::vector<Vesperon::FileFilter>& ProfileFileFilter() {
  static const std::vector<Vesperon::FileFilter> filter{{"Profile file *.pfl", "*.pfl"},
                                                        {"All files *.*", "*.*"}};
  return filter;
}

std::vector<std::string> StoredProfiles() {
  std::vector<std::string> names;
  DataSystem::ListSubkeys(kProfilesSection, names, kHiveCurrentUser);
  return names;
}

platform::WindowHandle WindowOf(HWND window) { return reinterpret_cast<platform::WindowHandle>(window); }

}  // namespace

bool CGlobalOptionsPage4::OnInit() {
  ntLine_ = Vesperon::IsOsVersionAtLeast(0, 100);
  try {
    browserVersion_ = Vesperon::GetInternetExplorerVersion();
  } catch (const Vesperon::Exception&) {
    // A browser whose version cannot be read offers none of what 5.0 adds.
    browserVersion_ = 0.0;
  }
  HWND list = List();
  DWORD styles = Vesperon::kProfileListStyles;
  if (browserVersion_ >= 5.0) styles |= Vesperon::kProfileListLabelTip;
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles));

  struct Column {
    const char* heading;
    int ntWidth, ninetyXWidth;
  };
  const Column columns[] = {{"Profile name", 120, 211}, {"Active", 50, 70}, {"Last modified", 111, 0}};
  for (int i = 0; i < (ntLine_ ? 3 : 2); ++i) {
    win::InsertListColumn(list, i, columns[i].heading, ntLine_ ? columns[i].ntWidth : columns[i].ninetyXWidth);
  }

  const std::vector<std::string> profiles = StoredProfiles();
  const std::string active = DataSystem::GetActiveProfileName(kProfilesSection, kHiveCurrentUser);
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    InsertRow(static_cast<int>(i), profiles[i]);
    if (profiles[i] == active) SetItemText(static_cast<int>(i), 1, Vesperon::kActiveMark);
  }
  OnItemChanged(-1);
  LVITEMA state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  SendMessageA(list, LVM_SETSELECTIONMARK, 0, 0);
  if (!profiles.empty()) OnItemChanged(0);
  return true;
}

bool CGlobalOptionsPage4::OnNotify(const NMHDR& header, INT_PTR&) {
  if (header.idFrom != kList || header.code != LVN_ITEMCHANGED) return false;
  OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header).iItem);
  return true;
}

bool CGlobalOptionsPage4::OnButtonClicked(int id) {
  switch (id) {
    case kCopy: OnCopy(); return true;
    case kRename: OnRename(); return true;
    case kDelete: OnDelete(); return true;
    case kSetActive: OnSetActive(); return true;
    case kExport: OnExport(); return true;
    case kImport: OnImport(); return true;
    default: return false;
  }
}

int CGlobalOptionsPage4::GetSelectedProfileIndex() const {
  const int mark = static_cast<int>(SendMessageA(List(), LVM_GETSELECTIONMARK, 0, 0));
  if (mark == -1 ||
      SendMessageA(List(), LVM_GETITEMSTATE, static_cast<WPARAM>(mark), 0xF) != (LVIS_SELECTED | LVIS_FOCUSED)) {
    Message(Vesperon::kSelectProfileText);
    return -1;
  }
  return mark;
}

void CGlobalOptionsPage4::OnItemChanged(int item) {
  const bool hasItem = item >= 0;
  const Vesperon::ProfileButtons buttons = Vesperon::ProfileButtonsFor(
      hasItem, hasItem ? ItemText(item, 0) : std::string(), hasItem ? ItemText(item, 1) : std::string(),
      browserVersion_);
  EnableWindow(Item(kCopy), buttons.copy);
  EnableWindow(Item(kRename), buttons.rename);
  EnableWindow(Item(kDelete), buttons.remove);
  EnableWindow(Item(kSetActive), buttons.setActive);
}

void CGlobalOptionsPage4::OnCopy() {
  const int index = GetSelectedProfileIndex();
  if (index == -1) return;
  const std::string source = ItemText(index, 0);
  std::string name = source;
  if (!AskName("Copy profile as", "Enter name of new profile", name) || name == source) return;
  try {
    DataSystem::CopyProfile(source, name, kHiveCurrentUser);
  } catch (const DataSystem::DataSystemException& refusal) {
    if (!ExplainRefusal(refusal)) throw;
    return;
  }
  InsertRow(index, name);
  OnItemChanged(index + 1);
}

void CGlobalOptionsPage4::OnRename() {
  const int index = GetSelectedProfileIndex();
  if (index == -1) return;
  const std::string old = ItemText(index, 0);
  if (old == DataSystem::kDefaultProfileName) {
    Message(Vesperon::kDefaultNotRenamedText);
    return;
  }
  std::string name = old;
  if (!AskName("Rename profile", "Enter new name", name) || name == old) return;
  try {
    DataSystem::RenameProfile(old, name, kHiveCurrentUser);
  } catch (const DataSystem::DataSystemException& refusal) {
    if (!ExplainRefusal(refusal)) throw;
    return;
  }
  SetItemText(index, 0, name);
  if (ntLine_) {
    SetItemText(index, 2,
                Vesperon::FormatLastModified(DataSystem::GetProfileLastModified(name, kHiveCurrentUser)));
  }
}

void CGlobalOptionsPage4::OnDelete() {
  const int index = GetSelectedProfileIndex();
  if (index == -1) return;
  const std::string name = ItemText(index, 0);
  if (name == DataSystem::kDefaultProfileName) return;  // the button is off for it
  const bool wasActive = ItemText(index, 1) == Vesperon::kActiveMark;
  DataSystem::DeleteProfile(kProfilesSection, name);
  int removed = index;
  if (wasActive) {
    int fallback = FindRow(DataSystem::kDefaultProfileName);
    if (fallback == -1) {
      // "Default" is active now but had no key yet: make it, so that the row
      // the list gains names a profile that exists.
      DataSystem::OpenSettingsKey(
          DataSystem::JoinKeyPath(DataSystem::RootKeyPath,
                                  std::string(kProfilesSection) + "\\" + DataSystem::kDefaultProfileName),
          kHiveCurrentUser, platform::kKeyQueryValue);
      InsertRow(0, DataSystem::kDefaultProfileName);
      fallback = 0;
      ++removed;
    }
    SetItemText(fallback, 1, Vesperon::kActiveMark);
  }
  SendMessageA(List(), LVM_DELETEITEM, static_cast<WPARAM>(removed), 0);
  OnItemChanged(-1);
}

void CGlobalOptionsPage4::OnSetActive() {
  const int index = GetSelectedProfileIndex();
  if (index == -1) return;
  const std::string old = DataSystem::GetActiveProfileName(kProfilesSection, kHiveCurrentUser);
  // A name without a row (its key was never made) has no mark to clear.
  const int oldRow = FindRow(old);
  if (oldRow != -1) SetItemText(oldRow, 1, "");
  SetItemText(index, 1, Vesperon::kActiveMark);
  DataSystem::SetActiveProfileName(kProfilesSection, ItemText(index, 0), kHiveCurrentUser);
  RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  OnItemChanged(index);
}

void CGlobalOptionsPage4::OnExport() {
  const int index = GetSelectedProfileIndex();
  if (index == -1) return;
  const std::string name = ItemText(index, 0);
  std::string path;
  Vesperon::ShowFileDialog(path, false, ProfileFileFilter(), "Save profile file", "PFL", WindowOf(h_), name);
  if (!path.empty()) DataSystem::ExportProfile(path, name, kHiveCurrentUser);
}

void CGlobalOptionsPage4::OnImport() {
  std::string path;
  Vesperon::ShowFileDialog(path, true, ProfileFileFilter(), "Open profile file", "PFL", WindowOf(h_), "");
  if (path.empty()) return;
  std::string name = Vesperon::SuggestedProfileName(path);
  if (!AskName("Import profile", "Enter desired name for imported profile", name)) return;
  try {
    DataSystem::ImportProfile(path, name, kHiveCurrentUser);
  } catch (const DataSystem::DataSystemException& refusal) {
    if (!ExplainRefusal(refusal)) throw;
    return;
  } catch (const DataSystem::RegistryException& failure) {
    // Copied whole but not unmounted: the profile is there and is listed;
    // the failure is still reported.
    if (failure.code == DataSystem::RegistryException::kUnLoadKey) InsertRow(0, name);
    throw;
  }
  InsertRow(0, name);
}

bool CGlobalOptionsPage4::AskName(const char* title, const char* prompt, std::string& text) const {
  CSimpleEditDlg dialog(title, prompt, text, StoredProfiles(), Vesperon::kProfileExistsText);
  if (dialog.DoModal(h_) != IDOK) return false;
  text = dialog.Text;
  return true;
}

bool CGlobalOptionsPage4::ExplainRefusal(const DataSystem::DataSystemException& refusal) const {
  switch (refusal.code) {
    case DataSystem::DataSystemException::kTargetProfileExists:
      // The registry holds the name in another case already.
      Message(Vesperon::kProfileExistsText);
      return true;
    case DataSystem::kUnusableProfileName:
      Message(Vesperon::kEmptyProfileNameText);
      return true;
    default:
      return false;
  }
}

void CGlobalOptionsPage4::Message(const char* text) const {
  MessageBoxA(h_, text, Vesperon::kMessageCaption, MB_OK);
}

std::string CGlobalOptionsPage4::ItemText(int item, int column) const {
  char buffer[260] = {};
  LVITEMA request{};
  request.iSubItem = column;
  request.pszText = buffer;
  request.cchTextMax = sizeof buffer;
  SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
  return buffer;
}

void CGlobalOptionsPage4::SetItemText(int item, int column, const std::string& text) const {
  LVITEMA request{};
  request.iSubItem = column;
  request.pszText = const_cast<char*>(text.c_str());
  SendMessageA(List(), LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
  if (column == kLastModifiedColumn) win::WidenColumnToFit(List(), column, text.c_str());
}

void CGlobalOptionsPage4::InsertRow(int index, const std::string& name) const {
  LVITEMA row{};
  row.mask = LVIF_TEXT;
  row.iItem = index;
  row.pszText = const_cast<char*>(name.c_str());
  const int inserted =
      static_cast<int>(SendMessageA(List(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
  if (inserted == -1) throw Vesperon::Exception();
  if (ntLine_) {
    SetItemText(inserted, 2,
                Vesperon::FormatLastModified(DataSystem::GetProfileLastModified(name, kHiveCurrentUser)));
  }
}

int CGlobalOptionsPage4::FindRow(const std::string& name) const {
  LVFINDINFOA find{};
  find.flags = LVFI_STRING;
  find.psz = name.c_str();
  return static_cast<int>(SendMessageA(List(), LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(&find)));
}
