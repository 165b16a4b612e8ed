// Runs every path of the program that binds a library at run time (the
// dial-up hang-up, the process walk, the stand-by and hibernate functions,
// the profile copy, the sound, the Wake-on-LAN lookup), after the start-up
// step the program takes, with marker libraries planted beside it under
// those libraries' names. Each path must still work through the system's
// copy; the script that plants the markers then checks that none of them
// was loaded. One line per path; exit code 0 when every path worked.
//
//   planted_library_probe            the paths
//   planted_library_probe bare NAME  loads NAME by its bare name, as the
//                                    program must not: proves that a
//                                    planted marker is seen when it loads
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/DialUpConnections.h"
#include "actions/ProcessList.h"
#include "platform/NetworkSystem.h"
#include "platform/SoundPlayer.h"
#include "platform/Services.h"
#include "platform/win32/PowerFunctions.h"
#include "platform/win32/SystemLibrary.h"

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint32_t kAllAccess = 0xF003F;  // KEY_ALL_ACCESS
const char kScratchKey[] = "Software\\VesperonPlantedLibraryProbe";

bool HangUp() {
  try {
    std::vector<Vesperon::ConnectionInfo> list;
    Vesperon::ListDialUpConnections(list);
    Vesperon::HangUpConnectionsMatching({"no connection has this name"});
    return true;
  } catch (const Vesperon::Exception&) {
    return false;
  }
}

// The walk lists at least this probe.
bool ProcessWalk() {
  std::vector<std::string> names;
  return Vesperon::ListRunningProcessNames(names) && !names.empty();
}

// Bound as the stand-by and hibernate actions bind it, but never called.
bool SuspendFunction() {
  return platform::ProbeSystemFunction(platform::kSetSuspendStateFunction) ==
         platform::Binding::kBound;
}

bool ProfileCopy() {
  platform::IRegistry& registry = platform::Registry();
  const std::string root = kScratchKey;
  platform::RegKey made = 0, from = 0, to = 0;
  if (registry.CreateKey(platform::kCurrentUser, root + "\\From\\Tree", kAllAccess, made) == 0) registry.CloseKey(made);
  const bool copied = registry.OpenKey(platform::kCurrentUser, root + "\\From", kAllAccess, from) == 0 &&
                registry.CreateKey(platform::kCurrentUser, root + "\\To", kAllAccess, to) == 0 &&
                registry.CopyTree(from, "", to) == 0;
  for (const platform::RegKey key : {from, to}) {
    if (key != 0) registry.CloseKey(key);
  }
  registry.DeleteTree(platform::kCurrentUser, kScratchKey);
  return copied;
}

// A null name stops whatever sound plays: nothing is heard.
bool Sound() { return platform::SoundPlayer().Play(nullptr, 0); }

bool WakeOnLanLookup() {
  std::vector<platform::ArpEntry> table;
  return platform::Network().SendEcho(kLoopback, 1000) && platform::Network().ReadArpTable(table);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "bare") == 0) return LoadLibraryA(argv[2]) != nullptr ? 0 : 1;
  platform::RestrictLibrarySearch();
  const struct {
    const char* name;
    bool (*run)();
  } paths[] = {{"hang-up", HangUp},         {"process walk", ProcessWalk},
               {"suspend", SuspendFunction}, {"profile copy", ProfileCopy},
               {"sound", Sound},             {"wake-on-lan lookup", WakeOnLanLookup}};
  int failed = 0;
  for (const auto& path : paths) {
    const bool worked = path.run();
    std::printf("%s: %s\n", path.name, worked ? "works" : "FAILED");
    if (!worked) ++failed;
  }
  return failed == 0 ? 0 : 1;
}
