// The program's files through kernel32.
#include <windows.h>

#include <vector>

#include "platform/FileSystem.h"
#include "platform/win32/Handle.h"

namespace platform {
namespace {

class Win32TextFile final : public ITextFile {
 public:
  explicit Win32TextFile(HANDLE file)
      : file_(file), lines_([this](char* buffer, std::size_t size) {
          DWORD read = 0;
          if (!ReadFile(file_, buffer, static_cast<DWORD>(size), &read, nullptr)) return std::size_t{0};
          return static_cast<std::size_t>(read);
        }) {}
  // The reader holds `this`.
  Win32TextFile(const Win32TextFile&) = delete;
  Win32TextFile& operator=(const Win32TextFile&) = delete;

  bool ReadLine(std::string& line) override { return lines_.Next(line); }

 private:
  win::CHandle file_;
  TextModeLines lines_;
};

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

  std::unique_ptr<ITextFile> OpenTextFile(const std::string& path, std::uint32_t& error) override {
    // Sharing reads only: nobody rewrites the file under the reader.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      return nullptr;
    }
    error = 0;
    return std::make_unique<Win32TextFile>(file);
  }

  std::vector<std::string> FindFiles(const std::string& pattern) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }
};

}  // namespace

IFileSystem& DefaultFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace platform
