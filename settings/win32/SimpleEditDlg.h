#pragma once
// CSimpleEditDlg: the one-line name dialog (template 181). It refuses a text
// from its forbidden list (compared exactly) with the stored message, a text
// that cannot name a profile and one the system cannot store, and stays open
// until the text is usable or the user cancels. Text changes only when the dialog ends with OK.
#include <string>
#include <vector>

#include "app/win32/Controls.h"
#include "app/win32/Dialog.h"

class CSimpleEditDlg final : public win::CModalDialog {
 public:
  static constexpr int kTemplate = 181;
  static constexpr int kPromptLabel = 1063;
  static constexpr int kEdit = 1002;

  CSimpleEditDlg(std::string title, std::string prompt, std::string text,
                 std::vector<std::string> forbidden, std::string forbiddenMessage)
      : Title(std::move(title)),
        Prompt(std::move(prompt)),
        Text(std::move(text)),
        Forbidden(std::move(forbidden)),
        ForbiddenMessage(std::move(forbiddenMessage)) {}

  // Unicode, so that a name the system could not store is seen as such.
  INT_PTR DoModal(HWND parent) { return CModalDialog::DoModalUnicode(kTemplate, parent); }

  std::string Title;
  std::string Prompt;
  std::string Text;
  std::vector<std::string> Forbidden;
  std::string ForbiddenMessage;

 protected:
  bool OnInit() override;
  bool OnOk() override;
};
