#pragma once
// Announces the running program by a DDE service name for as long as the
// object lives. The service only says that the program runs: every
// transaction is accepted and nothing else happens.
#include <windows.h>
#include <ddeml.h>

class CDdeNameService {
 public:
  // Without DDE (initialisation refused) the program runs unannounced.
  explicit CDdeNameService(const char* name);
  ~CDdeNameService();
  CDdeNameService(const CDdeNameService&) = delete;
  CDdeNameService& operator=(const CDdeNameService&) = delete;

 private:
  DWORD instance_ = 0;
  HSZ name_ = nullptr;
};
