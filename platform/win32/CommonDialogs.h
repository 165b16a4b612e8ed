#pragma once
// The system's colour and file dialogs. Their library brings the printing
// libraries with it, and a user meets these dialogs only on a settings page
// or when importing or exporting a profile, so it is loaded from the system
// folder at the first dialog and then kept for the life of the process.
#include <windows.h>
#include <commdlg.h>

namespace platform {

// ChooseColorA; FALSE, with nothing shown, when the library or the function
// is missing.
BOOL ChooseColour(CHOOSECOLORA& choose);

// GetOpenFileNameA when `open`, else GetSaveFileNameA; FALSE, with nothing
// shown, when the library or the function is missing.
BOOL ChooseFileName(bool open, OPENFILENAMEA& record);

}  // namespace platform
