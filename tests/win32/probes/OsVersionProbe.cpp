// Classifies the Windows version this process runs on and compares the code
// with the one expected on the command line. Run under Wine with a
// per-program version setting, it proves the classification on the real
// GetVersionExA answer of each Windows version Wine can pretend to be.
#include <cstdio>
#include <cstdlib>

#include "model/Exception.h"
#include "model/OsVersion.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s EXPECTED_CODE\n", argv[0]);
    return 2;
  }
  const long expected = std::strtol(argv[1], nullptr, 10);
  try {
    const long code = Vesperon::GetOsVersionCode();
    std::printf("OsVersionCode %ld (expected %ld)\n", code, expected);
    return code == expected ? 0 : 1;
  } catch (const Vesperon::Exception&) {
    std::printf("classification failed (expected %ld)\n", expected);
    return 1;
  }
}
