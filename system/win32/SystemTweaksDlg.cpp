#include "system/win32/SystemTweaksDlg.h"

#include "app/MainWindowRules.h"
#include "app/TriggerText.h"
#include "resources/system_tweaks_ids.h"
#include "settings/Appearance.h"
#include "system/win32/TweakControls.h"

using namespace Vesperon;

namespace {

constexpr TweakRow kCheckRows[] = {kTweakClearPageFile, kTweakStatusMessages, kTweakLogonShutdown,
                                   kTweakReleaseLease, kTweakFastReboot};

int CheckBoxOf(TweakRow row) { return ControlsOf(row).front(); }

}  // namespace

INT_PTR CSystemTweaksDlg::DoModal(HWND parent) {
  return CModalDialog::DoModal(IDD_SYSTEM_TWEAKS, parent);
}

bool CSystemTweaksDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = TRUE;
      return true;
    case WM_COMMAND:
      OnCommand(LOWORD(w), HIWORD(w));
      return true;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(l);
      if (header.idFrom != IDC_TWEAK_TIMEOUT_SPIN || header.code != UDN_DELTAPOS) return false;
      OnSpin(reinterpret_cast<const NMUPDOWN&>(header).iDelta);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

void CSystemTweaksDlg::OnInitDialog() {
  try {
    // Applies itself only from Windows 2000 on.
    ApplyStoredTranslucency(reinterpret_cast<platform::WindowHandle>(h_));
    for (int row = 0; row < kTweakRowCount; ++row) {
      if (IsTweakAvailable(static_cast<TweakRow>(row))) continue;
      for (int id : ControlsOf(static_cast<TweakRow>(row))) {
        win::CWindow control(Item(id));
        control.Enable(false);
        control.Show(false);
      }
    }
    state_ = LoadTweakState();
  } catch (const Exception& failure) {
    ShowFailure(failure);
  }
  ShowValues();
}

void CSystemTweaksDlg::ShowValues() {
  filling_ = true;
  for (TweakRow row : kCheckRows) win::CButton(Item(CheckBoxOf(row))).SetCheck(state_.value[row] != 0);
  const bool verbose = state_.value[kTweakVerboseStatus] != 0;
  win::CButton(Item(IDC_TWEAK_STATUS_NORMAL)).SetCheck(!verbose);
  win::CButton(Item(IDC_TWEAK_STATUS_VERBOSE)).SetCheck(verbose);
  win::CWindow(Item(IDC_TWEAK_TIMEOUT)).SetText(std::to_string(state_.value[kTweakWaitToKill]));
  filling_ = false;
}

bool CSystemTweaksDlg::TakeValues() {
  if (IsTweakAvailable(kTweakWaitToKill)) {
    std::int32_t seconds = 0;
    if (!ParseTimeoutSeconds(win::CWindow(Item(IDC_TWEAK_TIMEOUT)).GetText(), seconds)) {
      MessageBoxA(h_, kEnterIntegerText, kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
      SetFocus(Item(IDC_TWEAK_TIMEOUT));
      return false;
    }
    state_.value[kTweakWaitToKill] = seconds;
  }
  for (TweakRow row : kCheckRows) {
    state_.value[row] = win::CButton(Item(CheckBoxOf(row))).IsChecked() ? 1 : 0;
  }
  state_.value[kTweakVerboseStatus] = win::CButton(Item(IDC_TWEAK_STATUS_VERBOSE)).IsChecked() ? 1 : 0;
  return true;
}

void CSystemTweaksDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDC_TWEAK_CLEAR_PAGE_FILE:
    case IDC_TWEAK_STATUS_MESSAGES:
    case IDC_TWEAK_LOGON_SHUTDOWN:
    case IDC_TWEAK_RELEASE_LEASE:
    case IDC_TWEAK_FAST_REBOOT:
      if (code == BN_CLICKED) {
        for (TweakRow row : kCheckRows) {
          if (CheckBoxOf(row) == id) Touch(row);
        }
      }
      return;
    case IDC_TWEAK_STATUS_NORMAL:
    case IDC_TWEAK_STATUS_VERBOSE:
      if (code == BN_CLICKED) Touch(kTweakVerboseStatus);
      return;
    case IDC_TWEAK_TIMEOUT:
      if (code == EN_CHANGE && !filling_) Touch(kTweakWaitToKill);
      return;
    case IDOK:
      OnOk();
      return;
    case IDCANCEL:
      End(IDCANCEL);
      return;
    default:
      return;
  }
}

void CSystemTweaksDlg::OnSpin(int reportedStep) {
  std::int32_t seconds = 0;
  if (!ParseTimeoutSeconds(win::CWindow(Item(IDC_TWEAK_TIMEOUT)).GetText(), seconds)) seconds = 0;
  win::CWindow(Item(IDC_TWEAK_TIMEOUT)).SetText(std::to_string(TimeoutAfterSpin(seconds, reportedStep)));
  Touch(kTweakWaitToKill);
}

void CSystemTweaksDlg::OnOk() {
  if (!TakeValues()) return;
  try {
    SaveTweakState(state_);
  } catch (const Exception& failure) {
    // The rows before the refused one are written; the dialog stays open so
    // that the user sees which settings did not take and can cancel.
    ShowFailure(failure);
    return;
  }
  End(IDOK);
}

void CSystemTweaksDlg::ShowFailure(const Exception& failure) const {
  MessageBoxA(h_, FailureText(failure).c_str(), FailureCaption(failure), MB_OK | MB_ICONERROR);
}
