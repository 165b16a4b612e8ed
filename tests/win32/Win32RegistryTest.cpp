// The Win32 registry against the API called directly.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Services.h"
#include "tests/support/RegistryTestSupport.h"

namespace {

using namespace platform;

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::DeleteSettingsRoot(); }
  void TearDown() override { testsupport::DeleteSettingsRoot(); }
};

// The interface's root constants are 32-bit; on 64-bit Windows the real
// predefined handles are sign-extended. Each must reach the same hive.
TEST_F(Win32RegistryTest, RootConstantsReachThePredefinedHives) {
  testsupport::WriteRaw(testsupport::SettingsPath("Global"), "Probe", kRegDword,
                        testsupport::Dword(0x01020304));
  DWORD value = 0, size = sizeof value, type = 0;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, testsupport::SettingsPath("Global").c_str(), "Probe",
                         RRF_RT_REG_DWORD, &type, &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, 0x01020304u);
  for (const auto& [root, hkey] : {std::pair{kLocalMachine, HKEY_LOCAL_MACHINE},
                                   std::pair{kUsers, HKEY_USERS}}) {
    DWORD viaApi = 0;
    std::uint32_t viaInterface = 0;
    ASSERT_EQ(RegQueryInfoKeyA(hkey, nullptr, nullptr, nullptr, &viaApi, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegKey key = 0;
    ASSERT_EQ(Registry().OpenKey(root, "", kKeyRead, key), kOk);
    EXPECT_EQ(Registry().QueryInfoKey(key, &viaInterface, nullptr), kOk);
    Registry().CloseKey(key);
    EXPECT_EQ(viaInterface, viaApi);
  }
}

}  // namespace
