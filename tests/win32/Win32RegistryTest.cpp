// The Win32 registry against the API called directly.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Services.h"

namespace {

using namespace platform;

// The interface's root constants are 32-bit; on 64-bit Windows the real
// predefined handles are sign-extended. Each must reach the same hive. (The
// current user's hive: every end-to-end case reads what the program wrote
// there; the users' hive: the contract suites mount their files below it.)
TEST(Win32RegistryTest, LocalMachineConstantReachesThePredefinedHive) {
  DWORD viaApi = 0;
  std::uint32_t viaInterface = 0;
  ASSERT_EQ(RegQueryInfoKeyA(HKEY_LOCAL_MACHINE, nullptr, nullptr, nullptr, &viaApi, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  RegKey key = 0;
  ASSERT_EQ(Registry().OpenKey(kLocalMachine, "", kKeyRead, key), kOk);
  EXPECT_EQ(Registry().QueryInfoKey(key, &viaInterface, nullptr), kOk);
  Registry().CloseKey(key);
  EXPECT_EQ(viaInterface, viaApi);
}

}  // namespace
