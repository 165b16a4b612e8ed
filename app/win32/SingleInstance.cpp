#include "app/win32/SingleInstance.h"

#include <optional>
#include <vector>

#include "model/OsVersion.h"
#include "settings/Profiles.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"

namespace {

// The simulation build has names of its own, so that a test of the shipped
// program never hands its start to a simulation left running, nor the
// other way round.
#ifdef VESPERON_SIMULATION
constexpr char kMarkName[] = "Vesperon.Simulation.Instance.";
constexpr char kReadyProperty[] = "Vesperon.Simulation.Instance";
#else
constexpr char kMarkName[] = "Vesperon.Instance.";
constexpr char kReadyProperty[] = "Vesperon.Instance";
#endif
// The tag of a hand-over among WM_COPYDATA messages: "VESP".
constexpr ULONG_PTR kHandOverTag = 0x56455350;
constexpr DWORD kPollMs = 50;

std::string MarkName() {
  char user[257] = {};
  DWORD size = sizeof user;
  if (!GetUserNameA(user, &size)) user[0] = '\0';
  // "Local\" is understood from Windows 2000 on; before, names have no
  // namespace and the bare name serves.
  const char* space = Vesperon::IsOsVersionAtLeast(0, 120) ? "Local\\" : "";
  return std::string(space) + kMarkName + user;
}

HWND FindReadyWindow() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM l) -> BOOL {
        if (!GetPropA(window, kReadyProperty)) return TRUE;
        *reinterpret_cast<HWND*>(l) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The stored spelling of an existing profile (names compare without regard
// to case, as the registry's keys do); "Default" is always there.
std::optional<std::string> StoredProfileName(const std::string& name) {
  if (lstrcmpiA(name.c_str(), DataSystem::kDefaultProfileName) == 0) return DataSystem::kDefaultProfileName;
  std::vector<std::string> profiles;
  try {
    // Only looked at: bad input writes nothing, not even the empty key
    // that listing a missing one would make.
    DataSystem::OpenExistingSettingsKey(
        DataSystem::JoinKeyPath(DataSystem::RootKeyPath, DataSystem::kProfilesSection),
        DataSystem::kHiveCurrentUser, platform::kKeyQueryValue);
    DataSystem::ListSubkeys(DataSystem::kProfilesSection, profiles, DataSystem::kHiveCurrentUser);
  } catch (const Vesperon::Exception&) {
    return std::nullopt;  // none can be made active either
  }
  for (const std::string& profile : profiles) {
    if (lstrcmpiA(profile.c_str(), name.c_str()) == 0) return profile;
  }
  return std::nullopt;
}

}  // namespace

bool CSingleInstance::Claim() {
  HANDLE mark = CreateEventA(nullptr, TRUE, FALSE, MarkName().c_str());
  // Without a mark (the name taken by another kind of object) the copy runs
  // on its own, as every copy did before.
  if (mark != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mark);
    return false;
  }
  mark_.Attach(mark);
  claimed_ = true;
  return true;
}

HWND CSingleInstance::WaitForRunningWindow(std::uint32_t waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindReadyWindow()) return window;
    if (Claim()) return nullptr;
    if (GetTickCount() - start >= waitMs) return nullptr;
    Sleep(kPollMs);
  }
}

int CSingleInstance::HandOver(HWND window, std::string_view commandLine) {
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(commandLine.size()),
                      const_cast<char*>(commandLine.data())};
  DWORD_PTR answer = Vesperon::kCommandNoAnswer;
  if (!SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                           SMTO_NORMAL | SMTO_ABORTIFHUNG, Vesperon::kCommandAnswerMs, &answer)) {
    return Vesperon::kCommandNoAnswer;
  }
  if (answer == Vesperon::kCommandApplied || answer == Vesperon::kCommandBadInput) {
    return static_cast<int>(answer);
  }
  return Vesperon::kCommandNoAnswer;
}

bool CSingleInstance::ReadHandOver(LPARAM copyData, std::string& commandLine) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
  if (data == nullptr || data->dwData != kHandOverTag) return false;
  const char* text = static_cast<const char*>(data->lpData);
  commandLine.assign(text ? text : "", text ? data->cbData : 0);
  return true;
}

void CSingleInstance::MarkReady(HWND window) { SetPropA(window, kReadyProperty, reinterpret_cast<HANDLE>(1)); }

void CSingleInstance::Unmark(HWND window) { RemovePropA(window, kReadyProperty); }

Vesperon::CommandParse ReadStartCommand(std::string_view commandLine) {
  Vesperon::CommandParse parse = Vesperon::ParseCommandLine(commandLine, Vesperon::Now());
  if (!parse.ok || !parse.request.profile) return parse;
  if (const std::optional<std::string> stored = StoredProfileName(*parse.request.profile)) {
    parse.request.profile = *stored;
  } else {
    parse.ok = false;
    parse.problem = "There is no profile \"" + *parse.request.profile + "\".";
  }
  return parse;
}

void ShowCommandUsage(HWND owner, const std::string& problem) {
  const std::string usage = Vesperon::CommandLineUsage();
  const std::string text = problem.empty() ? usage : problem + "\n\n" + usage;
  MessageBoxA(owner, text.c_str(), "Vesperon",
              MB_OK | (problem.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}
