#include "app/win32/VesperonDlg.h"

#include <shellapi.h>

#include "actions/ActionCatalog.h"
#include "app/MainWindowRules.h"
#include "app/TriggerText.h"
#include "app/win32/AboutDlg.h"
#include "app/win32/CoreIds.h"
#include "app/win32/AppPropertySheet.h"
#include "app/win32/Program.h"
#include "app/win32/SingleInstance.h"
#include "model/Trigger.h"
#include "platform/Services.h"
#include "resources/resource.h"
#include "settings/Appearance.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "settings/StorableText.h"
#include "shell/HotKeys.h"
#include "model/OsVersion.h"
#include "system/Service.h"
#include "system/win32/SystemTweaksDlg.h"

using namespace Vesperon;

namespace {

constexpr char kDdeServiceName[] = "Vesperon.SystemEventListner1";
// Posted to the window to open the last warning outside the engine's call.
constexpr UINT kRunWarningMessage = WM_APP + 1;
constexpr int kTriggerIconFirst = IDI_TRIGGER_FIRST;
const int kMenuIcons[] = {IDI_MENU_EXIT, IDI_MENU_GLOBAL_OPTIONS, IDI_MENU_CONTENTS,
                          IDI_MENU_SYSTEM_TWEAKS, IDI_MENU_TECHNICAL_SUPPORT};

SYSTEMTIME ToSystemTime(const DateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.Year());
  st.wMonth = static_cast<WORD>(t.Month());
  st.wDay = static_cast<WORD>(t.Day());
  st.wDayOfWeek = static_cast<WORD>(t.DayOfWeek() - 1);
  st.wHour = static_cast<WORD>(t.Hour());
  st.wMinute = static_cast<WORD>(t.Minute());
  st.wSecond = static_cast<WORD>(t.Second());
  return st;
}

}  // namespace

CVesperonDlg::CVesperonDlg() : engine_(*this), dispatcher_(*this) {}

INT_PTR CVesperonDlg::Run() { return DoModal(IDD_VESPERON_DIALOG, nullptr); }

bool CVesperonDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  const vesperon_app::RegisteredMessages& messages = vesperon_app::Messages();
  if (msg != 0 && msg == messages.trayIconClick) {
    result = OnTrayIconClick(w, l);
    return true;
  }
  if (msg != 0 && msg == messages.displayTrayMenu) {
    result = OnDisplayTrayMenu(w, l);
    return true;
  }
  if (msg != 0 && msg == messages.taskbarCreated) {
    result = OnTaskbarCreated();
    return true;
  }
#ifdef VESPERON_SIMULATION
  static const UINT describeMenus = RegisterWindowMessageA(vesperon_app::kDescribeMenusMessage);
  if (msg == describeMenus) {
    DescribeMenus();
    return true;
  }
#endif
  switch (msg) {
    case kRunWarningMessage:
      RunWarning();
      return true;
    case kApplyCommandMessage:
      ApplyNextCommand();
      return true;
    case WM_COPYDATA: {
      std::string commandLine;
      if (!CSingleInstance::ReadHandOver(l, commandLine)) return false;
      result = TakeHandOver(commandLine);
      return true;
    }
    case WM_TIMER:
      if (w == kStartHiddenTimer) {
        OnStartHiddenTimer();
      } else {
        // Armed again before the engine runs, which may stop it or change it.
        if (w < 32 && (secondTimers_ & (1u << w)) != 0) {
          SetTimer(h_, w, DelayPastNextSecond(), nullptr);
        }
        Guarded([&] { engine_.OnTimer(static_cast<std::int32_t>(w)); });
      }
      return true;
    case WM_HOTKEY:
      Guarded([&] { result = HotKeys::OnHotKey(dispatcher_, *this, static_cast<std::uintptr_t>(w)); });
      return true;
    case WM_WINDOWPOSCHANGING:
      // The dialog manager shows a modal dialog once its queue first runs
      // empty, which can be after the start-up hide: a window that starts
      // hidden stays hidden until the user asks for it.
      if (keepHidden_) reinterpret_cast<WINDOWPOS*>(l)->flags &= ~SWP_SHOWWINDOW;
      return false;
    case WM_SHOWWINDOW:
      FollowVisibility(w != FALSE);
      return false;
    case WM_WINDOWPOSCHANGED:
      // Restoring a hidden, minimised window sends no WM_SHOWWINDOW; the
      // position change that ends every show and hide does come.
      FollowVisibility(IsWindowVisible(h_) && !IsIconic(h_));
      return false;
    case WM_SIZE:
      if (statusBar_.Handle()) statusBar_.Send(WM_SIZE);
      return false;
    case WM_CLOSE:
      // Closing only hides: the program lives on in the tray.
      HideToTray();
      return true;
    case WM_DESTROY:
      OnDestroy();
      return true;
    default:
      return CModalDialog::OnMessage(msg, w, l, result);
  }
}

