#include "app/win32/DdeNameService.h"

namespace {

HDDEDATA CALLBACK AcceptEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(TRUE));
}

}  // namespace

CDdeNameService::CDdeNameService(const char* name) {
  if (DdeInitializeA(&instance_, &AcceptEverything, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR) {
    instance_ = 0;
    return;
  }
  name_ = DdeCreateStringHandleA(instance_, name, CP_WINANSI);
  if (name_) DdeNameService(instance_, name_, nullptr, DNS_REGISTER);
}

CDdeNameService::~CDdeNameService() {
  if (!instance_) return;
  if (name_) {
    DdeNameService(instance_, name_, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance_, name_);
  }
  DdeUninitialize(instance_);
}
