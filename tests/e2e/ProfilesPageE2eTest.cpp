// The Profiles page of the global options, worked like a user would: rows
// selected in its list, its buttons pressed, names typed into the name
// dialog and paths into the system's own open and save dialogs. Every step
// is checked against the registry and against what the list shows.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr UINT kGlobalOptionsCommand = 173;
constexpr int kSheetTabs = 0x3020;
constexpr int kList = 1054, kCopy = 1055, kRename = 1056, kDelete = 1057, kSetActive = 1058,
              kExport = 1061, kImport = 1062, kNameEdit = 1002;
constexpr char kPageCaption[] = "Vesperon";

std::string TempDir() {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return dir;
}

// Memory in the program's process for the list view's messages, which
// carry pointers.
class Remote {
 public:
  explicit Remote(DWORD pid) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  }
  ~Remote() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;

  std::string ItemText(HWND list, int item, int column) {
    LVITEMA request{};
    request.iSubItem = column;
    request.pszText = base_ + 1024;
    request.cchTextMax = 260;
    WriteProcessMemory(process_, base_, &request, sizeof request, nullptr);
    const char zero = 0;
    WriteProcessMemory(process_, base_ + 1024, &zero, 1, nullptr);
    SimProcess::Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(base_));
    char text[261] = {};
    ReadProcessMemory(process_, base_ + 1024, text, 260, nullptr);
    return text;
  }
  // What a click on a row does: that row selected and focused, and the mark.
  void Select(HWND list, int item) {
    LVITEMA state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    WriteProcessMemory(process_, base_, &state, sizeof state, nullptr);
    SimProcess::Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(base_));
    SimProcess::Send(list, LVM_SETSELECTIONMARK, 0, item);
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

// A key tree below the program's root: key path -> value name -> type and data.
using Tree = std::map<std::string, std::map<std::string, std::pair<DWORD, std::string>>>;

void Dump(HKEY key, const std::string& path, Tree& tree) {
  auto& values = tree[path];
  char name[300];
  BYTE data[2048];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    values[name] = {type, std::string(reinterpret_cast<char*>(data), dataSize)};
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    Dump(sub, path + "\\" + name, tree);
    RegCloseKey(sub);
  }
}

Tree Profile(const std::string& name) {
  Tree tree;
  HKEY key = nullptr;
  const std::string path = std::string(registry::kRoot) + "\\Profiles\\" + name;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return tree;
  Dump(key, "", tree);
  RegCloseKey(key);
  return tree;
}

void SetString(const std::string& key, const std::string& name, const std::string& text) {
  HKEY h = nullptr;
  const std::string path = std::string(registry::kRoot) + "\\" + key;
  RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr);
  RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(h);
}

std::string Active() {
  std::string name;
  registry::GetString("Profiles", "DefaultList", name);
  return name;
}

// A visible dialog of the process with this caption; the name dialog and
// the message box it shows share their caption, so `withNameEdit` tells
// them apart.
struct DialogQuery {
  DWORD pid;
  std::string caption;
  bool withNameEdit;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM l) {
  auto* q = reinterpret_cast<DialogQuery*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[32] = {}, title[256] = {};
  GetClassNameA(window, cls, sizeof cls);
  GetWindowTextA(window, title, sizeof title);
  if (pid == q->pid && IsWindowVisible(window) && std::string(cls) == "#32770" && q->caption == title &&
      (GetDlgItem(window, kNameEdit) != nullptr) == q->withNameEdit) {
    q->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialog(SimProcess& sim, const std::string& caption, bool withNameEdit) {
  DialogQuery q{sim.Id(), caption, withNameEdit, nullptr};
  WaitFor([&] {
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&q));
    return q.found != nullptr;
  }, 10000);
  return q.found;
}

