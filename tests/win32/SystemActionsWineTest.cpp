// The kill action, the process trigger and the magic packet on the real
// Windows services. The only process ended is a notepad.exe this test starts
// itself, and only when no other notepad runs; the only datagrams go to
// 127.0.0.1. Settings live in an in-memory registry.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win32/LoopbackReceiver.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actions/ProcessList.h"
#include "actions/WakeOnLan.h"
#include "model/Trigger.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"

namespace {

struct Walk {
  std::set<std::uint32_t> ids;  // the system's own long-lived processes
  std::vector<std::uint32_t> notepads;
};

// Processes that live as long as the system does. Other tests start and end
// short-lived processes while this one runs, so only these can show that the
// kill action ended nothing but its target.
bool IsLongLived(const std::string& upperName) {
  static const char* const kNames[] = {"SERVICES.EXE", "WINEDEVICE.EXE", "PLUGPLAY.EXE",
                                       "SVCHOST.EXE",  "RPCSS.EXE",      "EXPLORER.EXE"};
  return std::find(std::begin(kNames), std::end(kNames), upperName) != std::end(kNames);
}

bool Collect(std::uint32_t processId, std::uint16_t task, const char* name, std::uintptr_t context) {
  Walk& walk = *reinterpret_cast<Walk*>(context);
  if (task != 0) return true;
  if (IsLongLived(Vesperon::UpperCaseCopy(name))) walk.ids.insert(processId);
  if (Vesperon::UpperCaseCopy(name) == "NOTEPAD.EXE") walk.notepads.push_back(processId);
  return true;
}

Walk TakeWalk() {
  Walk walk;
  Vesperon::EnumerateProcesses(Collect, reinterpret_cast<std::uintptr_t>(&walk));
  return walk;
}

Vesperon::TriggerState TriggerState(const Vesperon::ProcessTrigger& trigger) {
  Vesperon::TimeSpan left;
  return trigger.Evaluate(left);
}

// A notepad.exe of this test's own; ended (if still running) and released
// when the test ends, whatever it asserted.
class OwnNotepad {
 public:
  OwnNotepad() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    std::string command = "\"" + std::string(system) + "\\notepad.exe\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                              nullptr, nullptr, &startup, &info_) != 0;
  }
  ~OwnNotepad() {
    if (!started_) return;
    // Ours to end: started above.
    if (Running()) {
      TerminateProcess(info_.hProcess, 0);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  OwnNotepad(const OwnNotepad&) = delete;
  OwnNotepad& operator=(const OwnNotepad&) = delete;

  bool Started() const { return started_; }
  std::uint32_t Id() const { return info_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool WaitForEnd(DWORD milliseconds) const {
    return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

TEST(Win32KillActionTest, EndsOnlyTheNotepadItStartedAndTheProcessTriggerSeesIt) {
  if (!TakeWalk().notepads.empty()) {
    GTEST_SKIP() << "a notepad.exe this test did not start is running; it must not be ended";
  }
  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard(registry);
  const Vesperon::ProcessTrigger trigger("notepad.exe");
  ASSERT_EQ(TriggerState(trigger), Vesperon::TriggerState::Due) << "no notepad runs yet";

  OwnNotepad notepad;
  ASSERT_TRUE(notepad.Started()) << GetLastError();
  // A process that has only just started may not be listed yet.
  Walk before;
  for (int attempt = 0; attempt < 50; ++attempt) {
    before = TakeWalk();
    if (!before.notepads.empty()) break;
    Sleep(100);
  }
  ASSERT_TRUE(notepad.Running());
  ASSERT_FALSE(before.notepads.empty()) << "the walk does not list the started notepad";
  if (before.notepads != std::vector<std::uint32_t>{notepad.Id()}) {
    GTEST_SKIP() << "another notepad.exe started meanwhile; the pattern would end it too";
  }
  EXPECT_EQ(TriggerState(trigger), Vesperon::TriggerState::Waiting);

  const std::string section =
      "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  // Another case than the walk reports: the match is case-blind.
  DataSystem::WriteStrings({DataSystem::kToKill}, {"NotePad.Exe"}, section,
                           DataSystem::kHiveCurrentUser);
  Vesperon::KillMatchingProcesses();

  ASSERT_TRUE(notepad.WaitForEnd(5000)) << "the kill action left the notepad running";
  const Walk after = TakeWalk();
  EXPECT_TRUE(after.notepads.empty());
  ASSERT_FALSE(before.ids.empty()) << "no system process to watch";
  for (const std::uint32_t id : before.ids) {
    if (id != notepad.Id()) {
      EXPECT_EQ(after.ids.count(id), 1u) << "process " << id << " ended";
    }
  }
  EXPECT_EQ(TriggerState(trigger), Vesperon::TriggerState::Due);
}

// The magic packet goes to port 7.
struct EchoPortReceiver : testing_support::LoopbackReceiver {
  EchoPortReceiver() : LoopbackReceiver(7) {}
};

std::vector<std::uint8_t> ExpectedPacket(const std::vector<std::uint8_t>& mac) {
  std::vector<std::uint8_t> packet(6, 0xFF);
  for (int i = 0; i < 20; ++i) packet.insert(packet.end(), mac.begin(), mac.end());
  return packet;
}

// The action reads the target from the active profile; the mask of all ones
// makes 127.0.0.1 its own broadcast address, so the packet stays on loopback.
TEST(Win32WakeOnLanTest, ActionSendsTheStoredProfilesPacket) {
  EchoPortReceiver receiver;
  if (receiver.bindError == WSAEACCES) {
    GTEST_SKIP() << "port 7 needs privileges this run does not have (WSAEACCES)";
  }
  ASSERT_EQ(receiver.bindError, 0) << "port 7 on 127.0.0.1 cannot be bound";
  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard(registry);
  const std::string section =
      "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  DataSystem::WriteNumbers({DataSystem::kIPAddr, DataSystem::kSubnet}, {0x7F000001u, 0xFFFFFFFFu},
                           section, DataSystem::kHiveCurrentUser);
  DataSystem::WriteStrings({DataSystem::kMACAddr}, {"0A1B2C3D4E5F"}, section,
                           DataSystem::kHiveCurrentUser);
  Vesperon::WakeOnLan();
  EXPECT_EQ(receiver.Receive(3000), ExpectedPacket({0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
  EXPECT_EQ(receiver.Receive(200), std::nullopt) << "one datagram per action";
}

}  // namespace
