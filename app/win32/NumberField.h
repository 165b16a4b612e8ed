#pragma once
// The main window's number field with its up-down arrows. It keeps the last
// number it accepted and applies the trigger kind's rules to what the user
// types or steps, so the window only says which kind is chosen.
#include <windows.h>

#include <cstdint>

#include "app/win32/Controls.h"

class CNumberField {
 public:
  // `owner` is the window the "enter an integer" message belongs to.
  void Attach(HWND owner, HWND field, HWND upDown);
  HWND Handle() const { return field_.Handle(); }
  void Show(bool show) const;

  void Write(std::int32_t value);
  // The last accepted number brought into the kind's range, when its editor
  // is shown.
  void FitKind(std::int32_t kind);
  // The field's number for the trigger: text that is no integer is refused
  // with a message and the last accepted number written back.
  std::int32_t Read();
  // EN_CHANGE (and Enter in the field): the kind's range applied to the
  // typed text.
  void OnEdited(std::int32_t kind);
  // UDN_DELTAPOS: the field is written here, never by the up-down itself.
  void OnArrow(std::int32_t kind, int reportedStep);

 private:
  void RefuseText() const;

  HWND owner_ = nullptr;
  win::CWindow field_, upDown_;
  std::int32_t number_ = 0;
  bool writing_ = false;  // our own write, not the user's edit
};
