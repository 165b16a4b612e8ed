// The program's files through kernel32.
#include <windows.h>

#include <vector>

#include "platform/FileSystem.h"

namespace platform {
namespace {

class Win32FileSystem final : public IFileSystem {
 public:
  bool ModuleFileName(std::string& path, unsigned bufferSize) override {
    std::vector<char> buffer(bufferSize + 1, '\0');
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), bufferSize);
    // A full buffer means the path was cut (the 9x line does not say so).
    if (n == 0 || n >= bufferSize) return false;
    path.assign(buffer.data(), n);
    return true;
  }
};

}  // namespace

IFileSystem& DefaultFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace platform
