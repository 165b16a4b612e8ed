#include "app/CommandLine.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "model/Trigger.h"
#include "platform/TextCase.h"
#include "settings/Profiles.h"

namespace Vesperon {
namespace {

// What was wrong with the command line; thrown from deep in a value form and
// caught once, so that every form can simply stop at the first fault.
struct BadInput {
  std::string problem;
};
[[noreturn]] void Fail(std::string problem) { throw BadInput{std::move(problem)}; }
std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Names compare without regard to case, by the system's rules for the
// names users type.
bool SameText(std::string_view a, std::string_view b) {
  std::string x(a), y(b);
  platform::UpperCaseInPlace(x);
  platform::UpperCaseInPlace(y);
  return x == y;
}

// Blanks separate tokens; double quotes group blanks into one and go.
std::vector<std::string> Tokenize(std::string_view line) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    std::string token;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
      if (line[i] == '"') quoted = !quoted;
      else token += line[i];
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

bool IsSwitch(std::string_view token) {
  return token.size() > 1 && (token[0] == '/' || token[0] == '-');
}

enum class Form { Show, Execute, Cancel, Exit, Profile, Action, Countdown, At, Daily, Weekly, Monthly,
                  Process, Defrag };
struct SwitchRow {
  const char* name;
  Form form;
};
const SwitchRow kSwitches[] = {
    {"show", Form::Show},       {"execute", Form::Execute},     {"cancel", Form::Cancel},
    {"exit", Form::Exit},       {"profile", Form::Profile},     {"action", Form::Action},
    {"countdown", Form::Countdown}, {"at", Form::At},           {"daily", Form::Daily},
    {"weekly", Form::Weekly},   {"monthly", Form::Monthly},     {"process", Form::Process},
    {"defrag", Form::Defrag},
};
// Read at start-up by the automation path before this parser runs.
const char* const kAutomationSwitches[] = {"register",  "regserver",  "unregister",
                                           "unregserver", "embedding", "automation"};

// The tokens, taken one after the other.
class Cursor {
 public:
  explicit Cursor(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  bool Done() const { return next_ == tokens_.size(); }
  const std::string& Take() { return tokens_[next_++]; }
  // The value of switch `name`: the next token, when it is no switch.
  const std::string& Value(const std::string& name) {
    if (Done() || IsSwitch(tokens_[next_])) Fail("The switch /" + name + " needs a value.");
    return Take();
  }

 private:
  std::vector<std::string> tokens_;
  std::size_t next_ = 0;
};

// `text` as a number of minDigits..maxDigits digits at most `maximum`.
bool ReadNumber(std::string_view text, std::size_t minDigits, std::size_t maxDigits, int maximum,
                int& out) {
  if (text.size() < minDigits || text.size() > maxDigits) return false;
  out = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return out <= maximum;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  parts.push_back(text);
  return parts;
}

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
};
// H:MM or HH:MM, then :SS (required when `seconds`).
bool ReadTimeOfDay(std::string_view text, bool seconds, TimeOfDay& out) {
  const std::vector<std::string_view> parts = Split(text, ':');
  if (parts.size() != 3 && (seconds || parts.size() != 2)) return false;
  return ReadNumber(parts[0], 1, 2, 23, out.hour) && ReadNumber(parts[1], 2, 2, 59, out.minute) &&
         (parts.size() == 2 || ReadNumber(parts[2], 2, 2, 59, out.second));
}
TimeOfDay TimeValue(Cursor& cursor, const std::string& name) {
  const std::string& text = cursor.Value(name);
  TimeOfDay time;
  if (!ReadTimeOfDay(text, false, time)) Fail(Quoted(text) + " is no time of day (HH:MM or HH:MM:SS).");
  return time;
}
// The time on the date of `day` (a fixed date when `day` has none).
DateTime TimeOn(const DateTime& day, const TimeOfDay& t) {
  if (day.status != DateTimeStatus::Valid) return MakeDateTime(2000, 1, 1, t.hour, t.minute, t.second);
  return MakeDateTime(day.Year(), day.Month(), day.Day(), t.hour, t.minute, t.second);
}

CommandTrigger Kind(TriggerKind kind) {
  CommandTrigger trigger;
  trigger.kind = static_cast<std::int32_t>(kind);
  return trigger;
}

ActionId ReadAction(Cursor& cursor, const std::string& name) {
  const std::string& text = cursor.Value(name);
  ActionId id = -1;
  int number = 0;
  if (ReadNumber(text, 1, 2, kLastActionId, number)) id = number;
  for (ActionId a = 0; a <= kLastActionId && id < 0; ++a) {
    if (SameText(GetActionName(a), text)) id = a;
  }
  if (id < 0) Fail("There is no action " + Quoted(text) + ".");
  if (!IsActionAvailable(id)) Fail("The action " + Quoted(text) + " is not offered on this Windows.");
  return id;
}

CommandTrigger ReadCountdown(Cursor& cursor, const std::string& name, const DateTime& now) {
  const std::string& text = cursor.Value(name);
  CommandTrigger trigger = Kind(TriggerKind::Countdown);
  const std::size_t dot = text.find('.');
  TimeOfDay time;
  if ((dot != std::string::npos &&
       !ReadNumber(std::string_view(text).substr(0, dot), 1, 6, kLongestCountdownDays, trigger.number)) ||
      !ReadTimeOfDay(dot == std::string::npos ? text : text.substr(dot + 1), true, time)) {
    Fail(Quoted(text) + " is no countdown ([D.]HH:MM:SS, D up to 100000).");
  }
  trigger.dateTime = TimeOn(now, time);
  return trigger;
}

// HH:MM[:SS] today, or tomorrow when that is past; or YYYY-MM-DD HH:MM[:SS].
CommandTrigger ReadAt(Cursor& cursor, const std::string& name, const DateTime& now) {
  CommandTrigger trigger = Kind(TriggerKind::OneTime);
  const std::string& first = cursor.Value(name);
  TimeOfDay time;
  if (first.find('-') == std::string::npos) {
    if (!ReadTimeOfDay(first, false, time)) Fail(Quoted(first) + " is no time of day (HH:MM or HH:MM:SS).");
    trigger.dateTime = TimeOn(now, time);
    if (!(trigger.dateTime > now)) trigger.dateTime = trigger.dateTime + MakeSpan(1, 0, 0, 0);
    return trigger;
  }
  const std::vector<std::string_view> parts = Split(first, '-');
  int year = 0, month = 0, day = 0;
  if (parts.size() != 3 || !ReadNumber(parts[0], 4, 4, 9999, year) ||
      !ReadNumber(parts[1], 2, 2, 12, month) || !ReadNumber(parts[2], 2, 2, 31, day) ||
      MakeDateTime(year, month, day, 0, 0, 0).status != DateTimeStatus::Valid) {
    Fail(Quoted(first) + " is no date (YYYY-MM-DD).");
  }
  time = TimeValue(cursor, name);
  trigger.dateTime = MakeDateTime(year, month, day, time.hour, time.minute, time.second);
  return trigger;
}

CommandTrigger ReadDaily(Cursor& cursor, const std::string& name, const DateTime& now) {
  CommandTrigger trigger = Kind(TriggerKind::Daily);
  trigger.dateTime = TimeOn(now, TimeValue(cursor, name));
  return trigger;
}

CommandTrigger ReadWeekly(Cursor& cursor, const std::string& name, const DateTime& now) {
  CommandTrigger trigger = Kind(TriggerKind::Weekly);
  const std::string& day = cursor.Value(name);
  if (!ReadNumber(day, 1, 1, 6, trigger.weekdayIndex)) {
    trigger.weekdayIndex = -1;
    for (std::int32_t i = 0; i < 7; ++i) {
      if (SameText(WeekdayListText(i), day)) trigger.weekdayIndex = i;
    }
    if (trigger.weekdayIndex < 0) Fail(Quoted(day) + " is no day of the week (Sunday..Saturday or 0..6).");
  }
  trigger.dateTime = TimeOn(now, TimeValue(cursor, name));
  return trigger;
}

CommandTrigger ReadMonthly(Cursor& cursor, const std::string& name, const DateTime& now) {
  CommandTrigger trigger = Kind(TriggerKind::Monthly);
  const std::string& day = cursor.Value(name);
  if (!ReadNumber(day, 1, 2, kLastDayOfMonth, trigger.number) || trigger.number < kFirstDayOfMonth) {
    Fail(Quoted(day) + " is no day of the month (1..31).");
  }
  trigger.dateTime = TimeOn(now, TimeValue(cursor, name));
  return trigger;
}

CommandTrigger ReadProcess(Cursor& cursor, const std::string& name) {
  CommandTrigger trigger = Kind(TriggerKind::Process);
  trigger.processText = cursor.Value(name);
  if (trigger.processText.empty()) Fail("The switch /" + name + " needs a process name.");
  return trigger;
}

std::string ReadProfile(Cursor& cursor, const std::string& name) {
  const std::string& profile = cursor.Value(name);
  if (!DataSystem::IsUsableProfileName(profile)) Fail(Quoted(profile) + " is no profile name.");
  return profile;
}

void ReadSwitch(Form form, const std::string& name, Cursor& cursor, const DateTime& now,
                CommandRequest& request) {
  std::optional<CommandTrigger> trigger;
  switch (form) {
    case Form::Show: request.show = true; break;
    case Form::Execute: request.execute = true; break;
    case Form::Cancel: request.cancel = true; break;
    case Form::Exit: request.exit = true; break;
    case Form::Profile: request.profile = ReadProfile(cursor, name); break;
    case Form::Action: request.action = ReadAction(cursor, name); break;
    case Form::Countdown: trigger = ReadCountdown(cursor, name, now); break;
    case Form::At: trigger = ReadAt(cursor, name, now); break;
    case Form::Daily: trigger = ReadDaily(cursor, name, now); break;
    case Form::Weekly: trigger = ReadWeekly(cursor, name, now); break;
    case Form::Monthly: trigger = ReadMonthly(cursor, name, now); break;
    case Form::Process: trigger = ReadProcess(cursor, name); break;
    case Form::Defrag: trigger = Kind(TriggerKind::DiskDefragmenter); break;
  }
  if (!trigger) return;
  if (request.trigger) Fail("Only one trigger may be given.");
  request.trigger = std::move(trigger);
}

// The switches that make no sense together.
void CheckCombination(const CommandRequest& r) {
  if (r.execute && !r.action) Fail("The switch /execute needs /action.");
  if (r.execute && r.trigger) Fail("The switch /execute runs the action now: it takes no trigger.");
  if (r.cancel && (r.trigger || r.execute)) Fail("The switch /cancel goes with no trigger and no /execute.");
  if (r.exit && (r.show || r.execute || r.cancel || r.profile || r.action || r.trigger)) {
    Fail("The switch /exit goes alone.");
  }
}

CommandRequest ReadRequest(std::string_view commandLine, const DateTime& now) {
  CommandRequest request;
  std::vector<std::string> tokens = Tokenize(commandLine);
  // Asking for the usage asks for nothing else, whatever else is there.
  for (const std::string& token : tokens) {
    request.usage = request.usage || (IsSwitch(token) && token.substr(1) == "?");
  }
  if (request.usage) return request;
  std::vector<std::string> seen;
  Cursor cursor(std::move(tokens));
  while (!cursor.Done()) {
    const std::string& token = cursor.Take();
    if (!IsSwitch(token)) continue;
    const std::string_view typed = std::string_view(token).substr(1);
    bool automation = false;
    for (const char* a : kAutomationSwitches) automation = automation || SameText(typed, a);
    if (automation) continue;
    const SwitchRow* row = nullptr;
    for (const SwitchRow& s : kSwitches) {
      if (SameText(typed, s.name)) row = &s;
    }
    if (row == nullptr) Fail("There is no switch " + Quoted(token) + ".");
    const std::string name = row->name;  // as the messages name it
    for (const std::string& s : seen) {
      if (s == name) Fail("The switch /" + name + " is given twice.");
    }
    seen.push_back(name);
    ReadSwitch(row->form, name, cursor, now, request);
  }
  CheckCombination(request);
  return request;
}

}  // namespace

bool CommandRequest::Empty() const {
  return !usage && !show && !execute && !cancel && !exit && !profile && !action && !trigger;
}

CommandParse ParseCommandLine(std::string_view commandLine, const DateTime& now) {
  CommandParse parse;
  try {
    parse.request = ReadRequest(commandLine, now);
  } catch (const BadInput& bad) {
    parse.ok = false;
    parse.problem = bad.problem;
  }
  return parse;
}

StoredFields FieldsForCommand(const CommandRequest& request, const StoredFields& current) {
  StoredFields fields = current;
  if (request.action) fields.action = *request.action;
  if (!request.trigger) return fields;
  const CommandTrigger& t = *request.trigger;
  fields.kind = t.kind;
  if (IsTimeBasedKind(t.kind)) fields.dateTime = t.dateTime;
  switch (static_cast<TriggerKind>(t.kind)) {
    case TriggerKind::Countdown:
    case TriggerKind::Monthly: fields.number = t.number; break;
    case TriggerKind::Weekly: fields.weekdayIndex = t.weekdayIndex; break;
    case TriggerKind::Process: fields.processText = t.processText; break;
    default: break;
  }
  return fields;
}

std::string CommandLineUsage() {
  return "Vesperon.exe [/profile NAME] [/action ACTION] [TRIGGER] [/execute | /cancel] [/show]\n"
         "Vesperon.exe /exit | /?\n"
         "\n"
         "/action ACTION: the action's name as the action list shows it, or its number\n"
         "TRIGGER, one of:\n"
         "  /countdown [D.]HH:MM:SS\n"
         "  /at [YYYY-MM-DD] HH:MM[:SS] (today, or tomorrow when past)\n"
         "  /daily HH:MM[:SS]\n"
         "  /weekly DAY HH:MM[:SS] (Sunday..Saturday or 0..6)\n"
         "  /monthly N HH:MM[:SS] (N 1..31)\n"
         "  /process NAME (when no such process runs)\n"
         "  /defrag (when the disk defragmenter has finished)\n"
         "A trigger with /action activates.\n"
         "/execute: runs the action now\n"
         "/cancel: deactivates the trigger\n"
         "/show: shows the main window\n"
         "/exit: ends the running copy\n"
         "/profile NAME: makes the profile active first\n"
         "/?: shows this text\n"
         "Switches may also start with \"-\".\n"
         "\n"
         "Examples:\n"
         "Vesperon.exe /action \"Turn off\" /countdown 00:30:00\n"
         "Vesperon.exe /action Reminder /at 18:00\n"
         "Vesperon.exe /cancel";
}

}  // namespace Vesperon
