#pragma once
// The file-system calls of the core: where the program file is, and (added
// by the parts that need them) reading and listing files. The Win32 build's
// default is the real system (platform/win32); the host build's works on
// the host's files (platform/host), so that tests on both builds use real
// files they write themselves.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/ServiceSlot.h"

namespace platform {

// A text file open for reading, line by line as the C runtime's text mode
// gives them: "\r\n" and "\n" end a line and are not part of it, a Ctrl-Z
// ends the file, and a last line without a line break still counts.
class ITextFile {
 public:
  virtual ~ITextFile() = default;
  // The next line; false at the end of the file (or when reading fails).
  virtual bool ReadLine(std::string& line) = 0;
};

// The text-mode splitting both builds share: `fill` puts up to `size` bytes
// into `buffer` and returns how many (0 at the end).
class TextModeLines {
 public:
  using Fill = std::function<std::size_t(char* buffer, std::size_t size)>;
  explicit TextModeLines(Fill fill) : fill_(std::move(fill)) {}
  bool Next(std::string& line);

 private:
  Fill fill_;
  std::vector<char> buffer_ = std::vector<char>(4096);
  std::size_t begin_ = 0, end_ = 0;
  bool ended_ = false;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // GetModuleFileNameA of the program's own module into a buffer of
  // `bufferSize` bytes; false when the call fails or the path was cut.
  virtual bool ModuleFileName(std::string& path, unsigned bufferSize) = 0;
  // Opens an existing file read-only for sequential reading; while it is
  // open others may read it but not write it. nullptr, with the system's
  // error code in `error`, when it cannot be opened.
  virtual std::unique_ptr<ITextFile> OpenTextFile(const std::string& path,
                                                  std::uint32_t& error) = 0;
  // The names (without folder) of the files that match `pattern`, a folder
  // and a last component with "*" and "?" (FindFirstFileA), in the file
  // system's order. Folders are not listed; no match is an empty list.
  virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;
};

IFileSystem& DefaultFileSystem();

using FileSystemSlot = ServiceSlot<IFileSystem, DefaultFileSystem>;
inline IFileSystem& FileSystem() { return FileSystemSlot::Get(); }
using ScopedFileSystem = FileSystemSlot::Scoped;

}  // namespace platform
