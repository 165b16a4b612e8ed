#pragma once
// Drives VesperonSim.exe from another process the way a user would: starts
// it with its own action journal, finds its windows, sends the messages that
// clicks and selections send, and reads back texts, the registry and the
// journal. Every wait is a bounded poll.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The main window's controls.
inline constexpr int kActivate = 1000, kCountdown = 1014, kActionList = 1035, kTriggerList = 1036,
                     kTimeField = 1037, kNumberField = 1040;

// The simulation program (VESPERON_SIM_EXE, set by scripts/e2e-run.sh), or
// its copy that Wine runs as `version` ("win98", "win2k", "winxp", "win10").
std::string SimExe(const std::string& version = "");
// A file of that name in the temporary folder (the action journal, an
// exported profile, a copy of the waiter).
std::string JournalPath(const std::string& name);

// Today, at that time of day.
SYSTEMTIME TodayAt(WORD hour, WORD minute, WORD second);

// Polls `done` every 25 ms until it holds or `timeoutMs` passed.
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

// Selects item `index` of a dialog's combo box and tells the dialog, as a
// user's choice does.
void Choose(HWND dialog, int controlId, int index);
// Posts `button` (IDOK, IDCANCEL) to a dialog and waits until it is gone.
bool CloseDialog(HWND dialog, int button);

// What a user does to a control of the program's dialogs: a text put in, a
// click posted (its handler may open a modal window), a key pressed and
// released, characters typed (Unicode, as a keyboard gives them).
void TypeText(HWND control, const std::string& text);
void TypeText(HWND control, const std::wstring& text);  // as a Unicode window takes it
void Press(HWND dialog, int button);
void PostKey(HWND control, WPARAM key);
void PostChars(HWND control, const std::wstring& text);
// The page a property sheet shows.
HWND CurrentPage(HWND sheet);
// Whether a check box or radio button is checked.
bool IsChecked(HWND button);
// The window that has the focus in the thread of `window`, once it has one.
HWND FocusOf(HWND window);
// Where `text` is in `texts`, or -1.
int IndexOf(const std::vector<std::string>& texts, const std::string& text);
// The program's main windows, of every process.
std::vector<HWND> MainWindows();

class SimProcess {
 public:
  // `exe` is the simulation program (or a copy of it named for a Windows
  // version), started with `arguments`; the journal starts empty. A copy
  // that no SimProcess started is ended first: a start must never be handed
  // to it. A program still running at the end is sent the tray's Exit, and
  // must end.
  explicit SimProcess(const std::string& exe = SimExe(),
                      const std::string& journal = JournalPath("vesperon-e2e-journal.txt"),
                      const std::string& arguments = "");
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The main window, once it exists (0 after the time-out).
  HWND MainWindow(int timeoutMs = 10000);
  HWND Item(int id) { return GetDlgItem(MainWindow(), id); }
  // A visible dialog or message box of the program with this caption (and,
  // if given, for which `also` holds), once it shows within `timeoutMs`; or 0.
  HWND WaitForBox(const std::string& caption, int timeoutMs = 10000,
                  const std::function<bool(HWND)>& also = nullptr);
  // The main window once it shows, or 0.
  HWND Shown();
  // Selects the main window's action of that name; false if the list lacks it.
  bool ChooseAction(const std::string& name);
  // A countdown of `seconds` with the action of that name; false if the
  // list lacks it.
  bool ArmCountdown(int seconds, const std::string& action);
  // Action Properties opened with that action selected; the sheet, or 0.
  HWND OpenActionSheet(const std::string& action);
  // Posts a menu command to the main window; the window titled `caption`
  // it opens, or 0 after 10 s.
  HWND OpenByCommand(UINT command, const std::string& caption);
  // Global Options with page `index` in front, once that page shows and has
  // the control `readyId`; the page, or 0.
  HWND OpenGlobalOptions(int index, int readyId);
  // The sheet opened last, page `index` brought to front, and the sheet
  // closed with `button` (IDOK, IDCANCEL).
  HWND Sheet() const { return sheet_; }
  HWND ShowPage(int index);
  bool CloseSheet(int button) { return CloseDialog(sheet_, button); }
  // The text of the next message box with that caption, which is then
  // closed; "" when none came within the time.
  std::string TakeMessageBox(const std::string& caption = "Vesperon", int timeoutMs = 5000,
                             const std::function<bool(HWND)>& also = nullptr);

  // Tray Exit, then waits for the process to end; false if it did not.
  bool Quit(int timeoutMs = 10000);

