#pragma once
// A hyperlink made of a static control of a dialog: underlined text in the
// link colour, the hand cursor over it, a tool tip, and a click that opens
// its target with the shell. The static needs SS_NOTIFY in the template so
// that it receives the mouse.
#include <windows.h>

#include <string>

#include "platform/win32/Handle.h"

namespace win {

class CHyperLink {
 public:
  CHyperLink() = default;
  ~CHyperLink();
  CHyperLink(const CHyperLink&) = delete;
  CHyperLink& operator=(const CHyperLink&) = delete;

  // Takes over the static control; `tip` is shown while the mouse rests on
  // it, with the tool tip colours given (COLORREFs).
  void Attach(HWND control, const std::string& target, const std::string& tip,
              COLORREF tipBackground, COLORREF tipText);
  const std::string& Target() const { return target_; }
  // What a click does: the target opened by the shell.
  void Open() const;

 private:
  static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void Paint() const;
  void Detach();

  HWND h_ = nullptr;
  HWND tip_ = nullptr;
  CFont font_;
  WNDPROC base_ = nullptr;
  std::string target_;
};

}  // namespace win