// Pauses for a screenshot when VESPERON_SHOT_DIR names a folder: announces
// "<name>.ready" there and waits (bounded) for "<name>.done".
void OfferScreenshot(const std::string& name) {
  const char* dir = std::getenv("VESPERON_SHOT_DIR");
  if (!dir) return;
  const std::string base = std::string(dir) + "\\" + name;
  std::ofstream(base + ".ready") << name;
  WaitFor([&] { return GetFileAttributesA((base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
}

class ProfilesPageE2e : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
    registry::SetDword("Profiles\\Default\\MainForm", "Trigger", 1);
    registry::SetDword("Profiles\\Work\\MainForm", "Trigger", 3);
    SetString("Profiles\\Work\\Reminder", "Txt", "Work's reminder");
    registry::SetDword("Profiles\\Work\\SDProp", "Reason", 7);
    SetString("Profiles", "DefaultList", "Work");
    journal_ = TempDir() + "vesperon-e2e-profiles-journal.txt";
  }
  void TearDown() override {
    registry::DeleteAll();
    for (const char* file : {"vesperon-e2e-office.pfl"}) DeleteFileA((TempDir() + file).c_str());
  }

  // Opens the global options on the Profiles page and returns the page.
  HWND OpenPage(SimProcess& sim) {
    PostMessageA(sim.MainWindow(), WM_COMMAND, MAKEWPARAM(kGlobalOptionsCommand, 0), 0);
    WaitFor([&] { return (sheet_ = sim.FindMessageBox("Global Options")) != nullptr; }, 10000);
    if (!sheet_) return nullptr;
    SimProcess::Send(sheet_, PSM_SETCURSEL, 3, 0);
    HWND page = nullptr;
    WaitFor([&] {
      page = reinterpret_cast<HWND>(SimProcess::Send(sheet_, PSM_GETCURRENTPAGEHWND));
      return page && GetDlgItem(page, kList) && IsWindowVisible(page);
    }, 5000);
    return page;
  }

  std::vector<std::string> Rows(Remote& remote, HWND list, int column) {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SimProcess::Send(list, LVM_GETITEMCOUNT));
    for (int i = 0; i < count; ++i) rows.push_back(remote.ItemText(list, i, column));
    return rows;
  }

  int RowOf(Remote& remote, HWND list, const std::string& name) {
    const auto rows = Rows(remote, list, 0);
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i] == name) return static_cast<int>(i);
    return -1;
  }

  // Presses a page button; the handler may open a modal window, so the
  // click is posted.
  static void Press(HWND page, int button) { PostMessageA(GetDlgItem(page, button), BM_CLICK, 0, 0); }

  static HWND WaitForWindow(SimProcess& sim, const std::string& caption) {
    HWND window = nullptr;
    WaitFor([&] { return (window = sim.FindMessageBox(caption)) != nullptr; }, 10000);
    return window;
  }

  // The name dialog: checks its starting text, types `name` and presses OK.
  static std::string AnswerNameDialog(SimProcess& sim, const std::string& caption, const std::string& name) {
    HWND dialog = FindDialog(sim, caption, true);
    if (!dialog) return "<no dialog>";
    const std::string initial = sim.Text(GetDlgItem(dialog, kNameEdit));
    SimProcess::Send(GetDlgItem(dialog, kNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return initial;
  }

  // The system's file dialog: the path typed into its file-name field, OK.
  static bool AnswerFileDialog(SimProcess& sim, const std::string& caption, const std::string& path) {
    HWND dialog = WaitForWindow(sim, caption);
    if (!dialog) {
      ADD_FAILURE() << "no dialog " << caption;
      return false;
    }
    HWND edit = nullptr;
    WaitFor([&] {
      // The file-name field: edit 0x480, the edit of combo box 0x47C, or
      // else the one visible edit of the dialog.
      edit = GetDlgItem(dialog, 0x480);
      if (!edit) {
        if (HWND combo = GetDlgItem(dialog, 0x47C)) edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
      }
      if (!edit) {
        EnumChildWindows(dialog, [](HWND child, LPARAM l) -> BOOL {
          char cls[16] = {};
          GetClassNameA(child, cls, sizeof cls);
          if (std::string(cls) != "Edit" || !IsWindowVisible(child)) return TRUE;
          *reinterpret_cast<HWND*>(l) = child;
          return FALSE;
        }, reinterpret_cast<LPARAM>(&edit));
      }
      return edit != nullptr;
    }, 5000);
    if (!edit) {
      ADD_FAILURE() << "no file-name field in " << caption;
      return false;
    }
    SimProcess::Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    if (WaitFor([&] { return !IsWindow(dialog); }, 10000)) return true;
    // Still open: say what the dialog objected to.
    for (const char* title : {caption.c_str(), "Vesperon"}) {
      if (HWND box = FindDialog(sim, title, false); box && box != dialog) {
        ADD_FAILURE() << caption << " answered: " << TakeMessage(sim, title);
      }
    }
    return false;
  }

  // A message box of the program: its text, after closing it.
  static std::string TakeMessage(SimProcess& sim, const std::string& caption) {
    HWND box = FindDialog(sim, caption, false);
    if (!box) return "<no message>";
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char cls[32] = {};
      GetClassNameA(child, cls, sizeof cls);
      if (std::string(cls) == "Static") {
        const std::string t = sim.Text(child);
        if (!t.empty()) text = t;
      }
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(box); }, 5000);
    return text;
  }

  HWND sheet_ = nullptr;
  std::string journal_;
};