  // What a user's selection does: select the item, then the notifications.
  void SelectComboItem(int controlId, int index) { Choose(MainWindow(), controlId, index); }
  // SendMessage that gives up after 5 s, so that a modal box the program
  // shows cannot hold the driver.
  static LRESULT Send(HWND window, UINT msg, WPARAM w = 0, LPARAM l = 0);
  void Click(int controlId) { Send(Item(controlId), BM_CLICK); }
  void PostClick(int controlId) { PostMessageA(Item(controlId), BM_CLICK, 0, 0); }
  bool IsChecked(int controlId) { return e2e::IsChecked(Item(controlId)); }
  std::string Text(HWND window);
  std::string Text(int controlId) { return Text(Item(controlId)); }
  void SetText(int controlId, const std::string& text) { TypeText(Item(controlId), text); }
  // Writes a time into a date-time picker of the program.
  void SetPickerTime(int controlId, SYSTEMTIME time);
  bool GetPickerTime(int controlId, SYSTEMTIME& time);
  // The texts of an image combo box's items.
  std::vector<std::string> ComboExTexts(int controlId);
  // A list view's cell text, a column's texts, and a row made selected,
  // focused and the selection mark, as a click does.
  std::string ListText(HWND list, int row, int column = 0);
  std::vector<std::string> ListColumn(HWND list, int column = 0);
  void SelectListRow(HWND list, int row);

  std::vector<std::string> JournalLines() const;
  // Whether the journal has that line within `timeoutMs`.
  bool JournalHas(const std::string& line, int timeoutMs = 3000) const;
  DWORD Id() const { return info_.dwProcessId; }
  // The exit code once the program ended within `timeoutMs`, else -1.
  int ExitCode(int timeoutMs = 10000) const;

 private:
  PROCESS_INFORMATION info_{};
  HWND main_ = nullptr, sheet_ = nullptr;
  std::string journal_;
};

namespace registry {
using Bytes = std::vector<unsigned char>;
// A value as stored: its type and bytes, no fixes to texts.
struct Value {
  DWORD type = REG_NONE;
  Bytes data;
  bool operator==(const Value&) const = default;
};
Value DwordValue(DWORD value);
Value TextValue(const std::string& text);
// The text of a stored string, up to its first zero.
std::string TextOf(const Value& value);
// Any value of the registry, `path` below `root`: nothing when it or its
// key is missing; writing nothing deletes it.
std::optional<Value> Read(HKEY root, const std::string& path, const std::string& name);
bool Write(HKEY root, const std::string& path, const std::string& name, const std::optional<Value>& value);
// Every key and value below `path`, the key itself included: "" and
// "\\sub\\key" for the keys, "\\sub\\key|name" for the values; empty when
// the key is missing.
using Values = std::map<std::string, Value>;
Values Snapshot(HKEY root, const std::string& path);

// The program's settings for the current user.
inline constexpr char kRoot[] = "SOFTWARE\\Brannock\\Vesperon3";
inline std::string Under(const std::string& key) { return std::string(kRoot) + "\\" + key; }
void DeleteAll();
inline bool KeyExists(const std::string& key) { return !Snapshot(HKEY_CURRENT_USER, Under(key)).empty(); }
inline std::optional<Value> GetRaw(const std::string& key, const std::string& name) {
  return Read(HKEY_CURRENT_USER, Under(key), name);
}
inline void SetDword(const std::string& key, const std::string& name, DWORD value) {
  Write(HKEY_CURRENT_USER, Under(key), name, DwordValue(value));
}
inline void SetString(const std::string& key, const std::string& name, const std::string& value) {
  Write(HKEY_CURRENT_USER, Under(key), name, TextValue(value));
}
// The value, or 0xDEADBEEF / "<missing>" when there is none.
DWORD Dword(const std::string& key, const std::string& name);
std::string String(const std::string& key, const std::string& name);
}  // namespace registry

// Values of one key set (or, given nothing, deleted) for the guard's life
// (the screen's DPI programs started from now on find, the user's regional
// formats), put back as they were at the end.
class ScopedValues {
 public:
  using Changes = std::vector<std::pair<std::string, std::optional<registry::Value>>>;
  ScopedValues(HKEY root, std::string path, const Changes& values);
  ~ScopedValues();
  ScopedValues(const ScopedValues&) = delete;
  ScopedValues& operator=(const ScopedValues&) = delete;

 private:
  HKEY root_;
  std::string path_;
  Changes before_;
};

// Every suite starts and ends without the program's settings; the window
// shows at start (a first start stays in the tray).
class SimTest : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  }
  // The program (for cases that start it in a step of their own) ends
  // before its settings go.
  void TearDown() override {
    sim_.reset();
    registry::DeleteAll();
  }
  std::optional<SimProcess> sim_;
};

}  // namespace e2e