bool CVesperonDlg::OnInit() {
  OnCreate();
  OnInitDialog();
  return true;
}

void CVesperonDlg::OnCreate() {
  // The owner-drawn menus look for this property.
  SetPropA(h_, "XPWndProp_MenuXP", reinterpret_cast<HANDLE>(1));
  // The DDE name and the tray icon announce the running program: they come
  // before the image lists, the slowest step here, so that the icon shows
  // at once. Nothing reaches the icon's handler before initialisation ends.
  ddeName_.emplace(kDdeServiceName);
  tray_.emplace(h_, vesperon_app::Messages().trayIconClick);
  // Actions, and trigger kinds followed by the menu icons.
  actionImages_.Create(9, 2);
  for (int resource : win::kActionIconResources) actionImages_.AddIconResource(resource);
  triggerImages_.Create(12, 2);
  for (int k = 0; k < kTriggerKindCount; ++k) triggerImages_.AddIconResource(kTriggerIconFirst + k);
  for (int resource : kMenuIcons) triggerImages_.AddIconResource(resource);
  if (statusBar_.Create(h_, IDC_STATUS_BAR, kTriggerInformationText)) {
    statusBar_.SetMinHeight(10);
    statusBar_.Send(WM_SIZE);
  }
  // Each stored hot key the system refuses is reported and the others go on.
  HotKeys::RegisterStoredHotKeys(reinterpret_cast<WindowHandle>(h_), *this);
  engine_.LoadLastEvent();
}

void CVesperonDlg::OnInitDialog() {
  AttachControls();
  if (ServedAsService()) {
    // The service was stopped, or the system is shutting down: end here,
    // so that the window, its tray icon and hot keys go with the service
    // instead of living on under the system account.
    End(IDCANCEL);
    return;
  }
  // Layered windows exist from Windows 2000 on.
  if (IsOsVersionAtLeast(0, 120)) {
    Guarded([&] { ApplyStoredTranslucency(reinterpret_cast<WindowHandle>(h_)); });
  }
  SetWindowIcons();
  FillActionList();
  FillTriggerList();
  PrepareMenus();
  countdownLabel_.SetText(kTimerInactiveText);
  numberField_.Write(Now().Day());
  engine_.StartClockWatch();
  if (StartsHidden()) {
    keepHidden_ = true;
    ShowWindow(h_, SW_MINIMIZE);
    SetTimer(h_, kStartHiddenTimer, 0, nullptr);
  }
  RestoreStoredState();
  // From here on a later start hands its command to this window.
  CSingleInstance::MarkReady(h_);
  for (std::size_t i = 0; i < commands_.size(); ++i) PostMessageA(h_, kApplyCommandMessage, 0, 0);
#ifdef VESPERON_SIMULATION
  // Tells a test driver in another process that the window is complete.
  SetPropA(h_, vesperon_app::kSimulationReadyProperty, reinterpret_cast<HANDLE>(1));
#endif
}

