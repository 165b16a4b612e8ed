// The application object: process start-up, then the main window, run
// modally; the process ends when the window does.
#include "app/win32/Program.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlwapi.h>
#include <winsock2.h>

#include <string>

#include "app/CommandLine.h"
#include "app/MainWindowRules.h"
#include "app/win32/Program.h"
#include "app/win32/SingleInstance.h"
#include "app/win32/VesperonDlg.h"
#include "resources/resource.h"
#include "model/OsVersion.h"
#include "platform/win32/SystemLibrary.h"

namespace vesperon_app {
namespace {
RegisteredMessages g_messages;
}

const RegisteredMessages& Messages() { return g_messages; }

void RegisterMessages() {
  g_messages.trayIconClick = RegisterWindowMessageA("Vesperon.TrayIcon.Click");
  g_messages.displayTrayMenu = RegisterWindowMessageA("Vesperon.Display.TrayIcon.Menu");
  g_messages.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

}  // namespace vesperon_app

class CVesperonApp {
 public:
  // Runs the program; the result is the process's exit code.
  int InitInstance(const char* commandLine);

 private:
  static void ShowStringMessage(UINT id);
  static void RemoveAutomationRegistration();
  // A start from a user, a shortcut or a script: its command is checked,
  // then handed to the running copy or applied by this one; the exit code.
  static int Start(const char* commandLine);
  static void RunMainWindow(const Vesperon::CommandRequest& command);
};

void CVesperonApp::ShowStringMessage(UINT id) {
  char text[256] = {};
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  MessageBoxA(nullptr, text, "Vesperon", MB_OK | MB_ICONSTOP);
}

// The program keeps no automation server: "Vesperon.Application" has only
// empty dispatch interfaces and no client uses it. Unregistering still
// removes what an earlier version registered for the current user, so that
// the switch leaves no stale class behind.
void CVesperonApp::RemoveAutomationRegistration() {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\Vesperon.Application");
}

int CVesperonApp::InitInstance(const char* commandLine) {
  // The common controls of the main window: image combo boxes, pickers,
  // up-down, progress and status bars.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                     ICC_USEREX_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // Sockets, then OLE.
  WSADATA sockets{};
  if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
    ShowStringMessage(IDP_SOCKETS_INIT_FAILED);
    return 1;
  }
  if (FAILED(OleInitialize(nullptr))) {
    ShowStringMessage(IDP_OLE_INIT_FAILED);
    WSACleanup();
    return 1;
  }
  // Be among the first programs the system asks to end at shutdown, so
  // that an action already under way is not cut short by our own exit.
  if (Vesperon::IsOsVersionAtLeast(0, 100)) SetProcessShutdownParameters(100, 0);
  int exitCode = 0;
  switch (Vesperon::ParseStartupSwitch(commandLine ? commandLine : "")) {
    case Vesperon::StartupSwitch::Unregister:
      RemoveAutomationRegistration();
      break;
    case Vesperon::StartupSwitch::Register:
      break;  // nothing to register: see RemoveAutomationRegistration
    case Vesperon::StartupSwitch::None:
      exitCode = Start(commandLine ? commandLine : "");
      break;
    case Vesperon::StartupSwitch::Embedding:
    case Vesperon::StartupSwitch::Automation:
      RunMainWindow({});
      break;
  }
  OleUninitialize();
  WSACleanup();
  return exitCode;
}

int CVesperonApp::Start(const char* commandLine) {
  // Bad input changes nothing: no window, no hand-over, no setting.
  const Vesperon::CommandParse parse = ReadStartCommand(commandLine);
  if (!parse.ok || parse.request.usage) {
    ShowCommandUsage(nullptr, parse.ok ? std::string() : parse.problem);
    return parse.ok ? Vesperon::kCommandApplied : Vesperon::kCommandBadInput;
  }
  CSingleInstance instance;
  if (!instance.Claim()) {
    // A copy that is still starting gets the time to make its window.
    if (HWND running = instance.WaitForRunningWindow(Vesperon::kCommandAnswerMs)) {
      const int answer = CSingleInstance::HandOver(running, commandLine);
      // This start is the user's: the window it shows may come to the front.
      if (answer == Vesperon::kCommandApplied && (parse.request.show || parse.request.Empty())) {
        SetForegroundWindow(running);
      }
      return answer;
    }
    if (!instance.Claimed()) return Vesperon::kCommandNoAnswer;
  }
  // No copy runs that could be ended.
  if (parse.request.exit) return Vesperon::kCommandApplied;
  RunMainWindow(parse.request);
  return Vesperon::kCommandApplied;
}

void CVesperonApp::RunMainWindow(const Vesperon::CommandRequest& command) {
  vesperon_app::RegisterMessages();
  Vesperon::ScopedSystemActions actions(vesperon_app::ProgramSystemActions());
  CVesperonDlg dialog;
  if (!command.Empty()) dialog.ApplyOnceReady(command);
  dialog.Run();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  // Before anything else can load a library: none from the program's folder
  // or the current folder.
  platform::RestrictLibrarySearch();
  CVesperonApp app;
  return app.InitInstance(commandLine);
}
