#include "settings/win32/SimpleEditDlg.h"

#include "model/Exception.h"
#include "settings/Appearance.h"
#include "settings/ProfilesPageRules.h"
#include "settings/StorableText.h"
#include "model/OsVersion.h"

bool CSimpleEditDlg::OnInit() {
  if (Vesperon::IsOsVersionAtLeast(0, 120)) {
    try {
      Vesperon::ApplyStoredTranslucency(reinterpret_cast<platform::WindowHandle>(h_));
    } catch (const Vesperon::Exception&) {
      // An opaque name dialog is still a usable one.
    }
  }
  SetWindowTextA(h_, Title.c_str());
  SetDlgItemTextA(h_, kPromptLabel, Prompt.c_str());
  SetDlgItemTextA(h_, kEdit, Text.c_str());
  SendDlgItemMessageA(h_, kEdit, EM_SETSEL, 0, -1);
  return true;  // the edit has the focus
}

bool CSimpleEditDlg::OnOk() {
  std::string typed;
  const char* message = nullptr;
  switch (Vesperon::CheckProfileName(win::CWindow(Item(kEdit)).GetUnicodeText(), Forbidden, typed)) {
    case Vesperon::NameProblem::kForbidden: message = ForbiddenMessage.c_str(); break;
    case Vesperon::NameProblem::kEmpty: message = Vesperon::kEmptyProfileNameText; break;
    case Vesperon::NameProblem::kBackslash: message = Vesperon::kBackslashProfileNameText; break;
    case Vesperon::NameProblem::kUnstorable: message = Vesperon::kUnstorableTextText; break;
    case Vesperon::NameProblem::kNone: break;
  }
  if (message != nullptr) {
    MessageBoxA(h_, message, Title.c_str(), MB_OK | MB_ICONEXCLAMATION);
    SetFocus(Item(kEdit));
    return true;
  }
  Text = typed;
  End(IDOK);
  return true;
}
