#include "app/win32/Reminder.h"

#include <commctrl.h>

#include "app/TriggerText.h"
#include "resources/reminder_ids.h"
#include "settings/Appearance.h"

namespace {

// The window's own timer identifiers are one above the reminder's (0 and 1),
// since SetTimer treats an identifier of 0 as no identifier on some systems.
UINT_PTR WindowTimerId(std::uint32_t id) { return static_cast<UINT_PTR>(id) + 1; }

}  // namespace

INT_PTR CReminder::Run(HWND parent) { return DoModal(IDD_REMINDER, parent); }

bool CReminder::OnInit() {
  text_.Attach(Item(IDC_REMINDER_TEXT));
  status_.Attach(Item(IDC_REMINDER_STATUS));
  progress_.Attach(Item(IDC_REMINDER_PROGRESS));
  // Above every other window and in front, even when the program lives
  // hidden in the tray and another program has the focus.
  SetWindowPos(h_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(h_);
  // Ending the program under an open reminder counts it as read.
  SetPropA(h_, win::kCloseOnExitProperty, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(IDOK)));
  reminder_.Initialize(UseTestSection);
  // The focus starts on OK, not in the message: Enter closes the window.
  SetFocus(Item(IDOK));
  return false;
}

bool CReminder::OnButtonClicked(int id) {
  // A click on the status line (its STN_CLICKED has the code of a button's).
  if (id != IDC_REMINDER_STATUS) return CModalDialog::OnButtonClicked(id);
  reminder_.OnStatusClick();
  return true;
}

bool CReminder::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  switch (msg) {
    case WM_TIMER:
      reminder_.OnTimer(static_cast<std::uint32_t>(w - 1));
      return true;
    case WM_DESTROY:
      KillTimer(h_, WindowTimerId(Vesperon::kReminderCountdownTimer));
      KillTimer(h_, WindowTimerId(Vesperon::kReminderStatusTimer));
      reminder_.OnDestroy();
      RemovePropA(h_, win::kCloseOnExitProperty);
      return false;
    default:
      return CModalDialog::OnMessage(msg, w, l, result);
  }
}

void CReminder::ApplyStoredTranslucency() {
  Vesperon::ApplyStoredTranslucency(reinterpret_cast<platform::WindowHandle>(h_));
}

void CReminder::SetMessageText(const std::string& text) { text_.SetText(text); }

std::string CReminder::StatusText() { return status_.GetText(); }

void CReminder::SetStatusText(const std::string& text) { status_.SetText(text); }

// The progress bar's 32-bit range: the countdown can last far longer than
// the 65535 steps of the 16-bit one. The reminder holds its values to the
// signed range.
void CReminder::SetProgressRange(std::uint32_t low, std::uint32_t high) {
  progress_.SetRange32(static_cast<int>(low), static_cast<int>(high));
}

void CReminder::SetProgressPosition(std::uint32_t position) {
  progress_.SetPos(static_cast<int>(position));
}

void CReminder::SetProgressStep(std::uint32_t step) {
  progress_.Send(PBM_SETSTEP, static_cast<WPARAM>(step));
}

void CReminder::StepProgress() { progress_.Send(PBM_STEPIT); }

void CReminder::StartTimer(std::uint32_t id, std::uint32_t milliseconds) {
  SetTimer(h_, WindowTimerId(id), milliseconds, nullptr);
}

void CReminder::StopTimer(std::uint32_t id) { KillTimer(h_, WindowTimerId(id)); }

void CReminder::ShowMessage(const std::string& text) {
  MessageBoxA(h_, text.c_str(), Vesperon::kMessageCaption, MB_OK);
}

void CReminder::ShowFailure(const Vesperon::Exception& failure) { win::ShowFailure(h_, failure); }

void CReminder::Close() { End(IDOK); }
