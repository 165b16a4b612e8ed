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

bool CSystemTweaksDlg::OnNotify(const NMHDR& header, INT_PTR& result) {
  if (header.idFrom != IDC_TWEAK_TIMEOUT_SPIN || header.code != UDN_DELTAPOS) return false;
  OnSpin(reinterpret_cast<const NMUPDOWN&>(header).iDelta);
  result = 0;
  return true;
}

bool CSystemTweaksDlg::OnInit() {
  // The dialog opens with what could be read, even after a failure.
  Guarded([&] {
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
  });
  ShowValues();
  return true;
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

bool CSystemTweaksDlg::OnCommand(int id, int code) {
  if (id != IDC_TWEAK_TIMEOUT) return CModalDialog::OnCommand(id, code);
  if (code == EN_CHANGE && !filling_) Touch(kTweakWaitToKill);
  return true;
}

bool CSystemTweaksDlg::OnButtonClicked(int id) {
  for (TweakRow row : kCheckRows) {
    if (CheckBoxOf(row) != id) continue;
    Touch(row);
    return true;
  }
  if (id == IDC_TWEAK_STATUS_NORMAL || id == IDC_TWEAK_STATUS_VERBOSE) {
    Touch(kTweakVerboseStatus);
    return true;
  }
  return CModalDialog::OnButtonClicked(id);
}

void CSystemTweaksDlg::OnSpin(int reportedStep) {
  std::int32_t seconds = 0;
  if (!ParseTimeoutSeconds(win::CWindow(Item(IDC_TWEAK_TIMEOUT)).GetText(), seconds)) seconds = 0;
  win::CWindow(Item(IDC_TWEAK_TIMEOUT)).SetText(std::to_string(TimeoutAfterSpin(seconds, reportedStep)));
  Touch(kTweakWaitToKill);
}

bool CSystemTweaksDlg::OnOk() {
  // After a refusal the rows before the refused one are written; the dialog
  // stays open so that the user sees which settings did not take and can
  // cancel.
  if (TakeValues() && Guarded([&] { SaveTweakState(state_); })) End(IDOK);
  return true;
}
