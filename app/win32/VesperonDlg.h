#pragma once
// The main window: the trigger and action fields, the countdown, the status
// bar and the menu bar. It is the engine's window and the dispatcher's host;
// everything the program does happens in its handlers. The tray icon, its
// menu, the DDE name and the number field's rules are members that own and
// clean up what they create.
#include "app/win32/Program.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "actions/ActionDispatcher.h"
#include "app/CommandLine.h"
#include "app/SchedulerEngine.h"
#include "app/win32/Controls.h"
#include "app/win32/DdeNameService.h"
#include "app/win32/LastWarning.h"
#include "app/win32/Dialog.h"
#include "app/win32/NumberField.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/TrayMenu.h"
#include "platform/win32/Handle.h"

class CVesperonDlg final : public win::CModalDialog,
                           public Vesperon::IEngineWindow,
                           public Vesperon::IActionHost {
 public:
  CVesperonDlg();
  INT_PTR Run();
  // The command of the program's own start, applied once the window is
  // initialised.
  void ApplyOnceReady(const Vesperon::CommandRequest& command) { commands_.push_back(command); }

  // IEngineWindow
  Vesperon::TriggerFields ReadTriggerFields() override;
  std::int32_t SelectedTriggerKind() override;
  Vesperon::ActionId SelectedActionId() override;
  void ShowStoredFields(const Vesperon::StoredFields& fields) override;
  void StartTimer(std::int32_t id, std::uint32_t periodMs) override;
  void StopTimer(std::int32_t id) override;
  void EnableControl(Vesperon::EngineControl control, bool enable) override;
  void SetActivateChecked(bool checked) override;
  void SetCountdownLabel(const std::string& text) override;
  void SetProgressRange(std::int32_t maximum) override;
  void SetProgressPosition(std::int32_t position) override;
  bool StatusBarExists() override;
  void SetStatusText(const std::string& text) override;
  bool TrayIconExists() override;
  void ShowBalloon(const std::string& title, const std::string& text, std::uint32_t timeoutMs,
                   Vesperon::BalloonIcon icon) override;
  void SetTrayIconImage(Vesperon::TrayImage image) override;
  void ShowMessageBox(const std::string& text, const std::string& caption,
                      Vesperon::MessageIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void ExecuteSelectedAction() override;
  void ExecuteAction(Vesperon::ActionId action) override;
  void ShowWarning(Vesperon::ActionId action, std::int32_t secondsLeft, std::int32_t totalSeconds) override;
  void CloseWarning() override;

  // IActionHost
  Vesperon::ActionId SelectedActionItemData() override;
  void ShowMessage(const std::string& text) override;
  void ShowWindowRestored() override;
  bool GetCursorPosition(std::int32_t& x, std::int32_t& y) override;
  void PostTrayMenuMessage(std::uintptr_t wParam, std::intptr_t lParam) override;

 protected:
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;

 private:
  bool OnInit() override;
  void OnCreate();
  void OnInitDialog();
  void AttachControls();
  bool ServedAsService();
  void SetWindowIcons();
  bool StartsHidden();
  void RestoreStoredState();
  bool OnCommand(int id, int code) override;
  bool OnNotify(const NMHDR& header, INT_PTR& result) override;
  void OnDestroy();
  void OnStartHiddenTimer();
  void HideToTray();
  void ExitProgram();
  void CloseModalWindows();
  void FollowVisibility(bool shown);

  void FillActionList();
  void FillTriggerList();
  void FillWeekdayList();
  void FillProcessList();
  void PrepareMenus();
  void ShowKindEditor(std::int32_t kind, bool chosenByUser);

  LRESULT OnTrayIconClick(WPARAM w, LPARAM l);
  LRESULT OnDisplayTrayMenu(WPARAM w, LPARAM l);
  LRESULT OnTaskbarCreated();
  // Runs the warning the engine asked for, from a message of its own, so
  // that the engine's call returns at once; again while it asks anew.
  void RunWarning();

  // Commands from the command line, a later start's handed over with
  // WM_COPYDATA: checked at once (the answer), applied from a message of
  // their own, so that a box they open never holds the sender.
  static constexpr UINT kApplyCommandMessage = WM_APP + 2;
  INT_PTR TakeHandOver(const std::string& commandLine);
  void ApplyNextCommand();
  // As if the user had set the fields and pressed the buttons.
  void ApplyCommand(const Vesperon::CommandRequest& command);
  Vesperon::StoredFields ShownFields();

#ifdef VESPERON_SIMULATION
  void DescribeMenus();
#endif
  void OpenProductPage();
  static UINT DelayPastNextSecond();

  Vesperon::SchedulerEngine engine_;
  Vesperon::ActionDispatcher dispatcher_;

  win::CIcon icon_;
  win::CIcon smallIcon_;
  CTrayMenu trayMenu_;
  win::CStatusBar statusBar_;
  win::CImageList actionImages_;
  win::CImageList triggerImages_;
  // Both live from the window's creation to its destruction.
  std::optional<CTrayIcon> tray_;
  std::optional<CDdeNameService> ddeName_;
  bool keepHidden_ = false;  // started hidden, not yet shown by the user
  bool displayShown_ = false;  // whether the countdown display last saw the window shown
  std::uint32_t secondTimers_ = 0;  // bit n: timer n runs on the second, armed at each tick

  // The last warning and what the engine last asked it to show.
  CLastWarning warning_;
  bool warningWanted_ = false;
  bool warningPosted_ = false;
  bool warningRunning_ = false;
  bool warningTakenAway_ = false;
  Vesperon::ActionId warningAction_ = -1;
  std::int32_t warningLeft_ = 0, warningTotal_ = 0;

  std::deque<Vesperon::CommandRequest> commands_;

  win::CComboBoxEx triggerList_, actionList_;
  win::CComboBox weekdayList_, processField_;
  win::CDateTimePicker timeField_, dateField_;
  CNumberField numberField_;
  win::CWindow upperLabel_, lowerLabel_, countdownLabel_;
  win::CButton activate_;
  win::CProgressBar progress_;
};
