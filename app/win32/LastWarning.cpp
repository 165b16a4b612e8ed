#include "app/win32/LastWarning.h"

#include <commctrl.h>

#include "app/win32/CoreIds.h"
#include "resources/last_warning_ids.h"

std::optional<Vesperon::WarningAnswer> CLastWarning::Run(Vesperon::ActionId action, int secondsLeft,
                                                         int totalSeconds) {
  action_ = action;
  secondsLeft_ = secondsLeft;
  totalSeconds_ = totalSeconds;
  answer_.reset();
  open_ = true;
  DoModal(IDD_LAST_WARNING, nullptr);
  open_ = false;
  return answer_;
}

bool CLastWarning::OnInit() {
  const int image = Vesperon::GetActionImageIndex(action_);
  if (image >= 0) {
    icon_.Attach(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                               MAKEINTRESOURCEA(win::kActionIconResources[image]),
                                               IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    SendDlgItemMessageA(h_, IDC_WARNING_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon_.Get()), 0);
  }
  SetDlgItemTextA(h_, IDC_WARNING_NAME, Vesperon::GetActionName(action_));
  // Ending the program under the warning runs nothing: its Cancel button.
  SetPropA(h_, win::kCloseOnExitProperty, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(IDCANCEL)));
  Update(secondsLeft_, totalSeconds_);
  TakeForeground();
  SetFocus(Item(IDOK));
  return false;
}

void CLastWarning::TakeForeground() {
  SetWindowPos(h_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (SetForegroundWindow(h_)) return;
  // Windows keeps another program in front: the taskbar button asks for
  // the user's eye until the warning comes to the front.
  FLASHWINFO flash{};
  flash.cbSize = sizeof flash;
  flash.hwnd = h_;
  flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
  FlashWindowEx(&flash);
}

void CLastWarning::Update(int secondsLeft, int totalSeconds) {
  if (!open_ || h_ == nullptr) return;
  secondsLeft_ = secondsLeft;
  totalSeconds_ = totalSeconds;
  SetDlgItemTextA(h_, IDC_WARNING_TEXT, Vesperon::WarningText(action_, secondsLeft).c_str());
  const win::CProgressBar progress(Item(IDC_WARNING_PROGRESS));
  progress.SetRange32(0, totalSeconds);
  progress.SetPos(secondsLeft);
}

void CLastWarning::Close() {
  if (!open_) return;
  open_ = false;
  answer_.reset();
  End(IDABORT);
}

bool CLastWarning::OnButtonClicked(int id) {
  // Answers after the program took the warning away count for nothing.
  if (!open_) return true;
  switch (id) {
    case IDOK: answer_ = Vesperon::WarningAnswer::RunNow; break;
    case IDCANCEL: answer_ = Vesperon::WarningAnswer::Cancel; break;
    case IDC_WARNING_POSTPONE: answer_ = Vesperon::WarningAnswer::Postpone; break;
    default: return false;
  }
  open_ = false;
  End(id);
  return true;
}

bool CLastWarning::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  if (msg == WM_DESTROY) {
    RemovePropA(h_, win::kCloseOnExitProperty);
    icon_.Close();
    return false;
  }
  return CModalDialog::OnMessage(msg, w, l, result);
}
