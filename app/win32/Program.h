#pragma once
// What the application object sets up once per process for the main window.
#include <windows.h>
// windows.h names a macro ExitWindows; the program's own operation of that
// name wins in every file that includes this header.
#undef ExitWindows

#include "actions/SystemActions.h"

namespace vesperon_app {

// The registered window messages, registered once at program start.
struct RegisteredMessages {
  UINT trayIconClick = 0;    // "Vesperon.TrayIcon.Click"
  UINT displayTrayMenu = 0;  // "Vesperon.Display.TrayIcon.Menu"
  UINT taskbarCreated = 0;   // "TaskbarCreated"
};
const RegisteredMessages& Messages();
void RegisterMessages();

// The operations the program's actions carry out: the real system in
// Vesperon.exe, a journal in the simulation build.
Vesperon::ISystemActions& ProgramSystemActions();

// The maker's product page, opened by "Check for updates" and "Technical
// Support".
inline constexpr char kProductPage[] = "https://vesperon.example.com/";

}  // namespace vesperon_app
