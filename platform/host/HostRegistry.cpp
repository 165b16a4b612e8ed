// The host build keeps its registry in memory, one for the whole process.
#include "platform/RegistryPrivileges.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"

namespace platform {

IRegistry& DefaultRegistry() {
  static MemoryRegistry registry;
  return registry;
}

// The in-memory registry has no privileges to hold.
bool SetBackupRestorePrivileges(bool) { return true; }

}  // namespace platform
