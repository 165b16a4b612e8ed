#pragma once
// The file-system calls of the core: where the program file is, and (added
// by the parts that need them) reading and listing files. The Win32 build's
// default is the real system (platform/win32); the host build's works on
// the host's files (platform/host), so that tests on both builds use real
// files they write themselves.
#include <string>

namespace platform {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // GetModuleFileNameA of the program's own module into a buffer of
  // `bufferSize` bytes; false when the call fails or the path was cut.
  virtual bool ModuleFileName(std::string& path, unsigned bufferSize) = 0;
};

IFileSystem& DefaultFileSystem();

namespace detail {
inline IFileSystem* g_fileSystem = nullptr;
}  // namespace detail

inline IFileSystem& FileSystem() {
  return detail::g_fileSystem ? *detail::g_fileSystem : DefaultFileSystem();
}
// Installs a file system; nullptr goes back to the build's default. Returns
// the one installed before.
inline IFileSystem* SetFileSystem(IFileSystem* fileSystem) {
  IFileSystem* const previous = detail::g_fileSystem;
  detail::g_fileSystem = fileSystem;
  return previous;
}

class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(IFileSystem& fileSystem) : previous_(SetFileSystem(&fileSystem)) {}
  ~ScopedFileSystem() { SetFileSystem(previous_); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  IFileSystem* previous_;
};

}  // namespace platform
