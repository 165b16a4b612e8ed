#pragma once
// Saving a key tree to a file and mounting a saved file need the backup and
// restore privileges on the NT line. The callers that save or load enable
// both around the call and drop them again afterwards; on a platform without
// privileges this does nothing and succeeds.
namespace platform {

// Enables (or disables) SeBackupPrivilege and SeRestorePrivilege for the
// process. False when the token does not hold them or cannot be adjusted.
bool SetBackupRestorePrivileges(bool enable);

}  // namespace platform
