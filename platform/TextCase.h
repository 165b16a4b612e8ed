#pragma once
// Upper case as Windows has it for the ANSI code page in force: the letters
// of that code page (the umlauts and accented letters of Windows-1252, say)
// as well as a to z, so that names the user types match names the system
// reports whatever their letter case.
#include <string>

namespace platform {

// `text` turned to upper case in place (CharUpperBuffA on Windows; on the
// host the rules of Windows-1252, the code page of a Western Windows).
void UpperCaseInPlace(std::string& text);

}  // namespace platform
