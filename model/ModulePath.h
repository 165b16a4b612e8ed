#pragma once
// Where the program file is: its full path, for the start-up entries and
// the service, and its folder, where the language files lie.
#include <string>

namespace Vesperon {

// The full path of the program file. Throws ImpossibleStateException when
// the system cannot tell it (or it does not fit 260 characters).
std::string GetModulePath();
// That path without its last component ("C:\Vesperon" for
// "C:\Vesperon\Vesperon.exe", "C:\" for "C:\Vesperon.exe"); the same
// failure.
std::string GetModuleDirectory();
// The folder part of a path as the shell's PathRemoveFileSpec gives it.
std::string RemoveFileSpec(const std::string& path);

}  // namespace Vesperon
