#include "settings/win32/GlobalOptionsPage1.h"

#include <cstdlib>
#include <string>

#include "resources/startup_page_ids.h"

using namespace Vesperon;

namespace {

bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Check(HWND page, int id, bool checked) {
  CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

bool CGlobalOptionsPage1::OnInit() {
  page_ = LoadTriggerStartupPage();
  win::CDateTimePicker(Item(IDC_STARTUP_DELAY_TIME)).SetFormat("HH:mm:ss");
  SendDlgItemMessageA(h_, IDC_STARTUP_WARN_UPDOWN, UDM_SETRANGE32, kMinWarnSeconds, kMaxWarnSeconds);
  ShowValues();
  ShowEnabledStates();
  return true;
}

void CGlobalOptionsPage1::ShowValues() {
  const TriggerStartupValues& v = page_.values;
  Check(h_, IDC_STARTUP_SERVICE, v.runAsService);
  Check(h_, IDC_STARTUP_RUN, v.runAtStartUp);
  Check(h_, IDC_STARTUP_PRESERVE, v.preserveActivation);
  Check(h_, IDC_STARTUP_MINIMIZED, v.startMinimized);
  Check(h_, IDC_STARTUP_SPLASH, v.splashScreen);
  Check(h_, IDC_STARTUP_STOP_TIMER, v.stopTimer);
  Check(h_, IDC_STARTUP_REACTIVATE, v.reactivate);
  Check(h_, IDC_STARTUP_WARN, v.warnBefore);
  writingDays_ = true;  // not the user's change either
  SetDlgItemTextA(h_, IDC_STARTUP_WARN_SECONDS, std::to_string(v.warnSeconds).c_str());
  writingDays_ = false;
  WriteDays(v.delay.days);
  // The time of day lies on 1 January 2000; only its clock part counts.
  SYSTEMTIME time{};
  time.wYear = 2000;
  time.wMonth = 1;
  time.wDay = 1;
  time.wDayOfWeek = 6;
  time.wHour = static_cast<WORD>(v.delay.hours);
  time.wMinute = static_cast<WORD>(v.delay.minutes);
  time.wSecond = static_cast<WORD>(v.delay.seconds);
  win::CDateTimePicker(Item(IDC_STARTUP_DELAY_TIME)).SetTime(time);
}

TriggerStartupValues CGlobalOptionsPage1::ReadValues() const {
  TriggerStartupValues v;
  v.runAsService = IsChecked(h_, IDC_STARTUP_SERVICE);
  v.runAtStartUp = IsChecked(h_, IDC_STARTUP_RUN);
  v.preserveActivation = IsChecked(h_, IDC_STARTUP_PRESERVE);
  v.startMinimized = IsChecked(h_, IDC_STARTUP_MINIMIZED);
  v.splashScreen = IsChecked(h_, IDC_STARTUP_SPLASH);
  v.stopTimer = IsChecked(h_, IDC_STARTUP_STOP_TIMER);
  v.reactivate = IsChecked(h_, IDC_STARTUP_REACTIVATE);
  v.warnBefore = IsChecked(h_, IDC_STARTUP_WARN);
  const std::string seconds = win::CWindow(Item(IDC_STARTUP_WARN_SECONDS)).GetText();
  const long long typed = std::strtoll(seconds.c_str(), nullptr, 10);
  v.warnSeconds = typed > kMaxWarnSeconds
                      ? kMaxWarnSeconds
                      : UsableWarnSeconds(typed < 0 ? 0 : static_cast<std::uint32_t>(typed));
  v.delay.days = ReadDays();
  SYSTEMTIME time{};
  if (win::CDateTimePicker(Item(IDC_STARTUP_DELAY_TIME)).GetTime(time)) {
    v.delay.hours = time.wHour;
    v.delay.minutes = time.wMinute;
    v.delay.seconds = time.wSecond;
  }
  return v;
}

void CGlobalOptionsPage1::ShowEnabledStates() const {
  EnableWindow(Item(IDC_STARTUP_SERVICE), page_.serviceBoxEnabled);
  EnableWindow(Item(IDC_STARTUP_RUN), page_.startUpBoxesEnabled);
  EnableWindow(Item(IDC_STARTUP_MINIMIZED), page_.startUpBoxesEnabled);
}

std::int32_t CGlobalOptionsPage1::ReadDays() const {
  const std::string text = win::CWindow(Item(IDC_STARTUP_DELAY_DAYS)).GetText();
  const long long typed = std::strtoll(text.c_str(), nullptr, 10);
  return ClampDelayDays(typed);
}

void CGlobalOptionsPage1::WriteDays(std::int32_t days) {
  writingDays_ = true;
  SetDlgItemTextA(h_, IDC_STARTUP_DELAY_DAYS, std::to_string(days).c_str());
  writingDays_ = false;
}

void CGlobalOptionsPage1::OnDaysChanged() {
  const std::string text = win::CWindow(Item(IDC_STARTUP_DELAY_DAYS)).GetText();
  // An emptied field is being retyped: it counts as 0 and is left alone.
  if (!text.empty()) {
    const std::int32_t days = ReadDays();
    if (std::to_string(days) != text) WriteDays(days);
  }
  SetModified();
}

void CGlobalOptionsPage1::OnDaysArrow(int reportedStep) {
  // The arrows keep their default range, in which "up" reports a step of
  // -1: the field moves by the opposite of the step.
  WriteDays(ClampDelayDays(static_cast<std::int64_t>(ReadDays()) - reportedStep));
  SetModified();
}

bool CGlobalOptionsPage1::OnCommand(int id, int code) {
  if (id == IDC_STARTUP_WARN_SECONDS) {
    if (code == EN_CHANGE && !writingDays_) SetModified();
    return code == EN_CHANGE;
  }
  if (id != IDC_STARTUP_DELAY_DAYS) return CPropertyPage::OnCommand(id, code);
  if (code == EN_CHANGE && !writingDays_) OnDaysChanged();
  return code == EN_CHANGE;
}

bool CGlobalOptionsPage1::OnButtonClicked(int id) {
  switch (id) {
    case IDC_STARTUP_SERVICE:
      page_.values = ReadValues();
      OnServiceBoxChanged(page_, page_.values.runAsService);
      Check(h_, IDC_STARTUP_RUN, page_.values.runAtStartUp);
      Check(h_, IDC_STARTUP_MINIMIZED, page_.values.startMinimized);
      ShowEnabledStates();
      SetModified();
      return true;
    case IDC_STARTUP_RUN:
    case IDC_STARTUP_PRESERVE:
    case IDC_STARTUP_MINIMIZED:
    case IDC_STARTUP_SPLASH:
    case IDC_STARTUP_STOP_TIMER:
    case IDC_STARTUP_REACTIVATE:
    case IDC_STARTUP_WARN:
      SetModified();
      return true;
    default:
      return false;
  }
}

bool CGlobalOptionsPage1::OnNotify(const NMHDR& header, INT_PTR& result) {
  if (header.idFrom == IDC_STARTUP_DELAY_UPDOWN && header.code == UDN_DELTAPOS) {
    OnDaysArrow(reinterpret_cast<const NMUPDOWN&>(header).iDelta);
    result = TRUE;  // the field is the page's to write, not the arrows'
    return true;
  }
  if (header.idFrom == IDC_STARTUP_DELAY_TIME && header.code == DTN_DATETIMECHANGE) {
    SetModified();
    return true;
  }
  return false;
}

void CGlobalOptionsPage1::OnApply(const std::string&) {
  // A failure leaves as an exception: the sheet reports it and stays open
  // with the user's choices, rather than closing as if all were written.
  SaveTriggerStartupPage(ReadValues());
}