TEST_F(ProfilesPageE2e, EveryButtonWritesTheRegistryAtOnce) {
  SimProcess sim(SimExe(), journal_);
  ASSERT_NE(sim.MainWindow(), nullptr);
  HWND page = OpenPage(sim);
  ASSERT_NE(page, nullptr);
  HWND list = GetDlgItem(page, kList);
  Remote remote(sim.Id());
  EXPECT_EQ(Rows(remote, list, 0), (std::vector<std::string>{"Default", "Work"}));
  EXPECT_EQ(Rows(remote, list, 1), (std::vector<std::string>{"", "Active"}));
  EXPECT_NE(remote.ItemText(list, 1, 2), "");  // last modified
  OfferScreenshot("profiles-page");

  // "Default": may be activated, not renamed or deleted.
  remote.Select(list, 0);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kSetActive)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRename)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kDelete)));
  remote.Select(list, 1);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kSetActive)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kRename)));

  // Copy: the dialog starts with the source's name, which is taken.
  const Tree work = Profile("Work");
  ASSERT_GE(work.size(), 4u);  // the key, MainForm, Reminder, SDProp and what start-up repaired
  Press(page, kCopy);
  ASSERT_NE(FindDialog(sim, "Copy profile as", true), nullptr);
  OfferScreenshot("profile-name-dialog");
  EXPECT_EQ(AnswerNameDialog(sim, "Copy profile as", "Work"), "Work");
  EXPECT_EQ(TakeMessage(sim, "Copy profile as"), "Such profile already exists");
  EXPECT_EQ(AnswerNameDialog(sim, "Copy profile as", "Home"), "Work");
  ASSERT_TRUE(WaitFor([&] { return RowOf(remote, list, "Home") != -1; }, 5000));
  EXPECT_EQ(Rows(remote, list, 0), (std::vector<std::string>{"Default", "Home", "Work"}));
  EXPECT_EQ(Profile("Home"), work);

  // Rename the active profile: the mark moves with it.
  remote.Select(list, RowOf(remote, list, "Work"));
  Press(page, kRename);
  EXPECT_EQ(AnswerNameDialog(sim, "Rename profile", "Office"), "Work");
  ASSERT_TRUE(WaitFor([&] { return RowOf(remote, list, "Office") != -1; }, 5000));
  EXPECT_EQ(Profile("Office"), work);
  EXPECT_TRUE(Profile("Work").empty());
  EXPECT_EQ(Active(), "Office");
  EXPECT_EQ(remote.ItemText(list, RowOf(remote, list, "Office"), 1), "Active");

  // Set Active on "Default".
  remote.Select(list, 0);
  Press(page, kSetActive);
  ASSERT_TRUE(WaitFor([&] { return Active() == "Default"; }, 5000));
  EXPECT_EQ(Rows(remote, list, 1), (std::vector<std::string>{"Active", "", ""}));

  // Export through the save dialog, import through the open dialog.
  const std::string file = TempDir() + "vesperon-e2e-office.pfl";
  DeleteFileA(file.c_str());
  remote.Select(list, RowOf(remote, list, "Office"));
  Press(page, kExport);
  ASSERT_TRUE(AnswerFileDialog(sim, "Save profile file", file));
  ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000));

  Press(page, kImport);
  ASSERT_TRUE(AnswerFileDialog(sim, "Open profile file", file));
  // The file suggests "vesperon-e2e-office"; a name taken in another case
  // passes the dialog but not the registry.
  EXPECT_EQ(AnswerNameDialog(sim, "Import profile", "OFFICE"), "vesperon-e2e-office");
  EXPECT_EQ(TakeMessage(sim, kPageCaption), "Such profile already exists");
  Press(page, kImport);
  ASSERT_TRUE(AnswerFileDialog(sim, "Open profile file", file));
  AnswerNameDialog(sim, "Import profile", "Imported");
  ASSERT_TRUE(WaitFor([&] { return RowOf(remote, list, "Imported") == 0; }, 5000));
  EXPECT_EQ(Profile("Imported"), work);
  EXPECT_EQ(Active(), "Default");

  // Delete a profile that is not active, then the active one.
  remote.Select(list, RowOf(remote, list, "Home"));
  Press(page, kDelete);
  ASSERT_TRUE(WaitFor([&] { return RowOf(remote, list, "Home") == -1; }, 5000));
  EXPECT_TRUE(Profile("Home").empty());
  EXPECT_EQ(Active(), "Default");
  remote.Select(list, RowOf(remote, list, "Office"));
  Press(page, kSetActive);
  ASSERT_TRUE(WaitFor([&] { return Active() == "Office"; }, 5000));
  Press(page, kDelete);
  ASSERT_TRUE(WaitFor([&] { return RowOf(remote, list, "Office") == -1; }, 5000));
  EXPECT_EQ(Active(), "Default");
  EXPECT_EQ(remote.ItemText(list, RowOf(remote, list, "Default"), 1), "Active");
  EXPECT_EQ(Rows(remote, list, 0), (std::vector<std::string>{"Imported", "Default"}));

  // Nothing was waiting for the sheet's OK: Cancel keeps every change.
  PostMessageA(sheet_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet_); }, 5000));
  EXPECT_EQ(Profile("Imported"), work);
  EXPECT_TRUE(sim.Quit());
}

TEST_F(ProfilesPageE2e, NoSelectionIsReportedAndTheListHasTwoColumnsOnWindows98) {
  const std::string exe = SimExe();
  const std::string win98 = exe.substr(0, exe.size() - 4) + "_win98.exe";
  SimProcess sim(win98, journal_);
  ASSERT_NE(sim.MainWindow(), nullptr);
  HWND page = OpenPage(sim);
  ASSERT_NE(page, nullptr);
  HWND list = GetDlgItem(page, kList);
  HWND header = reinterpret_cast<HWND>(SimProcess::Send(list, LVM_GETHEADER));
  EXPECT_EQ(SimProcess::Send(header, HDM_GETITEMCOUNT), 2);
  // Nothing selected: every button that needs a row says so.
  SimProcess::Send(list, LVM_SETSELECTIONMARK, 0, -1);
  for (int button : {kCopy, kExport}) {
    Press(page, button);
    EXPECT_EQ(TakeMessage(sim, kPageCaption), "Please select a profile from the list.") << button;
  }
  PostMessageA(sheet_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet_); }, 5000));
  EXPECT_TRUE(sim.Quit());
}

}  // namespace
