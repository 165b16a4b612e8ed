// The host's own files, so that tests on the host read and list real files.
#include <unistd.h>

#include <vector>

#include "platform/FileSystem.h"

namespace platform {
namespace {

class HostFileSystem final : public IFileSystem {
 public:
  bool ModuleFileName(std::string& path, unsigned bufferSize) override {
    std::vector<char> buffer(bufferSize + 1, '\0');
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), bufferSize);
    if (n <= 0 || static_cast<unsigned>(n) >= bufferSize) return false;
    path.assign(buffer.data(), static_cast<std::size_t>(n));
    return true;
  }
};

}  // namespace

IFileSystem& DefaultFileSystem() {
  static HostFileSystem fileSystem;
  return fileSystem;
}

}  // namespace platform
