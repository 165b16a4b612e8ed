// The simulation program worked from outside, as a user would: the start in
// the tray, a countdown that fires with a taskbar that takes no icon and past
// a hung window, each kind's editor, the keys and the tray's Exit. (A fired
// occurrence stays done across restarts and regional formats: the core's
// SchedulerEngineTest.LastEventAtStartUp and DateTimeTest.StoredFormIsTheSameUnderAnyFormats.)
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>
#include <ddeml.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <mutex>
#include <thread>

namespace {

using namespace e2e;

constexpr int kShowWindow = 170, kExecuteNow = 1046, kProperties = 1039;
constexpr int kLabelLower = 1003, kDateField = 1038, kLabelUpper = 1043, kProgress = 1047;

bool TrayIconPresent(HWND main, UINT id) {
  // Only an icon that exists can be modified (here: in nothing).
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = main;
  data.uID = id;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// The program announces itself by its DDE service name: a conversation with
// it can be opened.
bool DdeServiceAnswers(const char* service) {
  DWORD instance = 0;
  auto callback = [](UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return HDDEDATA{}; };
  if (DdeInitializeA(&instance, callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  HSZ name = DdeCreateStringHandleA(instance, service, CP_WINANSI);
  HCONV conversation = DdeConnect(instance, name, name, nullptr);
  if (conversation) DdeDisconnect(conversation);
  DdeFreeStringHandle(instance, name);
  DdeUninitialize(instance);
  return conversation != nullptr;
}

// A hidden top-level window of this process, on a thread of its own. As
// "Shell_TrayWnd" it is a taskbar that takes no icon: the shell hands it each
// request as WM_COPYDATA and it answers FALSE. With `hang` its thread takes
// no messages until the object goes, as a hung program's does.
class ForeignWindow {
 public:
  ForeignWindow(const char* className, bool hang) {
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, className, hang, ready] {
      WNDCLASSA type{};
      type.lpfnWndProc = &Procedure;
      type.hInstance = GetModuleHandleA(nullptr);
      type.lpszClassName = className;
      RegisterClassA(&type);
      window_ = CreateWindowExA(WS_EX_TOPMOST, className, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, type.hInstance, this);
      SetEvent(ready);
      if (hang) WaitForSingleObject(release_, INFINITE);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
      UnregisterClassA(className, type.hInstance);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
  }
  ~ForeignWindow() {
    SetEvent(release_);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(release_);
  }
  HWND Handle() const { return window_; }
  // The shell requests (NIM_ADD, NIM_MODIFY, ...) that reached the window.
  std::vector<DWORD> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTA*>(l);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ForeignWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (msg == WM_COPYDATA && self) {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->requests_.push_back(static_cast<DWORD>(reinterpret_cast<COPYDATASTRUCT*>(l)->dwData));
      return FALSE;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, msg, w, l);
  }

  HANDLE release_ = nullptr;
  HWND window_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<DWORD> requests_;
};

// Whether the process has a library of that file name loaded; true when its
// list cannot be read, so that the absence of one is never assumed.
bool HasLibrary(DWORD processId, const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  MODULEENTRY32 module{};
  module.dwSize = sizeof module;
  bool found = false;
  for (BOOL more = Module32First(snapshot, &module); more && !found;
       more = Module32Next(snapshot, &module)) {
    found = lstrcmpiA(module.szModule, name) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

// Alt and a letter, as the dialog manager of the program's loop meets it.
void PostAltKey(HWND control, char letter) {
  PostMessageA(control, WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | (1 << 29));
}

// True once the focus of the window's thread is in the control.
bool FocusComesTo(HWND control) {
  return WaitFor([&] {
    HWND focus = FocusOf(control);
    return focus == control || IsChild(control, focus);
  }, 3000);
}

class MainWindowE2e : public SimTest {};

// The first start, over values anything may have left behind: of the wrong
// type, empty or oversized. It comes up (an error box would hold its
// start), repairs what it reads, leaves alone what it does not and writes
// the defaults of what is missing.
TEST_F(MainWindowE2e, FirstStartStaysInTheTrayAndWritesDefaults) {
  registry::DeleteAll();
  const std::string mainForm = "Profiles\\Default\\MainForm";
  using namespace registry;
  const Bytes huge(100000, 0xAB);
  const struct Row {
    std::string key, name;
    registry::Value value;
    bool repaired;
  } rows[] = {
      // What start-up reads: numbers not of four bytes come back as 0.
      {mainForm, "Trigger", {REG_DWORD, {}}, true},
      {mainForm, "TriggerDate", {REG_BINARY, huge}, true},
      {mainForm, "TriggerActive", TextValue("yes please"), true},
      {"Global\\xzCute\\Ctrl + F11", "Modifier", {REG_BINARY, huge}, true},
      // Four bytes read as a number whatever their type; texts are read as
      // they are: neither is a repair.
      {mainForm, "TriggerTime", TextValue("abc"), false},
      {"Global\\xzCute\\Ctrl + F11", "Code", DwordValue(0x7A), false},
      {"Global\\xzCute\\Ctrl + F11", "Action", DwordValue(9), false},
      // What nothing reads at start-up stays exactly as it was.
      {"Global\\xzCute", "LBAction", TextValue("garbage!"), false},
  };
  for (const Row& r : rows) ASSERT_TRUE(Write(HKEY_CURRENT_USER, Under(r.key), r.name, r.value)) << r.name;
  // A hot-key record whose action is no number is no record: it goes.
  registry::SetDword("Global\\xzCute\\Shift + F10", "Code", 0x79);
  registry::SetString("Global\\xzCute\\Shift + F10", "Action", "garbage!");

  SimProcess sim;
  HWND main = sim.MainWindow();
  ASSERT_NE(main, nullptr);
  for (const Row& r : rows) {
    EXPECT_EQ(registry::GetRaw(r.key, r.name), r.repaired ? DwordValue(0) : r.value) << r.name;
  }
  EXPECT_FALSE(registry::KeyExists("Global\\xzCute\\Shift + F10"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  // Hidden for good: the dialog manager's first show does not bring it back.
  EXPECT_FALSE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 1000));
  EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(main, 104); }, 3000));
  EXPECT_FALSE(TrayIconPresent(main, 105));
  // The common dialogs and the date conversions wait for their first use.
  EXPECT_TRUE(HasLibrary(sim.Id(), "shell32.dll"));
  EXPECT_FALSE(HasLibrary(sim.Id(), "comdlg32.dll"));
  EXPECT_FALSE(HasLibrary(sim.Id(), "oleaut32.dll"));
  EXPECT_TRUE(DdeServiceAnswers("Vesperon.SystemEventListner1"));
  EXPECT_FALSE(DdeServiceAnswers("Vesperon.NoSuchService"));

  EXPECT_EQ(registry::Dword("Global\\TriggerStartup", "Minimize"), 1u);
  EXPECT_EQ(registry::Dword("Global\\TriggerStartup", "PresTrgrAct"), 1u);
  EXPECT_EQ(registry::String("Profiles", "DefaultList"), "Default");

  EXPECT_EQ(sim.Text(kCountdown), "Timer is inactive");
  EXPECT_FALSE(sim.IsChecked(kActivate));
  // The tray menu's " Show window" brings it back.
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(170, 0), 0);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE && !IsIconic(main); }, 3000));
  EXPECT_TRUE(sim.Quit());
  EXPECT_TRUE(sim.JournalLines().empty());
}

