// The main window's part in the command line: it takes the command a later
// start hands over and applies it, or its own start's, once initialised.
#include "app/win32/SingleInstance.h"
#include "app/win32/VesperonDlg.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"

using namespace Vesperon;

INT_PTR CVesperonDlg::TakeHandOver(const std::string& commandLine) {
  CommandParse parse;
  try {
    parse = ReadStartCommand(commandLine);
  } catch (const Exception&) {
    return kCommandBadInput;
  }
  // The starting copy checked it and showed the usage itself.
  if (!parse.ok) return kCommandBadInput;
  if (parse.request.usage) return kCommandApplied;
  CommandRequest command = parse.request;
  // A plain second start asks for the window, as the tray's "Show window".
  if (command.Empty()) command.show = true;
  commands_.push_back(command);
  PostMessageA(h_, kApplyCommandMessage, 0, 0);
  return kCommandApplied;
}

void CVesperonDlg::ApplyNextCommand() {
  if (commands_.empty()) return;
  const CommandRequest command = commands_.front();
  commands_.pop_front();
  Guarded([&] { ApplyCommand(command); });
}

void CVesperonDlg::ApplyCommand(const CommandRequest& command) {
  if (command.exit) {
    ExitProgram();
    return;
  }
  if (command.profile) {
    DataSystem::SetActiveProfileName(DataSystem::kProfilesSection, *command.profile,
                                      DataSystem::kHiveCurrentUser);
    engine_.FollowActiveProfile();
  }
  // "/action A /execute" runs A as Execute Now would, beside whatever
  // trigger is active: a script's one-off never ends the user's schedule.
  const bool setsFields = command.trigger || (command.action && !command.execute);
  if (setsFields) {
    // The fields are locked while a trigger runs: it ends first, as the
    // user must end it; quietly when a new one takes its place at once.
    if (engine_.IsActive()) engine_.DeactivateTrigger(!command.Activates());
    ShowStoredFields(FieldsForCommand(command, ShownFields()));
  }
  if (command.show) {
    // Shown for good: the start-up hide must not take it away again.
    KillTimer(h_, kStartHiddenTimer);
    dispatcher_.OnTrayMenuCommand(kTrayMenuShowWindow);
    SetForegroundWindow(h_);
  }
  if (command.Activates()) engine_.OnActivateClicked();
  if (command.execute) dispatcher_.ExecuteAnnouncedAction(*command.action);
  if (command.cancel && engine_.IsActive()) engine_.OnActivateClicked();
}

StoredFields CVesperonDlg::ShownFields() {
  const TriggerFields shown = ReadTriggerFields();
  StoredFields fields;
  fields.action = SelectedActionId();
  fields.kind = shown.kind;
  fields.weekdayIndex = shown.weekdayIndex;
  fields.dateTime = MakeDateTime(shown.year, shown.month, shown.day, shown.hour, shown.minute, shown.second);
  fields.number = shown.number;
  fields.processText = shown.processText;
  return fields;
}
