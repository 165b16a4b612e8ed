#pragma once
// The modal "System Tweaks" dialog: shows the shutdown settings of Windows
// that the running version has, and on OK writes back only the ones the
// user touched.
#include "app/win32/Controls.h"
#include "model/Exception.h"
#include "system/SystemTweaks.h"

class CSystemTweaksDlg final : public win::CModalDialog {
 public:
  INT_PTR DoModal(HWND parent);

 protected:
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;

 private:
  void OnInitDialog();
  void OnCommand(int id, int code);
  void OnSpin(int reportedStep);
  void OnOk();
  // The settings' states into the controls, and back.
  void ShowValues();
  bool TakeValues();
  void Touch(Vesperon::TweakRow row) { state_.touched[row] = true; }
  void ShowFailure(const Vesperon::Exception& failure) const;

  Vesperon::TweakState state_{};
  // Filling the controls raises the same notifications as the user's edits;
  // those must not count as touched.
  bool filling_ = false;
};
