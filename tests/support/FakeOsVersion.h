#pragma once
// Pretends to run on a given Windows version for the lifetime of the object.
#include "platform/Services.h"
#include "model/OsVersion.h"

namespace testing_support {

class FakeOsVersion final : public platform::IOsVersionSource {
 public:
  explicit FakeOsVersion(platform::OsVersionRecord record = {2, 5, 1})
      : record_(record), previous_(platform::OsVersionSlot::Install(this)) {
    Vesperon::ResetOsVersionCacheForTesting();
  }
  ~FakeOsVersion() override {
    platform::OsVersionSlot::Install(previous_);
    Vesperon::ResetOsVersionCacheForTesting();
  }
  FakeOsVersion(const FakeOsVersion&) = delete;
  FakeOsVersion& operator=(const FakeOsVersion&) = delete;

  void Set(platform::OsVersionRecord record) {
    record_ = record;
    Vesperon::ResetOsVersionCacheForTesting();
  }
  bool Query(platform::OsVersionRecord& out) override {
    out = record_;
    return true;
  }

 private:
  platform::OsVersionRecord record_;
  platform::IOsVersionSource* previous_;
};

// Version records of the systems the program knows.
inline constexpr platform::OsVersionRecord kWin95{1, 4, 0}, kWin98{1, 4, 10}, kWinMe{1, 4, 90},
    kNT351{2, 3, 51}, kNT4{2, 4, 0}, kWin2000{2, 5, 0}, kWinXP{2, 5, 1}, kServer2003{2, 5, 2},
    kVista{2, 6, 0}, kWin10{2, 10, 0};

}  // namespace testing_support
