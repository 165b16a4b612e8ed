// The main window's stored fields come back at every start and, when a
// trigger was active, become a running trigger at once. Hostile values in
// MainForm (and in LastEvent and ExpireDelay) must decode to either the
// moment that was packed or an invalid one, and the trigger they build must
// neither crash nor run its action again at the next poll after a fire.
#include "app/SchedulerEngine.h"
#include "fuzz/FuzzSupport.h"
#include "model/MainFormRecord.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/FakeDesktop.h"
#include "settings/SettingsStore.h"

namespace {

using namespace Vesperon;

// The window as the real one treats stored fields: an unknown kind or
// action selects nothing, an invalid moment leaves the pickers alone; the
// numbers go into the fields as they are.
class FuzzWindow final : public IEngineWindow {
 public:
  TriggerFields fields{0, 2005, 6, 15, 12, 0, 0, 1, 0, ""};
  ActionId action = 0;
  int executions = 0;

  TriggerFields ReadTriggerFields() override { return fields; }
  std::int32_t SelectedTriggerKind() override { return fields.kind; }
  ActionId SelectedActionId() override { return action; }
  void ShowStoredFields(const StoredFields& stored) override {
    ApplyStoredFields(stored, fields, action);
  }
  void StartTimer(std::int32_t, std::uint32_t) override {}
  void StopTimer(std::int32_t) override {}
  void EnableControl(EngineControl, bool) override {}
  void SetActivateChecked(bool) override {}
  void SetCountdownLabel(const std::string&) override {}
  void SetProgressRange(std::int32_t) override {}
  void SetProgressPosition(std::int32_t) override {}
  bool StatusBarExists() override { return true; }
  void SetStatusText(const std::string&) override {}
  bool TrayIconExists() override { return true; }
  void ShowBalloon(const std::string&, const std::string&, std::uint32_t, BalloonIcon) override {}
  void SetTrayIconImage(TrayImage) override {}
  void ShowMessageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void ExecuteSelectedAction() override { ++executions; }
  void ExecuteAction(ActionId) override { ++executions; }
  void ShowWarning(ActionId, std::int32_t, std::int32_t) override {}
  void CloseWarning() override {}
};

void CheckDecode(std::uint32_t date, std::uint32_t time) {
  const DateTime decoded = DecodeTriggerDateTime(date, time);
  const std::string what = "date " + std::to_string(date) + " time " + std::to_string(time);
  if (decoded.status != DateTimeStatus::Valid) {
    FUZZ_CHECK(decoded.status == DateTimeStatus::Invalid, what);
    return;
  }
  // A valid moment is exactly the one that was packed.
  FUZZ_CHECK(EncodeTriggerDate(decoded.Year(), decoded.Month(), decoded.Day()) == date, what);
  FUZZ_CHECK(EncodeTriggerTime(decoded.Hour(), decoded.Minute(), decoded.Second()) == time, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace DataSystem;
  FuzzedDataProvider input(data, size);

  const std::uint32_t date = input.ConsumeIntegral<std::uint32_t>();
  const std::uint32_t time = input.ConsumeIntegral<std::uint32_t>();
  CheckDecode(date, time);

  platform::MemoryRegistry registry;
  platform::ScopedRegistry scopedRegistry(registry);
  platform::FakeClock clock({2000 + input.ConsumeIntegralInRange<int>(0, 40),
                             input.ConsumeIntegralInRange<int>(1, 12),
                             input.ConsumeIntegralInRange<int>(1, 28),
                             input.ConsumeIntegralInRange<int>(0, 23),
                             input.ConsumeIntegralInRange<int>(0, 59),
                             input.ConsumeIntegralInRange<int>(0, 59)});
  platform::ScopedClock scopedClock(clock);
  platform::FakeDesktop desktop;
  platform::ScopedDesktop scopedDesktop(desktop);

  const std::string section = "Profiles\\Default";
  WriteNumbers({kMainFormAction, kTrigger, kTriggerDate, kTriggerTime, kTriggerCmb1, kTriggerEdit,
                kTriggerActive},
               {input.ConsumeIntegralInRange<std::uint32_t>(0, 20),
                input.ConsumeIntegralInRange<std::uint32_t>(0, 8), date, time,
                input.ConsumeIntegral<std::uint32_t>(), input.ConsumeIntegral<std::uint32_t>(), 1},
               section, kHiveCurrentUser);
  WriteNumbers({kExpireDelay, kPresTrgrAct}, {input.ConsumeIntegral<std::uint32_t>(), 1}, "Global",
               kHiveCurrentUser);
  WriteStrings({kLastEvent}, {input.ConsumeRandomLengthString(40)}, section, kHiveCurrentUser);
  WriteStrings({kTriggerCmb2}, {input.ConsumeRandomLengthString(40)}, section, kHiveCurrentUser);

  FuzzWindow window;
  {
    SchedulerEngine engine(window);
    engine.LoadLastEvent();
    engine.LoadMainForm();
    engine.RestoreActivation();
    const std::string what = "kind " + std::to_string(window.fields.kind) + " number " +
                             std::to_string(window.fields.number) + " weekday " +
                             std::to_string(window.fields.weekdayIndex);
    // Polls a second apart over a stretch of the day, with a jump now and then.
    const int polls = input.ConsumeIntegralInRange<int>(1, 400);
    for (int i = 0; i < polls && engine.IsActive(); ++i) {
      const int before = window.executions;
      engine.OnPollTick();
      if (window.executions > before && engine.IsActive() && IsRepeatingKind(window.fields.kind)) {
        // The occurrence is handled: it is not due any more, and a second
        // later it does not run again unless the next occurrence has come.
        TimeSpan out;
        const TriggerState state = engine.CurrentTrigger()->Evaluate(engine.History(), out);
        FUZZ_CHECK(state == TriggerState::Waiting, what);
        if (out.TotalSeconds() > 1) {
          clock.Advance(1);
          engine.OnPollTick();
          FUZZ_CHECK(window.executions == before + 1, what);
        }
      }
      clock.Advance(input.ConsumeBool() ? 1 : input.ConsumeIntegralInRange<int>(-90000, 3000000));
    }
  }
  SetLastEvent(DateTime(0.0, DateTimeStatus::Invalid));
  return 0;
}
