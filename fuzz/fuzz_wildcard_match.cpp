// Process and connection patterns come from the user and from stored
// profiles: the matcher must agree with a plain table-filling matcher on
// every pattern and name, whatever bytes they hold. The input is the
// pattern, a zero byte, then the name.
#include "fuzz/FuzzSupport.h"
#include "model/WildcardMatch.h"

namespace {

// matches[i][j]: the first i pattern characters match the first j name characters.
bool ReferenceMatch(const std::string& pattern, const std::string& name) {
  std::vector<std::vector<char>> matches(pattern.size() + 1, std::vector<char>(name.size() + 1, 0));
  matches[0][0] = 1;
  for (std::size_t i = 1; i <= pattern.size(); ++i) {
    const char p = pattern[i - 1];
    matches[i][0] = p == '*' && matches[i - 1][0];
    for (std::size_t j = 1; j <= name.size(); ++j) {
      if (p == '*') {
        matches[i][j] = matches[i - 1][j] || matches[i][j - 1];
      } else {
        matches[i][j] = (p == '?' || p == name[j - 1]) && matches[i - 1][j - 1];
      }
    }
  }
  return matches[pattern.size()][name.size()] != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Quadratic reference: keep the inputs to what a pattern field can hold.
  if (size > 1024) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string pattern = input.substr(0, split);
  std::string name = split == std::string::npos ? std::string() : input.substr(split + 1);
  name = name.substr(0, name.find('\0'));  // the matcher sees zero-terminated texts

  const bool got = Vesperon::WildcardMatch(pattern, name);
  FUZZ_CHECK(got == ReferenceMatch(pattern, name), "pattern '" + pattern + "' name '" + name + "'");
  return 0;
}