TEST_F(MainWindowE2e, CountdownRunsItsActionWhenTheTaskbarTakesNoIcon) {
  ForeignWindow taskbar("Shell_TrayWnd", false);
  {
    // The shell now asks this window first, and it refuses.
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = taskbar.Handle();
    probe.uID = 1;
    ASSERT_FALSE(Shell_NotifyIconA(NIM_ADD, &probe));
    ASSERT_EQ(taskbar.Requests(), std::vector<DWORD>{NIM_ADD});
  }
  SimProcess sim;
  ASSERT_NE(sim.Shown(), nullptr);
  ASSERT_TRUE(sim.ArmCountdown(2, "Reminder"));
  sim.Click(kActivate);
  EXPECT_TRUE(sim.IsChecked(kActivate));

  // The balloons had nowhere to go; the reminder still comes.
  HWND window = sim.WaitForBox("Reminder");
  EXPECT_NE(window, nullptr);
  EXPECT_EQ(sim.JournalLines(), std::vector<std::string>{"Reminder"});
  if (window) CloseDialog(window, IDOK);
  // The fired countdown is over: the trigger's controls are back.
  EXPECT_TRUE(WaitFor([&] { return !sim.IsChecked(kActivate) && IsWindowEnabled(sim.Item(kTriggerList)); }, 3000));
  EXPECT_TRUE(sim.Quit());
  // The icon it never got was neither changed nor given balloons (NIM_MODIFY).
  for (DWORD request : taskbar.Requests()) EXPECT_NE(request, static_cast<DWORD>(NIM_MODIFY));
}

