// A stored LastEvent is read back with FromStoredText at every start (the
// one stored form first, then the user's formats): whatever text the
// profile holds, reading it must not crash, must give either a valid moment
// inside the calendar or an invalid value, and a moment it accepts must
// survive being stored and read again to the second.
#include "fuzz/FuzzSupport.h"
#include "model/DateTime.h"
#include "model/OleDate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace Vesperon;
  const std::string text(reinterpret_cast<const char*>(data), size);

  DateTime read(123.0, DateTimeStatus::Null);
  const bool ok = read.FromStoredText(text);
  if (!ok) {
    FUZZ_CHECK(read.status == DateTimeStatus::Invalid, text);
    FUZZ_CHECK(read.days == 0.0, text);
    // An unreadable value still formats and compares without harm.
    FUZZ_CHECK(read.ToText() == "Invalid DateTime", text);
    FUZZ_CHECK(!(read < Now()) && !(read > Now()), text);
    return 0;
  }
  FUZZ_CHECK(read.status == DateTimeStatus::Valid, text);
  // Before 30 December 1899 the time of day counts away from zero, so a
  // moment on the first day lies between kFirstDay - 1 and kFirstDay.
  FUZZ_CHECK(read.days > static_cast<double>(OleDate::kFirstDay - 1) &&
                 read.days < static_cast<double>(OleDate::kLastDay + 1),
             text + " -> " + std::to_string(read.days));
  FUZZ_CHECK(read.Year() >= 100 && read.Year() <= 9999, text);

  const std::string written = read.ToStoredText();
  DateTime again;
  FUZZ_CHECK(again.FromStoredText(written), text + " -> " + written);
  FUZZ_CHECK(again.Year() == read.Year() && again.Month() == read.Month() &&
                 again.Day() == read.Day() && again.Hour() == read.Hour() &&
                 again.Minute() == read.Minute() && again.Second() == read.Second(),
             text + " -> " + written + " -> " + again.ToText());
  return 0;
}
