// The bound system functions: where each is offered, what it binds, its failure codes.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "actions/BoundFunctions.h"
#include "settings/StoreExceptions.h"
#include "tests/support/PowerTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

class BoundFunctionsTest : public PowerFixture {
 protected:
  BoundFunctionsTest() { SetBrowserVersion("6.0.2900.2180"); }
};

struct Wrapper {
  const char* library;
  const char* function;
  std::set<std::string> offeredOn;     // names of AllSystems()
  std::function<std::string()> call;   // with sample arguments; the result as text
  std::string callLine;                // what the fake writes for that call
};

const std::set<std::string> k2000AndLater = {"2000", "XP", "2003", "Vista", "10"};
const std::set<std::string> kNtLine = {"NT 3.51", "NT 4.0", "2000", "XP", "2003", "Vista", "10"};

std::vector<Wrapper> Wrappers() {
  return {
      {"User32.dll", "LockWorkStation", k2000AndLater,
       [] { return std::to_string(DynLockWorkStation()); }, "User32.dll!LockWorkStation()"},
      {"Powrprof.dll", "SetSuspendState", {"98", "Me", "2000", "XP", "2003", "Vista", "10"},
       [] { return std::to_string(DynSetSuspendState(true, false, true)); },
       "Powrprof.dll!SetSuspendState(1, 0, 1)"},
      {"User32.dll", "SetLayeredWindowAttributes", k2000AndLater,
       [] {
         return std::to_string(DynSetLayeredWindowAttributes(0x3003A, 0, 217, kLayeredWindowAlpha));
       },
       "User32.dll!SetLayeredWindowAttributes(0x3003A, 0x0, 217, 0x2)"},
      {"Advapi32.dll", "SetServiceStatus", kNtLine,
       [] {
         platform::ServiceStatusRecord status{0x10, 4, 1, 0, 0, 0, 0};
         return std::to_string(DynSetServiceStatus(0xBEEF, status));
       },
       "Advapi32.dll!SetServiceStatus(0xBEEF, {type 0x10, state 4, accepted 0x1, exit 0, "
       "specific 0, check 0, wait 0})"},
      {"Advapi32.dll", "LookupPrivilegeValueA", kNtLine,
       [] {
         platform::Luid luid;
         const bool found = DynLookupPrivilegeValue(nullptr, "SeBackupPrivilege", luid);
         return std::to_string(found) + " " + std::to_string(luid.lowPart);
       },
       "Advapi32.dll!LookupPrivilegeValueA(null, SeBackupPrivilege)"},
      {"Advapi32.dll", "AdjustTokenPrivileges", kNtLine,
       [] {
         // A token that is not open: the adjustment reports failure.
         const platform::PrivilegeRecord record{1, {19, 0}, 2};
         return std::to_string(
             DynAdjustTokenPrivileges(0x999, false, &record, 0, nullptr, nullptr));
       },
       "Advapi32.dll!AdjustTokenPrivileges(closed token 0x999, 0, {1, SeShutdownPrivilege, 0x2}, "
       "0, null, null)"},
      {"shlwapi.dll", "SHCopyKeyA", {"95", "98", "Me", "NT 4.0", "2000", "XP", "2003", "Vista", "10"},
       [] {
         return std::to_string(DynSHCopyKey(platform::kCurrentUser, "Software\\From", 0x4242, 0));
       },
       "shlwapi.dll!SHCopyKeyA(0x80000001, Software\\From, 0x4242, 0)"},
  };
}

// What each wrapper returns from the fake by default.
const char* DefaultResult(const std::string& function) {
  if (function == "LookupPrivilegeValueA") return "1 17";
  if (function == "AdjustTokenPrivileges") return "0";
  if (function == "SHCopyKeyA") return "0";
  return "1";
}

