#pragma once
// The file calls of the profile export and import: whether a file is there,
// deleting, moving and replacing one, a fresh temporary name in a folder, the short
// (8.3) form of a path, and the local time of a registry time stamp. The
// Win32 build's default is the real system (platform/win32); the host
// build's works on the host's own files (platform/host), so that tests on
// both builds export to and import from real files.
#include <string>

#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/ServiceSlot.h"

namespace platform {

class IProfileFiles {
 public:
  virtual ~IProfileFiles() = default;
  // FindFirstFileA finds something at `path`.
  virtual bool Exists(const std::string& path) = 0;
  // DeleteFileA.
  virtual bool Delete(const std::string& path) = 0;
  // GetTempFileNameA(directory, prefix, 0): makes an empty file with a name
  // no other file in `directory` has and returns its path.
  virtual bool TempFileName(const std::string& directory, const std::string& prefix,
                            std::string& path) = 0;
  // MoveFileA: fails when `to` exists.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING: `from` takes the place of
  // `to`, which may exist; on failure both stay as they were. The NT line
  // only (the 9x line has no such call).
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  // GetShortPathNameA into a buffer of `bufferChars` characters; false when
  // the path does not exist or its short form does not fit.
  virtual bool ShortPath(const std::string& path, std::string& shortPath,
                         unsigned bufferChars) = 0;
  // FileTimeToLocalFileTime, then FileTimeToSystemTime.
  virtual bool ToLocalTime(RegFileTime utc, LocalTimeFields& local) = 0;
};

IProfileFiles& DefaultProfileFiles();

using ProfileFilesSlot = ServiceSlot<IProfileFiles, DefaultProfileFiles>;
inline IProfileFiles& ProfileFiles() { return ProfileFilesSlot::Get(); }
using ScopedProfileFiles = ProfileFilesSlot::Scoped;

}  // namespace platform
