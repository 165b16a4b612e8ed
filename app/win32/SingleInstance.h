#pragma once
// One running copy per user session. The first copy holds a named event
// for its whole life; a later start that finds it hands its command line to
// the running copy's main window and ends. The window is found by a
// property it sets once its initialisation is complete: a window that goes
// takes its property with it, so no shared record can outlive the copy
// that wrote it, and the search sees only the windows of this desktop.
//
// The event's name carries the user's name, so that the program running
// as a service (the system account, in the console's session on the
// systems before Vista) never counts as the user's running copy; "Local\"
// keeps it inside the session where the system knows sessions.
#include "app/win32/Program.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "app/CommandLine.h"
#include "platform/win32/Handle.h"

class CSingleInstance {
 public:
  // Takes the session's mark of a running copy; false when another copy
  // holds it (this object then holds nothing).
  bool Claim();
  // The main window of the copy that holds the mark, waiting up to
  // `waitMs` for a copy that is still starting; 0 when none came. A copy
  // that ended meanwhile leaves the mark to this one: then Claimed().
  HWND WaitForRunningWindow(std::uint32_t waitMs);
  bool Claimed() const { return claimed_; }

  // Sends `commandLine` to the running copy's window: its answer
  // (kCommandApplied, kCommandBadInput), or kCommandNoAnswer when it gave
  // none in time.
  static int HandOver(HWND window, std::string_view commandLine);
  // The command line a WM_COPYDATA carries, when it is a hand-over.
  static bool ReadHandOver(LPARAM copyData, std::string& commandLine);

  // The mark on the main window, set once it can take a hand-over.
  static void MarkReady(HWND window);
  static void Unmark(HWND window);

 private:
  win::CHandle mark_;
  bool claimed_ = false;
};

// A command line read as a start must take it: parsed, and a profile it
// names looked up in the store (then named as stored). A profile that does
// not exist is bad input.
Vesperon::CommandParse ReadStartCommand(std::string_view commandLine);

// The usage box: with the problem line above it (a warning) for bad input,
// else for /? (information).
void ShowCommandUsage(HWND owner, const std::string& problem);
