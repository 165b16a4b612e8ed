#pragma once
// What the command line asks of the program: the switches a script or a
// shortcut passes ("/" or "-" then the name, case-blind), read into one
// request that the running copy applies as if the user had set the fields
// and pressed the button. Portable: the window code maps the request onto
// its controls.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "actions/ActionCatalog.h"
#include "app/SchedulerEngine.h"  // StoredFields
#include "model/DateTime.h"

namespace Vesperon {

// The exit codes of a start with a command.
inline constexpr int kCommandApplied = 0;
inline constexpr int kCommandBadInput = 2;
inline constexpr int kCommandNoAnswer = 3;  // the running copy did not answer in time
inline constexpr std::uint32_t kCommandAnswerMs = 5000;

// The trigger one switch names, as the main window's fields hold it.
struct CommandTrigger {
  std::int32_t kind = 0;          // TriggerKind
  DateTime dateTime;              // one time: the moment; the others: the time of day (date part ignored)
  std::int32_t weekdayIndex = 0;  // weekly: 0 Sunday .. 6 Saturday
  std::int32_t number = 0;        // countdown: days; monthly: day of month 1..31
  std::string processText;        // process: the name pattern
};

struct CommandRequest {
  bool usage = false;    // /?
  bool show = false;     // /show
  bool execute = false;  // /execute (needs /action)
  bool cancel = false;   // /cancel
  bool exit = false;     // /exit
  std::optional<std::string> profile;  // /profile NAME: made active first
  std::optional<ActionId> action;      // /action NAME|NUMBER, offered on this Windows
  std::optional<CommandTrigger> trigger;
  // No switch at all: a plain start (text that is no switch is ignored).
  bool Empty() const;
  // An action and a trigger together activate.
  bool Activates() const { return action.has_value() && trigger.has_value(); }
};

struct CommandParse {
  bool ok = true;
  CommandRequest request;
  std::string problem;  // bad input: one line saying what was wrong, shown above the usage
};

// Reads a whole command line (as WinMain gets it, without the program's
// name). `now` places "/at HH:MM" on today, or tomorrow when already past.
// The automation switches (Register, Regserver, Unregister, Unregserver,
// Embedding, Automation) are not this parser's: it leaves them alone.
CommandParse ParseCommandLine(std::string_view commandLine, const DateTime& now);

// The fields the window shows after the request: `current` with the action
// and the trigger the request names put in.
StoredFields FieldsForCommand(const CommandRequest& request, const StoredFields& current);

// The usage text of the message box (caption "Vesperon").
std::string CommandLineUsage();

}  // namespace Vesperon
