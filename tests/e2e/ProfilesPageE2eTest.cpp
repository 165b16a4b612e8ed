// The Profiles page of the global options, worked like a user would: rows
// selected in its list, its buttons pressed, names typed into the name
// dialog and paths into the system's own open and save dialogs. Every step
// is checked against the registry and against what the list shows. (The
// main window taking up the profile made active, and a rename being no
// switch: the core's SchedulerEngineTest, whose poll takes the switch up
// even without the call the window makes after the sheet closes.)
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

#include <fstream>
#include <iterator>

namespace {

using namespace e2e;

constexpr int kList = 1054, kCopy = 1055, kRename = 1056, kDelete = 1057, kSetActive = 1058,
              kExport = 1061, kImport = 1062, kNameEdit = 1002;

// A profile's keys and values.
registry::Values Profile(const std::string& name) {
  return registry::Snapshot(HKEY_CURRENT_USER, std::string(registry::kRoot) + "\\Profiles\\" + name);
}

std::string Active() { return registry::String("Profiles", "DefaultList"); }

// The name dialog and the message box it shows share their caption; these
// tell them apart.
bool IsNameDialog(HWND window) { return GetDlgItem(window, kNameEdit) != nullptr; }
bool IsMessage(HWND window) { return !IsNameDialog(window); }

class ProfilesPageE2e : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    registry::SetDword("Profiles\\Default\\MainForm", "Trigger", 1);
    registry::SetDword("Profiles\\Work\\MainForm", "Trigger", 3);
    registry::SetString("Profiles\\Work\\Reminder", "Txt", "Work's reminder");
    registry::SetDword("Profiles\\Work\\SDProp", "Reason", 7);
    registry::SetString("Profiles", "DefaultList", "Work");
    DeleteFileA(file_.c_str());
  }
  void TearDown() override {
    DeleteFileA(file_.c_str());
    SimTest::TearDown();
  }

  // The name dialog: its starting text; `name` typed key by key (characters
  // outside the code page arrive only as a Unicode window takes them), OK.
  static std::string AnswerNameDialog(SimProcess& sim, const std::string& caption, const std::wstring& name) {
    HWND dialog = sim.WaitForBox(caption, 10000, IsNameDialog);
    if (!dialog) return "<no dialog>";
    const std::string initial = sim.Text(GetDlgItem(dialog, kNameEdit));
    TypeText(GetDlgItem(dialog, kNameEdit), "");
    PostChars(GetDlgItem(dialog, kNameEdit), name);
    Press(dialog, IDOK);
    return initial;
  }

  // The system's file dialog: the path typed into its file-name field (the
  // one visible edit, in the file-name combo box of either dialog style),
  // then OK; with `replace`, the question whether to replace the file that
  // is there comes next and is answered Yes.
  static bool AnswerFileDialog(SimProcess& sim, const std::string& caption, const std::string& path,
                               bool replace = false) {
    HWND dialog = sim.WaitForBox(caption), edit = nullptr;
    WaitFor([&] {
      if (dialog) EnumChildWindows(dialog, [](HWND child, LPARAM l) -> BOOL {
        char cls[16] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) != "Edit" || !IsWindowVisible(child)) return TRUE;
        *reinterpret_cast<HWND*>(l) = child;
        return FALSE;
      }, reinterpret_cast<LPARAM>(&edit));
      return edit != nullptr;
    }, 5000);
    EXPECT_NE(edit, nullptr) << "no file-name field in " << caption;
    if (!edit) return false;
    TypeText(edit, path);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    HWND question = nullptr;
    if (replace) question = sim.WaitForBox(caption, 5000, [&](HWND box) { return box != dialog; });
    EXPECT_EQ(question != nullptr, replace) << "no question before replacing " << path;
    if (question) PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(dialog); }, 10000);
  }

  const std::string file_ = JournalPath("vesperon-e2e-office.pfl");
};

