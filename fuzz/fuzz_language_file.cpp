// Language files are plain text that users download, edit and drop beside
// the program, so any bytes can arrive. Loading any set of such a file must
// give the set asked for, or one of the format failures with a line number
// inside the file, and nothing else; a set that loads must answer each of
// its ids with the first text of that id.
#include <algorithm>

#include "fuzz/FuzzSupport.h"
#include "localization/Localization.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::int32_t wanted = data[0] % 12;  // sets 0000 to 0011
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string path = fuzzsupport::WriteTempFile("Fuzz.ldf", data + 1, size - 1);
  // Every line break ends a line and a last line without one counts too:
  // a failure's line number can never be beyond that.
  const std::size_t lineBound = 1 + std::count(bytes.begin(), bytes.end(), '\n');
  Vesperon::LocalizationProvider provider(path.substr(0, path.rfind('/')), "Fuzz");
  try {
    Vesperon::StringSet set = provider.LoadStringSet(wanted);
    FUZZ_CHECK(set.GetSetId() == wanted, std::to_string(set.GetSetId()));
    for (const auto& [text, id] : set.Entries()) {
      FUZZ_CHECK(id >= 0 && id <= 9999, std::to_string(id));
      const auto first = std::find_if(set.Entries().begin(), set.Entries().end(),
                                      [id = id](const auto& entry) { return entry.second == id; });
      FUZZ_CHECK(set.GetString(id) == first->first, std::to_string(id));
    }
  } catch (const Vesperon::LocalizationException& failure) {
    FUZZ_CHECK(failure.code >= 0 && failure.code <= 3, std::to_string(failure.code));
    FUZZ_CHECK(failure.detail >= 1 && static_cast<std::size_t>(failure.detail) <= lineBound,
               std::to_string(failure.detail));
    if (failure.code == 0) FUZZ_CHECK(failure.detail == 1, std::to_string(failure.detail));
  }
  return 0;
}
