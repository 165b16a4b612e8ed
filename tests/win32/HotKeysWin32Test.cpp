// Hot keys on the real system: global atoms, registration and its refusals. (A real key press reaching its action: ShortcutsPageE2eTest.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/HotKeys.h"

using namespace HotKeys;

namespace {

// Ctrl+Shift+F9: bound by no desktop, and not one of the Ctrl+Alt+Fn
// combinations the X server keeps for itself (console switching), which
// never reach a client.
constexpr UINT kKey = VK_F9;
constexpr std::uint16_t kModifier = kHotKeyControl | kHotKeyShift;
const std::string kName = "Ctrl + Shift + F9 (test)";

platform::WindowHandle Handle(HWND window) { return reinterpret_cast<platform::WindowHandle>(window); }

class HotKeysWin32Test : public ::testing::Test {
 protected:
  HotKeysWin32Test() { ResetRegisteredHotKeysForTesting(); }
  ~HotKeysWin32Test() override {
    UnregisterAllHotKeys(Handle(window));
    DestroyWindow(window);
  }
  HWND window = CreateWindowExA(0, "STATIC", "Vesperon hot-key target", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
  std::string atomName = std::string(kHotKeyAtomPrefix) + kName;
};

TEST_F(HotKeysWin32Test, AtomsAndRegistrationOnTheRealSystem) {
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(GlobalFindAtomA(atomName.c_str()), 0);

  RegisterHotKeyRecord(Handle(window), kName, kKey, kModifier);
  const RegisteredHotKey entry = RegisteredHotKeyAt(0);
  EXPECT_EQ(entry.Id, GlobalFindAtomA(atomName.c_str()));
  EXPECT_GE(entry.Id, 0xC000u);  // a string atom

  // The same combination again: refused, and its atom reference is given back.
  try {
    RegisterHotKeyRecord(Handle(window), kName, kKey, kModifier);
    FAIL() << "a combination registered twice";
  } catch (const HotKeyException& e) {
    EXPECT_EQ(e.code, HotKeyException::kRegistrationRefused);
  }
  EXPECT_EQ(RegisteredHotKeyCount(), 1u);

  EXPECT_FALSE(UnregisterHotKeyByName(Handle(window), kName));
  EXPECT_EQ(GlobalFindAtomA(atomName.c_str()), 0);  // no reference left behind
  // The combination is free again.
  ASSERT_TRUE(RegisterHotKey(window, 1, MOD_CONTROL | MOD_SHIFT, kKey));
  EXPECT_TRUE(UnregisterHotKey(window, 1));
}

}  // namespace