void CVesperonDlg::AttachControls() {
  triggerList_.Attach(Item(IDC_TRIGGER_LIST));
  actionList_.Attach(Item(IDC_ACTION_LIST));
  weekdayList_.Attach(Item(IDC_WEEKDAY_LIST));
  // Unicode, so that a process name the system cannot store is seen as such.
  processField_.Attach(win::MakeUnicodeControl(h_, IDC_PROCESS_FIELD, L"COMBOBOX"));
  timeField_.Attach(Item(IDC_TIME_FIELD));
  dateField_.Attach(Item(IDC_DATE_FIELD));
  numberField_.Attach(h_, Item(IDC_NUMBER_FIELD), Item(IDC_NUMBER_UPDOWN));
  upperLabel_.Attach(Item(IDC_LABEL_UPPER));
  lowerLabel_.Attach(Item(IDC_LABEL_LOWER));
  countdownLabel_.Attach(Item(IDC_COUNTDOWN));
  activate_.Attach(Item(IDC_ACTIVATE));
  progress_.Attach(Item(IDC_PROGRESS));
}

bool CVesperonDlg::ServedAsService() {
  // Started by the service manager, the program runs as the service until
  // it stops; started by a user, the dispatcher returns at once.
  bool served = false;
  Guarded([&] { served = HandOverToServiceDispatcher(); });
  return served;
}

