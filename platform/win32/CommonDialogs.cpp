#include "platform/win32/CommonDialogs.h"

#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

constexpr char kDialogLibrary[] = "comdlg32.dll";

template <typename Function>
Function Dialog(const char* name) {
  return BindSystemFunction<Function, kDialogLibrary>(name);
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
