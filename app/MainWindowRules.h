#pragma once
// The main window's decisions that do not need a window: which controls and
// labels each trigger kind's editor shows, how the number field is read and
// kept in range, the command-line switches, the caption of a store failure
// and the system-information program of the about box.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Exception.h"
#include "model/NumberText.h"

namespace Vesperon {

inline constexpr char kEnterIntegerText[] = "Please enter an integer.";
inline constexpr char kNotImplementedText[] = "Not implemented yet.";
inline constexpr char kCountdownTimeFormat[] = "HH:mm:ss";

// Which fields an editor shows. The time field's format is the locale's
// unless countdownFormat is set.
struct KindEditor {
  bool date = false;
  bool time = false;
  bool number = false;  // with its arrows
  bool weekday = false;
  bool process = false;
  const char* upperLabel = "";
  const char* lowerLabel = "";
  bool countdownFormat = false;
};
// The editor of a trigger kind; a kind outside 0..6 shows nothing.
KindEditor EditorForKind(std::int32_t kind);

// The seconds a time field yields: its own when its format (a Windows time
// picture, quoted text literal) shows them, else 0, so that a trigger never
// waits for seconds the user cannot see or set.
std::int32_t VisibleSeconds(std::string_view timeFormat, std::int32_t seconds);

// The number field's range for a kind: countdown days 0..100000, day of
// month 1..31; other kinds leave the value as it is.
std::int32_t ClampNumber(std::int32_t kind, std::int64_t value);

// The number field after an edit: the clamped value, or the previous value
// with `rejected` set when the text is no whole number.
struct NumberFieldResult {
  std::int32_t value = 0;
  bool rejected = false;
};
NumberFieldResult NumberAfterEdit(std::int32_t kind, std::string_view text,
                                  std::int32_t previous);
// An arrow click: the up-down reports its step with the sign of its default
// (inverted) range, so the new value is the current one minus that step.
std::int32_t NumberAfterArrow(std::int32_t kind, std::int32_t current, std::int32_t reportedStep);

// The names the process field offers: each running program once (two
// processes of one program, names in another case), in the order found.
std::vector<std::string> ProcessFieldNames(const std::vector<std::string>& running);

// The automation switches of the command line ("/" or "-" then the name,
// case-blind); anything else is ignored.
enum class StartupSwitch { None, Register, Unregister, Embedding, Automation };
StartupSwitch ParseStartupSwitch(std::string_view commandLine);

// The message-box caption for a failure the window caught.
const char* FailureCaption(const Exception& failure);
// The text of that message box: the failure's numbers, since exceptions
// carry no text.
std::string FailureText(const Exception& failure);

// The program the about box's "System Info..." button starts; empty where
// the system has none.
const char* SystemInfoProgram();

}  // namespace Vesperon