void CVesperonDlg::SetWindowIcons() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  icon_.Attach(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_VESPERON), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                             LR_DEFAULTCOLOR)));
  const SIZE small = win::SmallIconSize();
  smallIcon_.Attach(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_VESPERON), IMAGE_ICON,
                                                  small.cx, small.cy, LR_DEFAULTCOLOR)));
  SendMessageA(h_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
  SendMessageA(h_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

bool CVesperonDlg::StartsHidden() {
  bool minimize = true;
  try {
    DataSystem::StartWindowSettings stored;
    stored.Load();
    minimize = stored.startMinimized;
  } catch (const Exception& failure) {
    ShowFailure(failure);
  }
  return minimize;
}

void CVesperonDlg::RestoreStoredState() {
  // The stored fields and the editor of their kind (here too, should the
  // fields not load), then what was active when the program ended.
  Guarded([&] { engine_.LoadMainForm(); });
  ShowKindEditor(SelectedTriggerKind(), false);
  Guarded([&] { engine_.RestoreActivation(); });
}

void CVesperonDlg::FillActionList() {
  actionList_.SetImageList(actionImages_.Handle());
  int index = 0;
  for (ActionId id : GetAvailableActions()) {
    actionList_.InsertItem(index++, GetActionName(id), GetActionImageIndex(id), id);
  }
}

void CVesperonDlg::FillTriggerList() {
  triggerList_.SetImageList(triggerImages_.Handle());
  for (int k = 0; k < kTriggerKindCount; ++k) triggerList_.InsertItem(k, TriggerListText(k), k, k);
}

void CVesperonDlg::FillWeekdayList() {
  weekdayList_.ResetContent();
  for (int i = 0; i < 7; ++i) weekdayList_.AddString(WeekdayListText(i));
}

void CVesperonDlg::FillProcessList() {
  processField_.ResetContent();
  for (const std::string& name : ProcessFieldNames(platform::Desktop().RunningProcessNames())) {
    processField_.AddString(name.c_str());
  }
}

void CVesperonDlg::PrepareMenus() {
  // The menu icons follow the trigger kinds' in their list, Exit first.
  trayMenu_.Prepare(actionImages_, triggerImages_, kTriggerKindCount);
  if (!IsOsVersionAtLeast(0, 120)) {
    if (HMENU bar = GetMenu(h_)) {
      DeleteMenu(bar, ID_BOOT_OPTIONS, MF_BYCOMMAND);
      DrawMenuBar(h_);
    }
  }
}

void CVesperonDlg::ShowKindEditor(std::int32_t kind, bool chosenByUser) {
  const KindEditor editor = EditorForKind(kind);
  dateField_.Show(editor.date);
  timeField_.Show(editor.time);
  numberField_.Show(editor.number);
  weekdayList_.Show(editor.weekday);
  processField_.Show(editor.process);
  upperLabel_.SetText(editor.upperLabel);
  lowerLabel_.SetText(editor.lowerLabel);
  if (editor.time) timeField_.SetFormat(editor.countdownFormat ? kCountdownTimeFormat : nullptr);

  switch (static_cast<TriggerKind>(kind)) {
    case TriggerKind::Countdown:
      if (chosenByUser) {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        st.wHour = 0;
        st.wMinute = 30;
        st.wSecond = 0;
        st.wMilliseconds = 0;
        timeField_.SetTime(st);
      }
      numberField_.FitKind(kind);
      break;
    case TriggerKind::Weekly:
      if (chosenByUser) {
        FillWeekdayList();
        weekdayList_.SetCurSel(Now().DayOfWeek() - 1);
      }
      break;
    case TriggerKind::Monthly:
      numberField_.FitKind(kind);
      break;
    case TriggerKind::Process:
      if (chosenByUser) {
        processField_.SetText("");
        FillProcessList();
        processField_.SetText("");
      } else {
        // Refill only the list: the stored text stays in the field.
        const std::string text = processField_.GetText();
        FillProcessList();
        processField_.SetText(text);
      }
      break;
    default:
      break;
  }
}

bool CVesperonDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDC_ACTIVATE:
      if (code == BN_CLICKED) Guarded([&] { engine_.OnActivateClicked(); });
      return true;
    case IDC_EXECUTE_NOW:
      if (code == BN_CLICKED) Guarded([&] { dispatcher_.ExecuteSelectedAction(); });
      return true;
    case IDC_TRIGGER_LIST:
      if (code == CBN_SELENDOK) ShowKindEditor(SelectedTriggerKind(), true);
      return true;
    case IDC_NUMBER_FIELD:
      if (code == EN_CHANGE) numberField_.OnEdited(SelectedTriggerKind());
      return true;
    case IDC_PROCESS_FIELD:
      if (code == CBN_DROPDOWN) {
        processField_.SetText("");
        FillProcessList();
        processField_.SetText("");
      }
      return true;
    case IDC_PROPERTIES:
      if (code == BN_CLICKED) {
        CAppPropertySheet sheet(h_, CAppPropertySheet::kActionPages, SelectedActionItemData());
        sheet.DoModal();
      }
      return true;
    case ID_GLOBAL_OPTIONS: {
      CAppPropertySheet sheet(h_, CAppPropertySheet::kGlobalOptionPages);
      sheet.DoModal();
      // Its Profiles page may have made another profile active.
      Guarded([&] { engine_.FollowActiveProfile(); });
      return true;
    }
    case ID_SYSTEM_TWEAKS:
      CSystemTweaksDlg().DoModal(h_);
      return true;
    case IDC_VESPERON:
    case IDC_PROFILES:
    case ID_HELP_CONTENTS:
      ShowMessage(kNotImplementedText);
      return true;
    case ID_BOOT_OPTIONS:
      ShellExecuteA(h_, nullptr, "msconfig", "-4", nullptr, SW_SHOWNORMAL);
      return true;
    case ID_ABOUT:
      CAboutDlg().DoModal(h_);
      return true;
    case ID_CHECK_UPDATES:
    case ID_TECHNICAL_SUPPORT:
      OpenProductPage();
      return true;
    case ID_TRAY_EXIT:
      ExitProgram();
      return true;
    case IDOK:
      // The dialog manager's answer to Enter: the window has no OK button,
      // and Enter must never end the program. In the number field it
      // settles the typed text as an edit does.
      if (GetFocus() == numberField_.Handle()) numberField_.OnEdited(SelectedTriggerKind());
      return true;
    case IDCANCEL:
      // Escape: like the close box, back to the tray.
      HideToTray();
      return true;
    default:
      // Menu commands come with code 0; control notifications never run an action.
      if (code != 0) return true;
      if (const std::optional<TrayMenuCommand> command = win::TrayMenuCommandOf(id)) {
        Guarded([&] { dispatcher_.OnTrayMenuCommand(*command); });
      }
      return true;
  }
}

