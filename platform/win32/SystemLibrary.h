#pragma once
// Libraries of the system, and only of the system. Windows looks for a
// library named without a path in the program's own folder before the
// system folder, so a file planted beside the program (a Downloads folder
// that any web page can write to) would run with the user's rights. Every
// library the program binds at run time is therefore loaded by its full
// path in the system folder, on every Windows generation.
#include <windows.h>

#include <string>

namespace platform {

// LoadLibrary of GetSystemDirectoryA + "\" + name; the libraries it needs in
// turn are looked for beside it first. nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// The system library `Library` (a name held in a static array), loaded at
// the first call and kept for the program's life: a start that never needs
// one of its functions never loads it.
template <const char* Library>
HMODULE SystemLibraryOnFirstUse() {
  static const HMODULE library = LoadSystemLibrary(Library);
  return library;
}

// The function `name` of that library; nullptr when the library or the
// function is missing.
template <typename Function, const char* Library>
Function BindSystemFunction(const char* name) {
  const HMODULE library = SystemLibraryOnFirstUse<Library>();
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// Called first thing at start-up: takes the program's folder and the current
// folder out of the library search where the system allows it
// (SetDefaultDllDirectories with the system folder only, else
// SetDllDirectoryA("")); both looked up at run time, so that systems
// without them still start.
void RestrictLibrarySearch();

// GetWindowsDirectoryA + "\" + name; empty when the folder cannot be read.
// Programs are searched like libraries, the program's folder first, so the
// system's own programs (the shell) are started by this full path.
std::string WindowsFolderPath(const char* name);

// WinExec of WindowsFolderPath(name): the program named is started from the
// Windows folder only. True when it started.
bool StartWindowsProgram(const char* name, int showCommand);

}  // namespace platform
