// The host's own files, so that the profile export and import on the host
// write and read real files like the Windows build does.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/ProfileFiles.h"

namespace platform {
namespace {

class HostProfileFiles final : public IProfileFiles {
 public:
  bool Exists(const std::string& path) override {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
  }

  bool Delete(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool TempFileName(const std::string& directory, const std::string& prefix, std::string& path) override {
    // As Windows names them: prefix, four hexadecimal digits, ".TMP"; the
    // first free number (no test reads the number).
    for (unsigned unique = 1; unique <= 0xFFFFu; ++unique) {
      char name[16];
      std::snprintf(name, sizeof name, "%X.TMP", unique);
      path = (directory.empty() ? std::string("./") : directory) + prefix + name;
      const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
      if (fd >= 0) return close(fd) == 0;
    }
    return false;
  }

  bool Move(const std::string& from, const std::string& to) override {
    return !Exists(to) && std::rename(from.c_str(), to.c_str()) == 0;
  }

  bool Replace(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0;
  }

  bool ShortPath(const std::string& path, std::string& shortPath, unsigned bufferChars) override {
    // Host paths have no short form: the path itself, if it exists.
    if (!Exists(path) || path.size() + 1 > bufferChars) return false;
    shortPath = path;
    return true;
  }

  bool ToLocalTime(RegFileTime utc, LocalTimeFields& local) override {
    constexpr RegFileTime kUnixEpochAsFileTime = 116444736000000000ull;
    if (utc < kUnixEpochAsFileTime) return false;
    const std::time_t seconds = static_cast<std::time_t>((utc - kUnixEpochAsFileTime) / 10000000u);
    std::tm fields{};
    if (localtime_r(&seconds, &fields) == nullptr) return false;
    local = {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
             fields.tm_hour,        fields.tm_min,     fields.tm_sec};
    return true;
  }
};

}  // namespace

IProfileFiles& DefaultProfileFiles() {
  static HostProfileFiles files;
  return files;
}

}  // namespace platform
