// The host's own files, so that tests on the host read and list real files.
// The core builds Windows paths ("folder\name"); a backslash here is taken
// as the folder separator.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
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
    std::vector<std::string> names;
    const std::string hostPattern = HostPath(pattern);
    const std::size_t slash = hostPattern.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : hostPattern.substr(0, slash + 1);
    const std::string mask = slash == std::string::npos ? hostPattern : hostPattern.substr(slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
      // Windows compares names without regard to case.
      if (fnmatch(mask.c_str(), entry->d_name, FNM_CASEFOLD) != 0) continue;
      struct stat info {};
      if (stat((folder + "/" + entry->d_name).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
      names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return names;
  }
};

}  // namespace

IFileSystem& DefaultFileSystem() {
  static HostFileSystem fileSystem;
  return fileSystem;
}

}  // namespace platform