TEST_F(MainWindowE2e, MonitorBroadcastPassesAHungWindowAndLaterCountdownsStillFire) {
  ForeignWindow hung("VesperonE2eHungWindow", true);
  registry::SetDword("Global\\TriggerStartup", "AutoReactTrgr", 1);  // the countdown starts over
  SetEnvironmentVariableA("VESPERON_SIM_MONITOR_BROADCAST", "1");
  SimProcess sim;
  SetEnvironmentVariableA("VESPERON_SIM_MONITOR_BROADCAST", nullptr);
  ASSERT_NE(sim.Shown(), nullptr);
  ASSERT_TRUE(sim.ArmCountdown(2, "Turn off monitor"));
  sim.Click(kActivate);
  // Each broadcast returns past the hung window, so the next fire comes.
  EXPECT_TRUE(WaitFor([&] { return sim.JournalLines().size() >= 2; }, 15000))
      << sim.JournalLines().size();
}

// The editor of each trigger kind, and an action run at once.
TEST_F(MainWindowE2e, EachChosenKindShowsItsEditor) {
  SimProcess sim;
  // A control counts as shown only once its window is.
  ASSERT_NE(sim.Shown(), nullptr);
  auto shown = [&](int id) { return IsWindowVisible(sim.Item(id)) != FALSE; };

  constexpr int kSpin = 1080, kWeekday = 1042, kProcess = 1116;
  const struct Row {
    int kind;
    const char* upper;
    const char* lower;
    std::vector<int> shown;
  } rows[] = {
      {0, "&Date:", "T&ime:", {kDateField, kTimeField}},
      {1, "Da&ys:", "Hours/&Mins/S", {kTimeField, kNumberField, kSpin}},
      {2, "", "T&ime:", {kTimeField}},
      {3, "Day of &week:", "T&ime:", {kTimeField, kWeekday}},
      {4, "Day of mo&nth:", "T&ime:", {kTimeField, kNumberField, kSpin}},
      {5, "", "", {}},
      {6, "Pro&cess:", "", {kProcess}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    sim.SelectComboItem(kTriggerList, r.kind);
    EXPECT_EQ(sim.Text(kLabelUpper), r.upper);
    EXPECT_EQ(sim.Text(kLabelLower), r.lower);
    std::vector<int> shownFields;
    for (int id : {kDateField, kTimeField, kNumberField, kSpin, kWeekday, kProcess}) {
      if (shown(id)) shownFields.push_back(id);
    }
    EXPECT_EQ(shownFields, r.shown);
  }

  // Choosing the countdown sets half an hour, every time it is chosen.
  sim.SelectComboItem(kTriggerList, 1);
  sim.SetPickerTime(kTimeField, TodayAt(3, 0, 0));
  sim.SelectComboItem(kTriggerList, 1);
  SYSTEMTIME time{};
  ASSERT_TRUE(sim.GetPickerTime(kTimeField, time));
  EXPECT_EQ(time.wHour * 3600 + time.wMinute * 60 + time.wSecond, 30 * 60);

  // The weekly list: the seven days, today's selected.
  sim.SelectComboItem(kTriggerList, 3);
  EXPECT_EQ(SimProcess::Send(sim.Item(1042), CB_GETCOUNT), 7);
  EXPECT_EQ(SimProcess::Send(sim.Item(1042), CB_GETCURSEL), TodayAt(0, 0, 0).wDayOfWeek);

  // The process field: typed text goes when the kind is chosen, the list
  // holds the running processes (this driver among them).
  sim.SetText(1116, "typed.exe");
  sim.SelectComboItem(kTriggerList, 6);
  EXPECT_EQ(sim.Text(1116), "");
  EXPECT_GT(SimProcess::Send(sim.Item(1116), CB_GETCOUNT), 0);

  // Wake on LAN run now goes up to its datagram, which is journaled, not sent.
  registry::SetDword("Profiles\\Default\\WakeOnLAN", "IPAddr", 0x7F000001);
  registry::SetDword("Profiles\\Default\\WakeOnLAN", "Subnet", 0xFFFFFFFF);
  ASSERT_TRUE(sim.ChooseAction("Wake on LAN"));
  sim.Click(kExecuteNow);
  ASSERT_TRUE(WaitFor([&] { return sim.JournalLines().size() >= 2; }, 5000));
  EXPECT_EQ(sim.JournalLines(), (std::vector<std::string>{"WakeOnLan", "SendDatagram 127.0.0.1:7 126"}));
}

// The question a click on Activate brings: its text, and whether No is the
// default button; it is answered with `answer`.
std::string AnswerQuestion(SimProcess& sim, int answer, bool& noIsDefault) {
  HWND box = sim.WaitForBox("Vesperon", 5000);
  if (!box) return "";
  const std::string text = sim.Text(GetDlgItem(box, 0xFFFF));
  const auto kindOf = [&](int button) { return GetWindowLongA(GetDlgItem(box, button), GWL_STYLE) & BS_TYPEMASK; };
  noIsDefault = kindOf(IDNO) == BS_DEFPUSHBUTTON && kindOf(IDYES) == BS_PUSHBUTTON;
  CloseDialog(box, answer);
  return text;
}

TEST_F(MainWindowE2e, EventTriggerThatWouldFireAtOnceIsRefusedOrAskedAbout) {
  SimProcess sim;
  ASSERT_NE(sim.Shown(), nullptr);
  sim.SelectComboItem(kActionList, 0);  // "Turn off"
  bool noIsDefault = false;

  // A name the system cannot store is refused, not stored with "?".
  sim.SelectComboItem(kTriggerList, 6);
  TypeText(sim.Item(1116), std::wstring(L"\u0422\u0435\u0441\u0442.exe"));
  sim.PostClick(kActivate);
  EXPECT_EQ(sim.TakeMessageBox(), "This text contains characters that cannot be stored on this system.");
  EXPECT_FALSE(sim.IsChecked(kActivate));

  // No defragmenter runs: asked, No the default (each kind's question: the
  // core's SchedulerEngineTest). Once one runs, the trigger waits for it.
  sim.SelectComboItem(kTriggerList, 5);
  sim.PostClick(kActivate);
  EXPECT_EQ(AnswerQuestion(sim, IDNO, noIsDefault),
            "No disk defragmenter is running. The action would run at once. Activate anyway?");
  EXPECT_TRUE(noIsDefault);
  EXPECT_FALSE(WaitFor([&] { return sim.IsChecked(kActivate) || !sim.JournalLines().empty(); }, 2500));
  EXPECT_EQ(registry::Dword("Profiles\\Default\\MainForm", "TriggerActive"), 0u);

  HWND optimize = CreateWindowExA(0, "STATIC", "Optimize Drives", WS_OVERLAPPED, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(optimize, nullptr);
  sim.PostClick(kActivate);
  EXPECT_TRUE(WaitFor([&] { return sim.IsChecked(kActivate); }, 3000));
  EXPECT_EQ(sim.WaitForBox("Vesperon", 0), nullptr);
  EXPECT_FALSE(WaitFor([&] { return !sim.JournalLines().empty(); }, 2500));
  DestroyWindow(optimize);
  EXPECT_TRUE(WaitFor([&] { return !sim.JournalLines().empty(); }, 5000));

  // No process of that name runs: asked too, and answered Yes the action
  // runs at the first poll.
  sim.SelectComboItem(kTriggerList, 6);
  sim.SetText(1116, "nosuch-e2e.exe");
  sim.PostClick(kActivate);
  const std::string question = AnswerQuestion(sim, IDYES, noIsDefault);
  EXPECT_EQ(question.rfind("No running process matches \"nosuch-e2e.exe\".", 0), 0u) << question;
  EXPECT_TRUE(WaitFor([&] { return sim.JournalLines().size() == 2; }, 5000));
  EXPECT_EQ(sim.JournalLines(), (std::vector<std::string>{"ExitWindows 8", "ExitWindows 8"}));
}

// Enter never ends the program; Escape and the close box hide it to the
// tray, and the countdown runs on the window that comes back.
TEST_F(MainWindowE2e, EscapeHidesToTheTrayAndEnterNeverEndsTheProgram) {
  SimProcess sim;
  HWND main = sim.Shown();
  ASSERT_NE(main, nullptr);
  auto hidden = [&] { return IsWindow(main) && !IsWindowVisible(main); };
  auto showAgain = [&] {
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kShowWindow, 0), 0);
    return WaitFor([&] { return IsWindowVisible(main) != FALSE && !IsIconic(main); }, 3000);
  };
  sim.SelectComboItem(kTriggerList, 1);
  sim.SetText(kNumberField, "7");
  // Enter in the number field, as after typing a number.
  PostKey(sim.Item(kNumberField), VK_RETURN);
  EXPECT_FALSE(WaitFor([&] { return !IsWindow(main) || !IsWindowVisible(main); }, 1500));
  EXPECT_EQ(sim.Text(kNumberField), "7");
  PostKey(sim.Item(kNumberField), VK_ESCAPE);
  EXPECT_TRUE(WaitFor(hidden, 3000));
  EXPECT_TRUE(TrayIconPresent(main, 104));
  ASSERT_TRUE(showAgain());

  // A countdown hidden by the close box counts on when the window comes back.
  ASSERT_TRUE(sim.ArmCountdown(300, "No action"));
  sim.Click(kActivate);
  ASSERT_TRUE(sim.IsChecked(kActivate));
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor(hidden, 3000));
  const std::string atHiding = sim.Text(kCountdown);
  Sleep(2200);
  ASSERT_TRUE(showAgain());
  // At once, and every second after.
  std::string shown;
  EXPECT_TRUE(WaitFor([&] { return (shown = sim.Text(kCountdown)) != atHiding; }, 700)) << atHiding;
  EXPECT_NE(shown.find("Min"), std::string::npos) << shown;
  EXPECT_GT(SendMessageA(sim.Item(kProgress), PBM_GETPOS, 0, 0), 0);
  EXPECT_TRUE(WaitFor([&] { return sim.Text(kCountdown) != shown; }, 2500)) << shown;
}

