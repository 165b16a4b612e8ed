// EnablePrivilege and RemovePrivilege: the token calls in order, their records, failure codes.
#include <gtest/gtest.h>

#include <string>

#include "actions/BoundFunctions.h"
#include "actions/Privileges.h"
#include "tests/support/PowerTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

class PrivilegesTest : public PowerFixture {};

// The calls in order around every exit request: PowerActionsTest.
TEST_F(PrivilegesTest, EnableLeavesTheTokenToTheCallerAndRemovalKeepsItsRecord) {
  platform::TokenHandle token = 0;
  platform::PrivilegeRecord record;
  EnablePrivilege("SeBackupPrivilege", token, record);
  EXPECT_EQ(record, (platform::PrivilegeRecord{1, {17, 0}, 2}));
  EXPECT_EQ(power.OpenTokenCount(), 1);
  RemovePrivilege(record, token);
  EXPECT_EQ(record.attributes, 2u);  // a copy went with attributes 4
  EXPECT_EQ(power.tokenPrivileges.count("SeBackupPrivilege"), 0u);
  EXPECT_EQ(power.OpenTokenCount(), 1);
  power.CloseHandle(token);
  ExpectNothingHeld();
}

TEST_F(PrivilegesTest, FailuresThrowPlainExceptionsAndCloseTheToken) {
  const platform::TokenHandle untouched = 0x5151;
  const platform::PrivilegeRecord untouchedRecord{9, {9, 9}, 9};
  struct Case {
    const char* name;
    const char* privilege;
    void (*arrange)(platform::RecordingPowerSystem&);
    PrivilegeFailure code;
    Log log;
  };
  // Open, look up, then the given lines and the close.
  const auto failedEnable = [](const std::string& privilege, const Log& after) {
    Log log = {"OpenProcessToken(current process, 0x28)"};
    Append(log, BoundCallLines("Advapi32.dll", "LookupPrivilegeValueA", "null, " + privilege));
    Append(log, after);
    log.push_back("CloseHandle(token)");
    return log;
  };
  const Log notHeld = failedEnable("SeTcbPrivilege", AdjustLines("SeTcbPrivilege", 0x2, 1300));
  const Log unknown = failedEnable("SeNoSuchPrivilege", {});
  const Log refused = failedEnable(
      "SeShutdownPrivilege", BoundCallLines("Advapi32.dll", "AdjustTokenPrivileges",
                                            "token, 0, {1, SeShutdownPrivilege, 0x2}, 0, null, null"));
  const Case cases[] = {
      {"token does not open", "SeShutdownPrivilege", [](platform::RecordingPowerSystem& p) { p.tokenOpens = false; },
       kPrivilegeOpenToken, {"OpenProcessToken(current process, 0x28)"}},
      {"unknown name", "SeNoSuchPrivilege", [](platform::RecordingPowerSystem&) {},
       kPrivilegeLookup, unknown},
      {"adjustment refused", "SeShutdownPrivilege",
       [](platform::RecordingPowerSystem& p) { p.adjustFails = true; }, kPrivilegeAdjust, refused},
      {"not held", "SeTcbPrivilege", [](platform::RecordingPowerSystem&) {}, kPrivilegeNotAssigned,
       notHeld},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    power = platform::RecordingPowerSystem();
    c.arrange(power);
    platform::TokenHandle token = untouched;
    platform::PrivilegeRecord record = untouchedRecord;
    try {
      EnablePrivilege(c.privilege, token, record);
      ADD_FAILURE() << "no exception";
    } catch (const AttachableAPIException&) {
      ADD_FAILURE() << "a bound-function failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.code, c.code);
      EXPECT_EQ(e.category, 0);
      EXPECT_EQ(e.detail, 0);
      EXPECT_EQ(e.inner, nullptr);
    }
    EXPECT_EQ(power.log, c.log);
    EXPECT_EQ(token, untouched);
    EXPECT_EQ(record, untouchedRecord);
    ExpectNothingHeld();
  }
}

TEST_F(PrivilegesTest, OnThe9xLineTheBoundLookupIsNotOffered) {
  os.Set(kWin98);
  platform::TokenHandle token = 0;
  platform::PrivilegeRecord record;
  const auto e =
      ThrownBy<AttachableAPIException>([&] { EnablePrivilege("SeShutdownPrivilege", token, record); });
  EXPECT_TRUE(e && e->code == 0);
  EXPECT_EQ(power.log, (Log{"OpenProcessToken(current process, 0x28)", "CloseHandle(token)"}));
  EXPECT_EQ(token, 0u);
  ExpectNothingHeld();
}

}  // namespace