bool CVesperonDlg::OnNotify(const NMHDR& header, INT_PTR& result) {
  if (header.idFrom == IDC_NUMBER_UPDOWN && header.code == UDN_DELTAPOS) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    numberField_.OnArrow(SelectedTriggerKind(), change.iDelta);
    result = TRUE;  // the field is ours to write, not the up-down's
    return true;
  }
  return false;
}

void CVesperonDlg::OnStartHiddenTimer() {
  KillTimer(h_, kStartHiddenTimer);
  HideToTray();
}

void CVesperonDlg::HideToTray() {
  Guarded([&] { AnimateShowHide(reinterpret_cast<WindowHandle>(h_), true); });
  ShowWindow(h_, SW_SHOWMINNOACTIVE);
  ShowWindow(h_, SW_HIDE);
}

void CVesperonDlg::FollowVisibility(bool shown) {
  if (shown == displayShown_) return;
  displayShown_ = shown;
  engine_.OnWindowShown(shown);
}

void CVesperonDlg::ExitProgram() {
  // Ending the program under a warning runs nothing.
  engine_.EndWarning();
  // The modal windows open above this one run loops of their own: each is
  // closed, so that the loops unwind and this window's end takes effect.
  CloseModalWindows();
  End(IDOK);
}

void CVesperonDlg::CloseModalWindows() {
  struct Search {
    HWND main;
    std::vector<HWND> found;
  } search{h_, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM l) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(l);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (window != s.main && lstrcmpA(name, "#32770") == 0) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) {
    // A window may name the button that closes it as the user's answer
    // (the reminder counts as read); the others are cancelled.
    const auto button = reinterpret_cast<std::uintptr_t>(GetPropA(window, win::kCloseOnExitProperty));
    const WORD command = button ? static_cast<WORD>(button) : static_cast<WORD>(IDCANCEL);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
  }
}

void CVesperonDlg::OnDestroy() {
  KillTimer(h_, kStartHiddenTimer);
  engine_.EndWarning();
  tray_.reset();
  HotKeys::UnregisterHotKeysAtExit(reinterpret_cast<WindowHandle>(h_), *this);
  ddeName_.reset();
  CSingleInstance::Unmark(h_);
  RemovePropA(h_, "XPWndProp_MenuXP");
#ifdef VESPERON_SIMULATION
  RemovePropA(h_, vesperon_app::kSimulationReadyProperty);
#endif
}

LRESULT CVesperonDlg::OnTrayIconClick(WPARAM w, LPARAM l) {
  const std::optional<MouseMessage> button = win::MouseMessageOf(l);
  if (w == kTrayIconId && button) {
    Guarded([&] { dispatcher_.OnTrayIconMessage(static_cast<std::uintptr_t>(w), *button); });
  }
  return 1;
}

LRESULT CVesperonDlg::OnDisplayTrayMenu(WPARAM, LPARAM l) {
  const TrayMenuPoint point = UnpackTrayMenuPoint(l);
  trayMenu_.Show(h_, point.x, point.y);
  return 0;
}

LRESULT CVesperonDlg::OnTaskbarCreated() {
  // A refusal is ignored: the next "TaskbarCreated" tries again.
  if (tray_) tray_->AddAgain();
  return 0;
}

#ifdef VESPERON_SIMULATION
void CVesperonDlg::DescribeMenus() {
  auto describe = [](const char* name, HMENU menu) {
    std::string line = name;
    for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
      line += (i ? "," : " ") + std::to_string(static_cast<int>(GetMenuItemID(menu, i)));
    }
    vesperon_app::WriteJournalLine(line);
  };
  describe("TrayMenu", trayMenu_.Handle());
  HMENU bar = GetMenu(h_);
  describe("SettingsMenu", bar ? GetSubMenu(bar, 0) : nullptr);
  describe("HelpMenu", bar ? GetSubMenu(bar, 1) : nullptr);
}
#endif

