// The profile files through kernel32.
#include <windows.h>

#include <vector>

#include "platform/ProfileFiles.h"

namespace platform {
namespace {

class Win32ProfileFiles final : public IProfileFiles {
 public:
  bool Exists(const std::string& path) override {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
  }

  bool Delete(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }

  bool TempFileName(const std::string& directory, const std::string& prefix,
                    std::string& path) override {
    char buffer[MAX_PATH + 1] = {};
    if (GetTempFileNameA(directory.c_str(), prefix.c_str(), 0, buffer) == 0) return false;
    path = buffer;
    return true;
  }

  bool Move(const std::string& from, const std::string& to) override {
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
  }

  bool Replace(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  }

  bool ShortPath(const std::string& path, std::string& shortPath, unsigned bufferChars) override {
    std::vector<char> buffer(bufferChars + 1, '\0');
    const DWORD n = GetShortPathNameA(path.c_str(), buffer.data(), bufferChars);
    // A result as large as the buffer is the size it would need.
    if (n == 0 || n >= bufferChars) return false;
    shortPath.assign(buffer.data(), n);
    return true;
  }

  bool ToLocalTime(RegFileTime utc, LocalTimeFields& local) override {
    FILETIME universal{static_cast<DWORD>(utc & 0xFFFFFFFFu), static_cast<DWORD>(utc >> 32)};
    FILETIME localTime{};
    SYSTEMTIME fields{};
    if (!FileTimeToLocalFileTime(&universal, &localTime)) return false;
    if (!FileTimeToSystemTime(&localTime, &fields)) return false;
    local = {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
    return true;
  }
};

}  // namespace

IProfileFiles& DefaultProfileFiles() {
  static Win32ProfileFiles files;
  return files;
}

}  // namespace platform
