#include "platform/win32/SystemLibrary.h"

#include <string>

namespace platform {

namespace {

using FolderReader = UINT(WINAPI*)(LPSTR, UINT);

std::string InFolder(FolderReader read, const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = read(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';
  return path + name;
}

}  // namespace

std::string WindowsFolderPath(const char* name) { return InFolder(&GetWindowsDirectoryA, name); }

bool StartWindowsProgram(const char* name, int showCommand) {
  const std::string path = WindowsFolderPath(name);
  // WinExec reports success with a value above 31.
  return !path.empty() && WinExec(path.c_str(), static_cast<UINT>(showCommand)) > 31;
}

HMODULE LoadSystemLibrary(const char* name) {
  const std::string path = InFolder(&GetSystemDirectoryA, name);
  if (path.empty()) return nullptr;
  // With the full path, the altered search order looks for the library's
  // own imports in its folder (the system folder), never in the program's.
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictLibrarySearch() {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return;
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr && setDefault(kSearchSystem32)) return;
  const auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDirectory != nullptr) setDirectory("");
}

}  // namespace platform