TEST_F(MainWindowE2e, AccessKeysLeadToTheirFieldsAndPressTheirButtons) {
  SimProcess sim;
  ASSERT_NE(sim.Shown(), nullptr);
  sim.SelectComboItem(kTriggerList, 0);
  ASSERT_TRUE(sim.ChooseAction("Turn off"));
  // A label's key leads to the field after it, a group's to its list.
  HWND from = sim.Item(kActivate);
  PostAltKey(from, 'i');
  EXPECT_TRUE(FocusComesTo(sim.Item(kTimeField)));
  PostAltKey(from, 'o');
  EXPECT_TRUE(FocusComesTo(sim.Item(kActionList)));
  // A button's key presses it; the sheet's pages answer their keys too.
  PostAltKey(from, 'p');
  HWND sheet = sim.WaitForBox("Action Properties");
  ASSERT_NE(sheet, nullptr);
  HWND page = CurrentPage(sheet);
  HWND forced = GetDlgItem(page, 1019);
  ASSERT_NE(forced, nullptr);
  const LRESULT before = SimProcess::Send(forced, BM_GETCHECK);
  PostAltKey(forced, 't');
  EXPECT_TRUE(FocusComesTo(GetDlgItem(page, 1018)));
  PostAltKey(forced, 'f');
  EXPECT_TRUE(WaitFor([&] { return SimProcess::Send(forced, BM_GETCHECK) != before; }, 3000));
  EXPECT_TRUE(CloseDialog(sheet, IDCANCEL));
}

TEST_F(MainWindowE2e, TrayExitClosesTheModalWindowAndEnds) {
  const struct {
    const char* action;
    int button;
    const char* caption;
  } cases[] = {{"Reminder", kExecuteNow, "Reminder"}, {"Wake on LAN", kProperties, "Action Properties"}};
  for (const auto& c : cases) {
    SimProcess sim;
    ASSERT_NE(sim.MainWindow(), nullptr);
    ASSERT_TRUE(sim.ChooseAction(c.action));
    sim.PostClick(c.button);
    HWND modal = sim.WaitForBox(c.caption);
    ASSERT_NE(modal, nullptr) << c.caption;
    EXPECT_TRUE(sim.Quit(5000)) << c.caption << " kept the program";
    EXPECT_FALSE(IsWindow(modal));
  }
}

}  // namespace
