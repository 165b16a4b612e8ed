#include "platform/win32/CommonDialogs.h"

#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

HMODULE DialogLibrary() {
  static const HMODULE library = LoadSystemLibrary("comdlg32.dll");
  return library;
}

template <typename Function>
Function Dialog(const char* name) {
  const HMODULE library = DialogLibrary();
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

}  // namespace

BOOL ChooseColour(CHOOSECOLORA& choose) {
  const auto chooseColour = Dialog<BOOL(WINAPI*)(CHOOSECOLORA*)>("ChooseColorA");
  return chooseColour != nullptr ? chooseColour(&choose) : FALSE;
}

BOOL ChooseFileName(bool open, OPENFILENAMEA& record) {
  const auto chooseFile = Dialog<BOOL(WINAPI*)(OPENFILENAMEA*)>(open ? "GetOpenFileNameA"
                                                                       : "GetSaveFileNameA");
  return chooseFile != nullptr ? chooseFile(&record) : FALSE;
}

}  // namespace platform
