#include "model/ModulePath.h"

#include "model/Exception.h"
#include "platform/FileSystem.h"

namespace Vesperon {
namespace {
constexpr unsigned kPathBuffer = 261;  // MAX_PATH + 1
}  // namespace

std::string GetModulePath() {
  std::string path;
  if (!platform::FileSystem().ModuleFileName(path, kPathBuffer)) throw ImpossibleStateException();
  return path;
}

std::string GetModuleDirectory() { return RemoveFileSpec(GetModulePath()); }

std::string RemoveFileSpec(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) {
    // "C:file" keeps its drive; a bare name has no folder.
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
  }
  // The root keeps its separator: "C:\" and "\".
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

}  // namespace Vesperon