TEST_F(ProfilesPageE2e, EveryButtonWritesTheRegistryAtOnce) {
  SimProcess sim;
  HWND page = sim.OpenGlobalOptions(3, kList);
  ASSERT_NE(page, nullptr);
  HWND list = GetDlgItem(page, kList);
  const auto row = [&](const std::string& name) { return IndexOf(sim.ListColumn(list), name); };
  EXPECT_EQ(sim.ListColumn(list, 0), (std::vector<std::string>{"Default", "Work"}));
  EXPECT_EQ(sim.ListColumn(list, 1), (std::vector<std::string>{"", "Active"}));
  EXPECT_NE(sim.ListText(list, 1, 2), "");  // last modified

  // "Default": may be activated, not renamed or deleted.
  sim.SelectListRow(list, 0);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kSetActive)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRename)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kDelete)));
  sim.SelectListRow(list, 1);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kSetActive)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kRename)));

  // Copy: the dialog starts with the source's name, which is taken.
  const registry::Values work = Profile("Work");
  ASSERT_GE(work.size(), 7u);  // the key, MainForm, Reminder, SDProp, a value in each and what start-up repaired
  Press(page, kCopy);
  EXPECT_EQ(AnswerNameDialog(sim, "Copy profile as", L"Work"), "Work");
  EXPECT_EQ(sim.TakeMessageBox("Copy profile as", 10000, IsMessage), "Such profile already exists");
  // A Cyrillic name has no place in a Western code page: refused, not "??????".
  AnswerNameDialog(sim, "Copy profile as", L"\u0420\u0430\u0431\u043E\u0442\u0430");
  EXPECT_EQ(sim.TakeMessageBox("Copy profile as", 10000, IsMessage),
            "This text contains characters that cannot be stored on this system.");
  EXPECT_FALSE(registry::KeyExists("Profiles\\??????"));
  // The refused text stays in the dialog to be corrected.
  EXPECT_EQ(AnswerNameDialog(sim, "Copy profile as", L"Home"), "??????");
  ASSERT_TRUE(WaitFor([&] { return row("Home") != -1; }, 5000));
  EXPECT_EQ(sim.ListColumn(list, 0), (std::vector<std::string>{"Default", "Home", "Work"}));
  EXPECT_EQ(Profile("Home"), work);

  // Rename the active profile: the mark moves with it.
  sim.SelectListRow(list, row("Work"));
  Press(page, kRename);
  EXPECT_EQ(AnswerNameDialog(sim, "Rename profile", L"Office"), "Work");
  ASSERT_TRUE(WaitFor([&] { return row("Office") != -1; }, 5000));
  EXPECT_EQ(Active(), "Office");
  EXPECT_EQ(sim.ListText(list, row("Office"), 1), "Active");

  // Set Active on "Default".
  sim.SelectListRow(list, 0);
  Press(page, kSetActive);
  ASSERT_TRUE(WaitFor([&] { return Active() == "Default"; }, 5000));
  EXPECT_EQ(sim.ListColumn(list, 1), (std::vector<std::string>{"Active", "", ""}));

  // Export through the save dialog, import through the open dialog.
  sim.SelectListRow(list, row("Office"));
  Press(page, kExport);
  { std::ofstream(file_, std::ios::binary) << "an older export"; }
  ASSERT_TRUE(AnswerFileDialog(sim, "Save profile file", file_, true));
  ASSERT_TRUE(WaitFor([&] {
    std::ifstream in(file_, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    return !bytes.empty() && bytes.rfind("an older", 0) != 0;
  }, 15000));  // a loaded machine saves slowly; a finished save ends the wait at once

  Press(page, kImport);
  ASSERT_TRUE(AnswerFileDialog(sim, "Open profile file", file_));
  // The file suggests "vesperon-e2e-office"; a name taken in another case
  // passes the dialog but not the registry.
  EXPECT_EQ(AnswerNameDialog(sim, "Import profile", L"OFFICE"), "vesperon-e2e-office");
  EXPECT_EQ(sim.TakeMessageBox("Vesperon", 10000, IsMessage), "Such profile already exists");
  Press(page, kImport);
  ASSERT_TRUE(AnswerFileDialog(sim, "Open profile file", file_));
  AnswerNameDialog(sim, "Import profile", L"Imported");
  ASSERT_TRUE(WaitFor([&] { return row("Imported") == 0; }, 5000));
  EXPECT_EQ(Active(), "Default");

  // Delete a profile that is not active, then the active one.
  sim.SelectListRow(list, row("Home"));
  Press(page, kDelete);
  ASSERT_TRUE(WaitFor([&] { return row("Home") == -1; }, 5000));
  EXPECT_TRUE(Profile("Home").empty());
  EXPECT_EQ(Active(), "Default");
  sim.SelectListRow(list, row("Office"));
  Press(page, kSetActive);
  ASSERT_TRUE(WaitFor([&] { return Active() == "Office"; }, 5000));
  Press(page, kDelete);
  ASSERT_TRUE(WaitFor([&] { return row("Office") == -1; }, 5000));
  EXPECT_EQ(Active(), "Default");
  EXPECT_EQ(sim.ListText(list, row("Default"), 1), "Active");
  EXPECT_EQ(sim.ListColumn(list, 0), (std::vector<std::string>{"Imported", "Default"}));

  // Nothing was waiting for the sheet's OK: Cancel keeps every change, the
  // whole imported tree among them.
  EXPECT_TRUE(sim.CloseSheet(IDCANCEL));
  EXPECT_EQ(Profile("Imported"), work);
}

}  // namespace
