#pragma once
// The wall clock: the current local time broken down to calendar fields,
// whole seconds (the C runtime's time() and localtime()).
namespace platform {

struct LocalTimeFields {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  // False when the current time cannot be broken down.
  virtual bool LocalNow(LocalTimeFields& out) = 0;
};

}  // namespace platform
