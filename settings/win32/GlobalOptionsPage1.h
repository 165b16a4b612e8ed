#pragma once
// The "Trigger / Startup" page of the global options: start with Windows or
// as a service, start minimized, the splash screen, and how triggers behave
// (preserved activation, clock set back, reactivation, expiry window, the
// last warning before the action).
#include "app/win32/PropertyPage.h"
#include "app/TriggerStartupOptions.h"

class CGlobalOptionsPage1 final : public win::CPropertyPage {
 public:
  CGlobalOptionsPage1() : CPropertyPage(106, "Trigger / Startup") {}

  // Applies the start-up choices, then writes the settings of "Global".
  void OnApply(const std::string& section) override;

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnButtonClicked(int id) override;
  bool OnNotify(const NMHDR& header, INT_PTR& result) override;

 private:
  // Members to controls and back.
  void ShowValues();
  Vesperon::TriggerStartupValues ReadValues() const;
  void ShowEnabledStates() const;
  void OnDaysChanged();
  void OnDaysArrow(int reportedStep);
  // The days field as a number: digits only, kept within 0..10000; an
  // empty field is 0.
  std::int32_t ReadDays() const;
  void WriteDays(std::int32_t days);

  Vesperon::TriggerStartupPage page_;
  // Set while the page itself writes the days or the seconds field, so that
  // its own change notification is not taken for the user's.
  bool writingDays_ = false;
};