TEST_F(BoundFunctionsTest, EachIsOfferedExactlyWhereItsRowSays) {
  for (const Wrapper& w : Wrappers()) {
    for (const NamedSystem& system : AllSystems()) {
      SCOPED_TRACE(std::string(w.function) + " on " + system.name);
      os.Set(system.record);
      power.log.clear();
      if (w.offeredOn.count(system.name)) {
        EXPECT_EQ(w.call(), DefaultResult(w.function));
        const std::string library = w.library;
        EXPECT_EQ(power.log, (Log{"LoadLibraryA(" + library + ")",
                                  "GetProcAddress(" + library + ", " + w.function + ")", w.callLine,
                                  "FreeLibrary(" + library + ")"}));
      } else {
        const auto e = ThrownBy<AttachableAPIException>(w.call);
        EXPECT_TRUE(e && e->code == AttachableAPIException::kNotOffered && e->category == 7 &&
                    e->inner == nullptr);
        EXPECT_TRUE(power.log.empty());  // nothing was loaded
      }
      ExpectNothingHeld();
    }
  }
}

TEST_F(BoundFunctionsTest, MissingLibraryIsCode2AndMissingFunctionCode3) {
  for (const Wrapper& w : Wrappers()) {
    for (bool libraryMissing : {true, false}) {
      SCOPED_TRACE(std::string(w.function) + (libraryMissing ? " library" : " function"));
      platform::RecordingPowerSystem fresh;
      platform::ScopedPowerSystem guard(fresh);
      const std::string library = w.library;
      Log expected{"LoadLibraryA(" + library + ")"};
      if (libraryMissing) {
        fresh.libraries.erase(library);
      } else {
        fresh.libraries[library].erase(w.function);
        expected.push_back("GetProcAddress(" + library + ", " + w.function + ")");
        expected.push_back("FreeLibrary(" + library + ")");
      }
      const auto e = ThrownBy<AttachableAPIException>(w.call);
      EXPECT_EQ(e ? e->code : -1, libraryMissing ? AttachableAPIException::kLoadLibraryFailed
                                                 : AttachableAPIException::kFunctionMissing);
      EXPECT_EQ(fresh.log, expected);
      EXPECT_EQ(fresh.LoadedModuleCount(), 0);
    }
  }
}

TEST_F(BoundFunctionsTest, AnExceptionOutOfTheCallReleasesTheLibraryAndContinues) {
  struct Thrown {};
  power.onBoundCall = [](const std::string&) { throw Thrown{}; };
  EXPECT_THROW(DynLockWorkStation(), Thrown);
  EXPECT_EQ(power.log,
            (Log{"LoadLibraryA(User32.dll)", "GetProcAddress(User32.dll, LockWorkStation)",
                 "FreeLibrary(User32.dll)"}));
  ExpectNothingHeld();
}

TEST_F(BoundFunctionsTest, CopyKeyNeedsBrowser5EvenWhereWindowsWouldAllowIt) {
  os.Set(kWin2000);
  for (const char* version : {"4.72.3110.8", "5.00.2920.0000"}) {
    SCOPED_TRACE(version);
    SetBrowserVersion(version);
    power.log.clear();
    const auto copy = [] { return DynSHCopyKey(platform::kCurrentUser, "S", 9, 0); };
    if (version[0] == '5') {
      EXPECT_EQ(copy(), 0);
      EXPECT_EQ(power.log.size(), 4u);
    } else {
      const auto e = ThrownBy<AttachableAPIException>(copy);
      EXPECT_TRUE(e && e->code == 0 && e->inner == nullptr);
      EXPECT_TRUE(power.log.empty());
    }
  }
}

TEST_F(BoundFunctionsTest, CopyKeyWithoutABrowserKeyIsNotOfferedAndKeepsTheReason) {
  ASSERT_EQ(registry.DeleteTree(platform::kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer"), 0);
  ResetInternetExplorerVersionCacheForTesting();
  const auto copy = [] { DynSHCopyKey(platform::kCurrentUser, "S", 9, 0); };
  auto e = ThrownBy<AttachableAPIException>(copy);
  ASSERT_TRUE(e && e->code == 0 && e->category == 7 && e->inner != nullptr);
  EXPECT_EQ(e->inner->category, 1);
  EXPECT_EQ(e->inner->code, DataSystem::RegistryException::kOpenKey);
  // The Windows test comes first: NT 3.51 fails without reading the browser.
  os.Set(kNT351);
  e = ThrownBy<AttachableAPIException>(copy);
  EXPECT_TRUE(e && e->code == 0 && e->inner == nullptr);
  EXPECT_TRUE(power.log.empty());
}

}  // namespace
