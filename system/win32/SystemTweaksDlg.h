#pragma once
// The modal "System Tweaks" dialog: shows the shutdown settings of Windows
// that the running version has, and on OK writes back only the ones the
// user touched.
#include "app/win32/Controls.h"
#include "app/win32/Dialog.h"
#include "system/SystemTweaks.h"

class CSystemTweaksDlg final : public win::CModalDialog {
 public:
  INT_PTR DoModal(HWND parent);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnButtonClicked(int id) override;
  bool OnNotify(const NMHDR& header, INT_PTR& result) override;
  bool OnOk() override;

 private:
  void OnSpin(int reportedStep);
  // The settings' states into the controls, and back.
  void ShowValues();
  bool TakeValues();
  void Touch(Vesperon::TweakRow row) { state_.touched[row] = true; }

  Vesperon::TweakState state_{};
  // Filling the controls raises the same notifications as the user's edits;
  // those must not count as touched.
  bool filling_ = false;
};
