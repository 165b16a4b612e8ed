#include "app/LastWarning.h"

namespace Vesperon {

bool ActionWarns(ActionId id) {
  switch (id) {
    case kActionTurnOff:
    case kActionReboot:
    case kActionLogOff:
    case kActionStandBy:
    case kActionHibernate:
    case kActionHangUp:
    case kActionKillProcesses:
    case kActionRebootShell:
      return true;
    default:
      return false;
  }
}

std::string WarningText(ActionId id, std::int32_t secondsLeft) {
  return std::string("Action \"") + GetActionName(id) + "\" will arise in " +
         std::to_string(secondsLeft) + " Second(s)";
}

std::string PostponedText(ActionId id) {
  return std::string("Action \"") + GetActionName(id) + "\" was postponed by 10 minutes";
}

}  // namespace Vesperon
