#pragma once
// CReminder: the reminder window (dialog 145). The action runs it modally
// and waits until it closes; the Reminder page runs it the same way with
// UseTestSection set to show unsaved settings from section "Temp". What it
// shows, plays and counts is decided by Vesperon::Reminder; this class is
// the dialog around it.
#include <windows.h>

#include <string>

#include "actions/Reminder.h"
#include "app/win32/Controls.h"
#include "app/win32/Dialog.h"

class CReminder final : public win::CModalDialog, private Vesperon::IReminderWindow {
 public:
  CReminder() : reminder_(*this) {}

  // Read the settings from section "Temp" instead of the active profile.
  bool UseTestSection = false;

  // Shows the window and returns when it has closed (IDOK or IDCANCEL).
  INT_PTR Run(HWND parent);

  std::uint32_t AutoCloseSecondsLeft() const { return reminder_.AutoCloseSecondsLeft(); }
  bool SoundLooped() const { return reminder_.SoundLooped(); }

 private:
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool OnInit() override;
  bool OnButtonClicked(int id) override;

  // Vesperon::IReminderWindow
  void ApplyStoredTranslucency() override;
  void SetMessageText(const std::string& text) override;
  std::string StatusText() override;
  void SetStatusText(const std::string& text) override;
  void SetProgressRange(std::uint32_t low, std::uint32_t high) override;
  void SetProgressPosition(std::uint32_t position) override;
  void SetProgressStep(std::uint32_t step) override;
  void StepProgress() override;
  void StartTimer(std::uint32_t id, std::uint32_t milliseconds) override;
  void StopTimer(std::uint32_t id) override;
  void ShowMessage(const std::string& text) override;
  void ShowFailure(const Vesperon::Exception& failure) override;
  void Close() override;

  Vesperon::Reminder reminder_;
  win::CWindow text_;
  win::CWindow status_;
  win::CProgressBar progress_;
};