void CVesperonDlg::OpenProductPage() {
  ShellExecuteA(h_, "open", vesperon_app::kProductPage, nullptr, nullptr, SW_SHOWNORMAL);
}

// IEngineWindow

TriggerFields CVesperonDlg::ReadTriggerFields() {
  TriggerFields f;
  f.kind = SelectedTriggerKind();
  SYSTEMTIME date{}, time{};
  dateField_.GetTime(date);
  timeField_.GetTime(time);
  f.year = date.wYear;
  f.month = date.wMonth;
  f.day = date.wDay;
  f.hour = time.wHour;
  f.minute = time.wMinute;
  // A field whose format hides the seconds still holds those of the moment
  // it was filled; the trigger takes only what the user sees.
  char userFormat[80] = {};
  if (!EditorForKind(f.kind).countdownFormat &&
      GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, userFormat, sizeof userFormat) > 0) {
    f.second = VisibleSeconds(userFormat, time.wSecond);
  } else {
    f.second = time.wSecond;
  }
  f.number = numberField_.Read();
  const int weekday = weekdayList_.GetCurSel();
  f.weekdayIndex = weekday < 0 ? 0 : weekday;
  f.processText = processField_.GetText();
  f.processTextStorable = Vesperon::StorableText(processField_.GetUnicodeText()).has_value();
  return f;
}

std::int32_t CVesperonDlg::SelectedTriggerKind() { return triggerList_.GetCurSel(); }

ActionId CVesperonDlg::SelectedActionId() {
  const int index = actionList_.GetCurSel();
  if (index < 0) return -1;
  return static_cast<ActionId>(actionList_.GetItemData(index));
}

void CVesperonDlg::ShowStoredFields(const StoredFields& fields) {
  int actionIndex = -1;
  for (int i = 0, n = actionList_.GetCount(); i < n; ++i) {
    if (actionList_.GetItemData(i) == fields.action) {
      actionIndex = i;
      break;
    }
  }
  actionList_.SetCurSel(actionIndex);
  triggerList_.SetCurSel(fields.kind);
  FillWeekdayList();
  weekdayList_.SetCurSel(fields.weekdayIndex);
  if (fields.dateTime.status == DateTimeStatus::Valid) {
    const SYSTEMTIME st = ToSystemTime(fields.dateTime);
    dateField_.SetTime(st);
    timeField_.SetTime(st);
  }
  processField_.SetText(fields.processText);
  numberField_.Write(fields.number);
  // A profile switch loads fields of any kind into a window that may show
  // another kind's editor.
  ShowKindEditor(SelectedTriggerKind(), false);
}

// A once-a-second timer runs just after each whole second of the clock, and
// is armed again at every tick: a moment is seen as soon as its second
// begins, and the countdown label changes once in every second.
UINT CVesperonDlg::DelayPastNextSecond() {
  platform::PreciseReading now;
  if (!platform::Clock().PreciseNow(now)) return kSecondPeriodMs;
  return DelayPastNextSecondMs(now.wallMs);
}

void CVesperonDlg::StartTimer(std::int32_t id, std::uint32_t periodMs) {
  const std::uint32_t bit = id >= 0 && id < 32 ? 1u << id : 0;
  if (periodMs == kSecondPeriodMs && bit != 0) {
    secondTimers_ |= bit;
    periodMs = DelayPastNextSecond();
  } else {
    secondTimers_ &= ~bit;
  }
  SetTimer(h_, static_cast<UINT_PTR>(id), periodMs, nullptr);
}

void CVesperonDlg::StopTimer(std::int32_t id) {
  if (id >= 0 && id < 32) secondTimers_ &= ~(1u << id);
  KillTimer(h_, static_cast<UINT_PTR>(id));
}

void CVesperonDlg::EnableControl(EngineControl control, bool enable) {
  EnableWindow(Item(win::ControlId(control)), enable ? TRUE : FALSE);
}

