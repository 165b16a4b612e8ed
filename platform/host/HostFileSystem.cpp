// The host's own files, so that tests on the host read and list real files.
// The core builds Windows paths ("folder\name"); a backslash here is taken
// as the folder separator.
#include <fnmatch.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {
namespace {

std::string HostPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

class HostTextFile final : public ITextFile {
 public:
  explicit HostTextFile(std::FILE* file)
      : file_(file), lines_([this](char* buffer, std::size_t size) {
          return std::fread(buffer, 1, size, file_);
        }) {}
  ~HostTextFile() override { std::fclose(file_); }
  HostTextFile(const HostTextFile&) = delete;
  HostTextFile& operator=(const HostTextFile&) = delete;

  bool ReadLine(std::string& line) override { return lines_.Next(line); }

 private:
  std::FILE* file_;
  TextModeLines lines_;
};

class HostFileSystem final : public IFileSystem {
 public:
  bool ModuleFileName(std::string& path, unsigned bufferSize) override {
    std::vector<char> buffer(bufferSize + 1, '\0');
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), bufferSize);
    if (n <= 0 || static_cast<unsigned>(n) >= bufferSize) return false;
    path.assign(buffer.data(), static_cast<std::size_t>(n));
    return true;
  }

  std::unique_ptr<ITextFile> OpenTextFile(const std::string& path, std::uint32_t& error) override {
    std::FILE* file = std::fopen(HostPath(path).c_str(), "rb");
    if (!file) {
      error = static_cast<std::uint32_t>(errno);
      return nullptr;
    }
    error = 0;
    return std::make_unique<HostTextFile>(file);
  }

  std::vector<std::string> FindFiles(const std::string& pattern) override {
    const std::filesystem::path hostPattern = HostPath(pattern);
    const std::filesystem::path folder = hostPattern.has_parent_path() ? hostPattern.parent_path() : ".";
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename();
      // Windows compares names without regard to case.
      const bool matches = fnmatch(hostPattern.filename().c_str(), name.c_str(), FNM_CASEFOLD) == 0;
      if (matches && !entry.is_directory(error)) names.push_back(name);
    }
    return names;
  }
};

}  // namespace

IFileSystem& DefaultFileSystem() {
  static HostFileSystem fileSystem;
  return fileSystem;
}

}  // namespace platform
