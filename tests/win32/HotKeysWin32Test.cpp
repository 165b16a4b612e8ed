// Hot keys on the real system: global atoms, registration and its refusals. (A real key press reaching its action: ShortcutsPageE2eTest.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/HotKeys.h"
#include "tests/support/Thrown.h"

using namespace HotKeys;

namespace {

// Ctrl+Shift+F9: bound by no desktop, and not one of the Ctrl+Alt+Fn
// combinations the X server keeps for itself (console switching), which
// never reach a client.
constexpr UINT kKey = VK_F9;
constexpr std::uint16_t kModifier = kHotKeyControl | kHotKeyShift;
const std::string kName = "Ctrl + Shift + F9 (test)";

TEST(HotKeysWin32Test, AtomsAndRegistrationOnTheRealSystem) {
  ResetRegisteredHotKeysForTesting();
  HWND window = CreateWindowExA(0, "STATIC", "Vesperon hot-key target", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<platform::WindowHandle>(window);
  const std::string atomName = std::string(kHotKeyAtomPrefix) + kName;
  ASSERT_EQ(GlobalFindAtomA(atomName.c_str()), 0);

  RegisterHotKeyRecord(handle, kName, kKey, kModifier);
  const RegisteredHotKey entry = RegisteredHotKeyAt(0);
  EXPECT_EQ(entry.Id, GlobalFindAtomA(atomName.c_str()));
  EXPECT_GE(entry.Id, 0xC000u);  // a string atom

  // The same combination again: refused, and its atom reference is given back.
  const auto again = [&] { RegisterHotKeyRecord(handle, kName, kKey, kModifier); };
  EXPECT_EQ(testing_support::CodeOf<HotKeyException>(again), HotKeyException::kRegistrationRefused);
  EXPECT_EQ(RegisteredHotKeyCount(), 1u);

  EXPECT_FALSE(UnregisterHotKeyByName(handle, kName));
  EXPECT_EQ(GlobalFindAtomA(atomName.c_str()), 0);  // no reference left behind
  // The combination is free again.
  ASSERT_TRUE(RegisterHotKey(window, 1, MOD_CONTROL | MOD_SHIFT, kKey));
  EXPECT_TRUE(UnregisterHotKey(window, 1));
  UnregisterAllHotKeys(handle);
  DestroyWindow(window);
}

}  // namespace