void CVesperonDlg::SetActivateChecked(bool checked) { activate_.SetCheck(checked); }

void CVesperonDlg::SetCountdownLabel(const std::string& text) { countdownLabel_.SetText(text); }

void CVesperonDlg::SetProgressRange(std::int32_t maximum) { progress_.SetRange32(0, maximum); }

void CVesperonDlg::SetProgressPosition(std::int32_t position) { progress_.SetPos(position); }

bool CVesperonDlg::StatusBarExists() { return statusBar_.Handle() != nullptr; }

void CVesperonDlg::SetStatusText(const std::string& text) { statusBar_.SetPartText(0, text); }

bool CVesperonDlg::TrayIconExists() { return tray_ && tray_->Shown(); }

void CVesperonDlg::ShowBalloon(const std::string& title, const std::string& text,
                               std::uint32_t timeoutMs, BalloonIcon icon) {
  if (tray_) tray_->ShowBalloon(title, text, timeoutMs, static_cast<std::uint32_t>(icon));
}

void CVesperonDlg::SetTrayIconImage(TrayImage image) {
  if (tray_) tray_->SetImage(win::IconResource(image));
}

void CVesperonDlg::ShowMessageBox(const std::string& text, const std::string& caption,
                                  MessageIcon icon) {
  MessageBoxA(h_, text.c_str(), caption.c_str(), MB_OK | win::MessageBoxIcon(icon));
}

bool CVesperonDlg::AskYesNo(const std::string& text, const std::string& caption) {
  return MessageBoxA(h_, text.c_str(), caption.c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CVesperonDlg::ExecuteSelectedAction() { dispatcher_.ExecuteSelectedAction(); }

void CVesperonDlg::ExecuteAction(ActionId action) { dispatcher_.ExecuteAnnouncedAction(action); }

void CVesperonDlg::ShowWarning(ActionId action, std::int32_t secondsLeft, std::int32_t totalSeconds) {
  warningWanted_ = true;
  warningAction_ = action;
  warningLeft_ = secondsLeft;
  warningTotal_ = totalSeconds;
  if (warning_.IsOpen()) {
    warning_.Update(secondsLeft, totalSeconds);
  } else if (!warningPosted_) {
    warningPosted_ = PostMessageA(h_, kRunWarningMessage, 0, 0) != FALSE;
  }
}

void CVesperonDlg::CloseWarning() {
  warningWanted_ = false;
  warningTakenAway_ = true;
  warning_.Close();
}

void CVesperonDlg::RunWarning() {
  warningPosted_ = false;
  // A warning asked for again while one unwinds is shown by that loop.
  if (warningRunning_) return;
  warningRunning_ = true;
  while (warningWanted_ && !warning_.IsOpen()) {
    warningTakenAway_ = false;
    const std::optional<WarningAnswer> answer = warning_.Run(warningAction_, warningLeft_, warningTotal_);
    if (answer) {
      warningWanted_ = false;
      Guarded([&] { engine_.OnWarningAnswer(*answer); });
    } else if (!warningTakenAway_) {
      break;  // it could not be shown: the engine's count still ends it
    }
  }
  warningRunning_ = false;
}

// IActionHost

ActionId CVesperonDlg::SelectedActionItemData() { return SelectedActionId(); }

void CVesperonDlg::ShowMessage(const std::string& text) {
  MessageBoxA(h_, text.c_str(), kMessageCaption, MB_OK);
}

void CVesperonDlg::ShowWindowRestored() {
  keepHidden_ = false;
  ShowWindow(h_, SW_RESTORE);
}

bool CVesperonDlg::GetCursorPosition(std::int32_t& x, std::int32_t& y) {
  POINT p{};
  if (!GetCursorPos(&p)) return false;
  x = p.x;
  y = p.y;
  return true;
}

void CVesperonDlg::PostTrayMenuMessage(std::uintptr_t wParam, std::intptr_t lParam) {
  PostMessageA(h_, vesperon_app::Messages().displayTrayMenu, wParam, lParam);
}
