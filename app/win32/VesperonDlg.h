#pragma once
// The main window: the trigger and action fields, the countdown, the status
// bar, the menu bar and the tray icon. It is the engine's window and the
// dispatcher's host; everything the program does happens in its handlers.
#include "app/win32/Program.h"

#include <ddeml.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionDispatcher.h"
#include "app/SchedulerEngine.h"
#include "app/win32/Controls.h"
#include "shell/TrayIcon.h"

class CVesperonDlg final : public win::CModalDialog,
                           public Vesperon::IEngineWindow,
                           public Vesperon::IActionHost {
 public:
  CVesperonDlg();
  ~CVesperonDlg() override;
  INT_PTR Run();

  // IEngineWindow
  Vesperon::TriggerFields ReadTriggerFields() override;
  std::int32_t SelectedTriggerKind() override;
  Vesperon::ActionId SelectedActionId() override;
  void ShowStoredFields(const Vesperon::StoredFields& fields) override;
  void StartTimer(std::int32_t id, std::uint32_t periodMs) override;
  void StopTimer(std::int32_t id) override;
  void EnableControl(std::int32_t controlId, bool enable) override;
  void SetActivateChecked(bool checked) override;
  void SetCountdownLabel(const std::string& text) override;
  void SetProgressRange(std::int32_t maximum) override;
  void SetProgressPosition(std::int32_t position) override;
  bool StatusBarExists() override;
  void SetStatusText(const std::string& text) override;
  bool TrayIconExists() override;
  void ShowBalloon(const std::string& title, const std::string& text, std::uint32_t timeoutMs,
                   Vesperon::BalloonIcon icon) override;
  void SetTrayIconImage(std::int32_t iconResource) override;
  void ShowMessageBox(const std::string& text, const std::string& caption,
                      Vesperon::MessageIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void ExecuteSelectedAction() override;

  // IActionHost
  Vesperon::ActionId SelectedActionItemData() override;
  void ShowMessage(const std::string& text) override;
  void ShowWindowRestored() override;
  bool GetCursorPosition(std::int32_t& x, std::int32_t& y) override;
  void PostTrayMenuMessage(std::uintptr_t wParam, std::intptr_t lParam) override;

 protected:
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;

 private:
  void OnCreate();
  void OnInitDialog();
  void OnCommand(int id, int code);
  bool OnNotify(const NMHDR& header, INT_PTR& result);
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
  void GiveTrayMenuIcons();
  HBITMAP MenuBitmap(const win::CImageList& list, int index);
  void ShowKindEditor(std::int32_t kind, bool chosenByUser);
  void OnNumberEdited();
  void OnNumberArrow(int reportedStep);
  std::int32_t ReadNumberField();
  void WriteNumberField(std::int32_t value);

  LRESULT OnTrayIconClick(WPARAM w, LPARAM l);
  LRESULT OnDisplayTrayMenu(WPARAM w, LPARAM l);
  LRESULT OnTaskbarCreated();
  void CreateTrayIcon();
  void TryAddTrayIcon();
  void RemoveTrayIcon();

  void ShowAbout();
#ifdef VESPERON_SIMULATION
  void DescribeMenus();
#endif
  void OpenProductPage();
  // Runs a handler that may throw, showing the failure the way the
  // program's windows report store failures.
  template <typename Handler>
  void Guarded(Handler&& handler);
  static UINT DelayPastNextSecond();

  Vesperon::SchedulerEngine engine_;
  Vesperon::ActionDispatcher dispatcher_;

  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HMENU trayMenuResource_ = nullptr;
  HMENU trayMenu_ = nullptr;  // its first submenu
  std::vector<HBITMAP> menuBitmaps_;
  win::CStatusBar statusBar_;
  win::CImageList actionImages_;
  win::CImageList triggerImages_;
  std::optional<Vesperon::TrayIconInfo> tray_;
  // Whether the shell took the icon. The record outlives a refusal, so that
  // "TaskbarCreated" can add it later, but until then there is no icon to
  // change or to show balloons on.
  bool trayAdded_ = false;
  DWORD ddeInstance_ = 0;
  HSZ ddeService_ = nullptr;
  std::int32_t number_ = 0;
  bool writingNumber_ = false;
  bool keepHidden_ = false;  // started hidden, not yet shown by the user
  bool displayShown_ = false;  // whether the countdown display last saw the window shown
  std::uint32_t secondTimers_ = 0;  // bit n: timer n runs on the second, armed at each tick

  win::CComboBoxEx triggerList_, actionList_;
  win::CComboBox weekdayList_, processField_;
  win::CDateTimePicker timeField_, dateField_;
  win::CWindow numberField_, upDown_, upperLabel_, lowerLabel_, countdownLabel_;
  win::CButton activate_;
  win::CProgressBar progress_;
};
