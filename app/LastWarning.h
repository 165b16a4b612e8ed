#pragma once
// The last warning before a scheduled action that ends the user's work: a
// countdown in which the user may run the action at once, put it off or
// skip this occurrence. Only the scheduler warns; an action the user starts
// himself (Execute Now, a hot key, the tray) is meant to run at once.
#include <cstdint>
#include <string>

#include "actions/ActionCatalog.h"

namespace Vesperon {

inline constexpr char kWarningTitle[] = "Vesperon: Warning";
// A postponed warning comes back after ten minutes.
inline constexpr std::uint32_t kWarningPostponeMs = 10 * 60 * 1000;

// How the warning ended, as the window reports it.
enum class WarningAnswer { RunNow, Postpone, Cancel };

// The actions that end a session, the power state, a connection or a
// program: those a user may lose unsaved work to.
bool ActionWarns(ActionId id);

// `Action "NAME" will arise in N Second(s)`.
std::string WarningText(ActionId id, std::int32_t secondsLeft);
// The status line while a postponed warning waits.
std::string PostponedText(ActionId id);

}  // namespace Vesperon
