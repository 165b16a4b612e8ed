#pragma once
// CLastWarning: the last warning before a scheduled action (dialog 310).
// It only shows what the engine counts and reports the user's answer; the
// engine decides what the answer and the end of the count do.
#include <windows.h>

#include <optional>

#include "app/LastWarning.h"
#include "app/win32/Controls.h"
#include "app/win32/Dialog.h"
#include "platform/win32/Handle.h"

class CLastWarning final : public win::CModalDialog {
 public:
  // Shows the warning without an owner, so that the main window, the tray
  // and the hot keys stay usable, and returns once it has closed: the
  // user's answer, or nothing when the program took it away (Close).
  std::optional<Vesperon::WarningAnswer> Run(Vesperon::ActionId action, int secondsLeft, int totalSeconds);
  // The count as the engine has it now.
  void Update(int secondsLeft, int totalSeconds);
  void Close();
  // Shown and not yet closed.
  bool IsOpen() const { return open_; }

 private:
  bool OnInit() override;
  bool OnButtonClicked(int id) override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  void TakeForeground();

  Vesperon::ActionId action_ = -1;
  int secondsLeft_ = 0;
  int totalSeconds_ = 0;
  bool open_ = false;
  std::optional<Vesperon::WarningAnswer> answer_;
  win::CIcon icon_;
};
