#pragma once
// Pretends to run on a given Windows version for the lifetime of the object.
#include "platform/Services.h"
#include "model/OsVersion.h"

namespace testing_support {

class FakeOsVersion final : public platform::IOsVersionSource {
 public:
  explicit FakeOsVersion(platform::OsVersionRecord version = {2, 5, 1})
      : record(version), previous_(platform::OsVersionSlot::Install(this)) {
    Vesperon::ResetOsVersionCacheForTesting();
  }
  ~FakeOsVersion() override {
    platform::OsVersionSlot::Install(previous_);
    Vesperon::ResetOsVersionCacheForTesting();
  }
  FakeOsVersion(const FakeOsVersion&) = delete;
  FakeOsVersion& operator=(const FakeOsVersion&) = delete;

  // As a new process would see it: the program's cached answer is dropped.
  void Set(platform::OsVersionRecord version) {
    record = version;
    Vesperon::ResetOsVersionCacheForTesting();
  }
  bool Query(platform::OsVersionRecord& out) override {
    out = record;
    return answers;
  }

  platform::OsVersionRecord record;  // set directly, a running program keeps its answer
  bool answers = true;

 private:
  platform::IOsVersionSource* previous_;
};

// Version records of the systems the program knows.
inline constexpr platform::OsVersionRecord kWin95{1, 4, 0}, kWin98{1, 4, 10}, kWinMe{1, 4, 90},
    kNT351{2, 3, 51}, kNT4{2, 4, 0}, kWin2000{2, 5, 0}, kWinXP{2, 5, 1}, kServer2003{2, 5, 2},
    kVista{2, 6, 0}, kWin10{2, 10, 0};

}  // namespace testing_support
