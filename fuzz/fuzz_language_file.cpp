// Language files are plain text that users download, edit and drop beside
// the program, so any bytes can arrive. Loading any set of such a file must
// give the set asked for, or one of the format failures with a line number
// inside the file, and nothing else; a set that loads must answer each of
// its ids with the first text of that id.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "localization/Localization.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vesperon-fuzz-ldf-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return folder;
}

// Lines as the text reader splits them, counted loosely: every line break
// ends one line and a last line without one counts too. The failure's line
// number can never be beyond that.
std::size_t LineCountBound(const std::string& bytes) {
  std::size_t lines = 1;
  for (char c : bytes)
    if (c == '\n') ++lines;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::int32_t wanted = data[0] % 12;  // sets 0000 to 0011
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string path = Folder() + "/Fuzz.ldf";
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr, path);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  Vesperon::LocalizationProvider provider(Folder(), "Fuzz");
  try {
    Vesperon::StringSet set = provider.LoadStringSet(wanted);
    FUZZ_CHECK(set.GetSetId() == wanted, std::to_string(set.GetSetId()));
    for (const auto& [text, id] : set.Entries()) {
      FUZZ_CHECK(id >= 0 && id <= 9999, std::to_string(id));
      std::string first;
      for (const auto& [otherText, otherId] : set.Entries()) {
        if (otherId == id) {
          first = otherText;
          break;
        }
      }
      FUZZ_CHECK(set.GetString(id) == first, std::to_string(id));
    }
  } catch (const Vesperon::LocalizationException& failure) {
    FUZZ_CHECK(failure.code >= 0 && failure.code <= 3, std::to_string(failure.code));
    FUZZ_CHECK(failure.detail >= 1 &&
                   static_cast<std::size_t>(failure.detail) <= LineCountBound(bytes),
               std::to_string(failure.detail));
    if (failure.code == 0) FUZZ_CHECK(failure.detail == 1, std::to_string(failure.detail));
  }
  return 0;
}
