#pragma once
// What the application object sets up once per process for the main window.
#include <windows.h>
// windows.h names a macro ExitWindows; the program's own operation of that
// name wins in every file that includes this header.
#undef ExitWindows

#include <string>

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
// Vesperon.exe; in the simulation build every one that reaches beyond the
// test is journaled instead of done.
Vesperon::ISystemActions& ProgramSystemActions();

#ifdef VESPERON_SIMULATION
// The simulation build only: one line appended to the action journal, and
// the message that asks the main window to describe its menus there (menus
// cannot be read from another process).
void WriteJournalLine(const std::string& line);
inline constexpr char kDescribeMenusMessage[] = "Vesperon.Simulation.DescribeMenus";
// Set on the main window once its initialisation is complete.
inline constexpr char kSimulationReadyProperty[] = "Vesperon.Simulation.Ready";
#endif

// The maker's product page, opened by "Check for updates" and "Technical
// Support".
inline constexpr char kProductPage[] = "https://vesperon.example.com/";

}  // namespace vesperon_app
