// The Reminder, Shutdown/Log off/Reboot, Hibernate/Standby and Wake-on-LAN
// pages (the two list pages are in PatternListPages.cpp).
#include "actions/win32/ActionPropPages.h"

// windows.h names a macro ExitWindows; the program's operation of that name
// is declared below.
#undef ExitWindows

#include "actions/PowerActions.h"
#include "actions/WakeOnLan.h"
#include "app/win32/Reminder.h"
#include "platform/SoundPlayer.h"
#include "resources/action_pages_ids.h"
#include "settings/Appearance.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "model/OsVersion.h"

namespace {

using namespace DataSystem;

constexpr char kCaption[] = "Vesperon";
// PlaySoundA: SND_ASYNC | SND_FILENAME.
constexpr std::uint32_t kPlayFileOnce = 0x20001;
constexpr const char* kCloseUnits[] = {"Seconds", "Minutes", "Hours", "Days"};
// ShowFileDialog refuses an initial path this long.
constexpr std::size_t kLongestInitialPath = 1023;

std::string SectionOrProfile(const std::string& section) {
  return section.empty() ? Vesperon::ActiveProfileSection() : section;
}

// The page's record as the active profile holds it.
template <typename Settings>
Settings ProfileSettings() {
  Settings settings;
  settings.Load(Vesperon::ActiveProfileSection());
  return settings;
}

win::CButton Check(HWND page, int id) { return win::CButton(GetDlgItem(page, id)); }

bool Checked(HWND page, int id) { return Check(page, id).IsChecked(); }

void Conceal(HWND page, int id) {
  win::CWindow control(GetDlgItem(page, id));
  control.Enable(false);
  control.Show(false);
}

std::uint32_t IpAddress(HWND page, int id) {
  DWORD address = 0;
  SendDlgItemMessageA(page, id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  return address;
}

}  // namespace

// ---------------------------------------------------------------- Reminder

bool CActionPropPage1::OnInit() {
  const auto stored = ProfileSettings<ReminderSettings>();
  closeTime_ = stored.closeAfter;
  closeUnit_ = stored.closeUnit;

  filling_ = true;
  MakeStorableFields({IDC_REMINDER_PAGE_TEXT, IDC_REMINDER_PAGE_PATH});
  win::CWindow(Item(IDC_REMINDER_PAGE_TEXT)).SetText(stored.text);
  win::CWindow(Item(IDC_REMINDER_PAGE_PATH)).SetText(stored.soundPath);
  Check(h_, IDC_REMINDER_PAGE_PLAY).SetCheck(stored.play);
  Check(h_, IDC_REMINDER_PAGE_LOOPED).SetCheck(stored.looped);
  Check(h_, IDC_REMINDER_PAGE_CLOSE).SetCheck(stored.autoClose);
  win::CWindow(Item(IDC_REMINDER_PAGE_TIME)).SetText(std::to_string(closeTime_));
  win::CComboBox units(Item(IDC_REMINDER_PAGE_UNIT));
  for (const char* unit : kCloseUnits) units.AddString(unit);
  if (closeUnit_ < std::size(kCloseUnits)) units.SetCurSel(static_cast<int>(closeUnit_));
  filling_ = false;
  return true;
}

bool CActionPropPage1::OnCommand(int id, int code) {
  if (filling_) return false;
  switch (id) {
    case IDC_REMINDER_PAGE_TEXT:
    case IDC_REMINDER_PAGE_PATH:
      if (code != EN_CHANGE) return false;
      SetModified();
      return true;
    case IDC_REMINDER_PAGE_UNIT:
      if (code != CBN_SELCHANGE) return false;
      if (const int unit = win::CComboBox(Item(id)).GetCurSel(); unit >= 0)
        closeUnit_ = static_cast<std::uint32_t>(unit);
      SetModified();
      return true;
    case IDC_REMINDER_PAGE_TIME:
      if (code != EN_CHANGE) return false;
      OnAutoCloseTimeChanged();
      return true;
    default:
      return CPropertyPage::OnCommand(id, code);
  }
}

bool CActionPropPage1::OnButtonClicked(int id) {
  switch (id) {
    case IDC_REMINDER_PAGE_PLAY:
    case IDC_REMINDER_PAGE_LOOPED:
    case IDC_REMINDER_PAGE_CLOSE:
      SetModified();
      return true;
    case IDC_REMINDER_PAGE_BROWSE:
      BrowseSoundFile();
      return true;
    case IDC_REMINDER_PAGE_PLAYBACK:
      PlaySoundFile();
      return true;
    case IDC_REMINDER_PAGE_TEST:
      TestReminder();
      return true;
    default:
      return false;
  }
}

void CActionPropPage1::OnAutoCloseTimeChanged() {
  win::CWindow field(Item(IDC_REMINDER_PAGE_TIME));
  const Vesperon::AutoCloseFieldCheck check = Vesperon::CheckAutoCloseText(field.GetText(), closeTime_);
  if (!check.message.empty()) MessageBoxA(h_, check.message.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
  closeTime_ = check.value;
  if (check.fieldText) {
    filling_ = true;
    field.SetText(*check.fieldText);
    filling_ = false;
    const auto end = static_cast<LPARAM>(check.fieldText->size());
    field.Send(EM_SETSEL, static_cast<WPARAM>(end), end);
  }
  SetModified();
}

void CActionPropPage1::BrowseSoundFile() {
  win::CWindow field(Item(IDC_REMINDER_PAGE_PATH));
  std::string initial = field.GetText();
  if (initial.size() > kLongestInitialPath) initial.clear();
  std::string path;
  Vesperon::ShowFileDialog(path, true, {{"Supported formats *.wav", "*.wav"}, {"All files *.*", "*.*"}},
                           "Open sound file", "WAV", reinterpret_cast<platform::WindowHandle>(h_),
                           initial);
  // A cancelled dialog keeps the file the page had.
  if (!path.empty()) field.SetText(path);
}

void CActionPropPage1::PlaySoundFile() {
  const std::string path = win::CWindow(Item(IDC_REMINDER_PAGE_PATH)).GetText();
  platform::SoundPlayer().Play(path.c_str(), kPlayFileOnce);
}

bool CActionPropPage1::CheckPage() {
  return FieldsStorable({IDC_REMINDER_PAGE_TEXT, IDC_REMINDER_PAGE_PATH});
}

void CActionPropPage1::TestReminder() {
  if (!CheckPage()) return;
  // The scratch section goes again whatever happens, so that no half-written
  // test is left behind.
  try {
    OnApply(Vesperon::kTestSection);
    CReminder reminder;
    reminder.UseTestSection = true;
    reminder.Run(GetParent(h_));
  } catch (const Vesperon::Exception&) {
    try {
      Vesperon::DeleteTestSection();
    } catch (const Vesperon::Exception&) {
      // The first failure is the one to report.
    }
    throw;
  }
  Vesperon::DeleteTestSection();
}

void CActionPropPage1::OnApply(const std::string& section) {
  ReminderSettings{win::CWindow(Item(IDC_REMINDER_PAGE_TEXT)).GetText(),
                   win::CWindow(Item(IDC_REMINDER_PAGE_PATH)).GetText(),
                   Checked(h_, IDC_REMINDER_PAGE_PLAY), Checked(h_, IDC_REMINDER_PAGE_LOOPED),
                   Checked(h_, IDC_REMINDER_PAGE_CLOSE), closeTime_, closeUnit_}
      .Save(SectionOrProfile(section));
}

// ------------------------------------------------- Shutdown/Log off/Reboot

bool CActionPropPage2::OnInit() {
  const auto stored = ProfileSettings<ShutdownSettings>();
  Check(h_, IDC_SHUTDOWN_FORCED).SetCheck(stored.forced);
  Check(h_, IDC_SHUTDOWN_FORCE_HUNG).SetCheck(stored.forceHung);
  reason_ = stored.reason;
  win::CComboBox reasons(Item(IDC_SHUTDOWN_REASON));
  for (const char* text : Vesperon::kShutdownReasonTexts) reasons.AddString(text);
  if (reason_ < Vesperon::kShutdownReasonCount) reasons.SetCurSel(static_cast<int>(reason_));
  if (!Vesperon::IsOsVersionAtLeast(0, 120)) Conceal(h_, IDC_SHUTDOWN_FORCE_HUNG);
  if (!Vesperon::IsOsVersionAtLeast(0, 130)) {
    Conceal(h_, IDC_SHUTDOWN_REASON);
    Conceal(h_, IDC_SHUTDOWN_REASON_LABEL);
  }
  return true;
}

bool CActionPropPage2::OnCommand(int id, int code) {
  if (id != IDC_SHUTDOWN_REASON || code != CBN_SELCHANGE) return CPropertyPage::OnCommand(id, code);
  if (const int reason = win::CComboBox(Item(IDC_SHUTDOWN_REASON)).GetCurSel(); reason >= 0)
    reason_ = static_cast<std::uint32_t>(reason);
  SetModified();
  return true;
}

bool CActionPropPage2::OnButtonClicked(int id) {
  if (id != IDC_SHUTDOWN_FORCED && id != IDC_SHUTDOWN_FORCE_HUNG) return false;
  SetModified();
  return true;
}

void CActionPropPage2::OnApply(const std::string& section) {
  ShutdownSettings{Checked(h_, IDC_SHUTDOWN_FORCED), Checked(h_, IDC_SHUTDOWN_FORCE_HUNG), reason_}
      .Save(SectionOrProfile(section));
}

// ------------------------------------------------------- Hibernate/Standby

bool CActionPropPage3::OnInit() {
  const auto stored = ProfileSettings<SuspendSettings>();
  Check(h_, IDC_HIBERNATE_FORCED).SetCheck(stored.forced);
  Check(h_, IDC_HIBERNATE_DISABLE_WAKE).SetCheck(stored.disableWake);
  if (!Vesperon::IsOsVersionAtLeast(20, 120)) Conceal(h_, IDC_HIBERNATE_DISABLE_WAKE);
  return true;
}

bool CActionPropPage3::OnButtonClicked(int id) {
  if (id != IDC_HIBERNATE_FORCED && id != IDC_HIBERNATE_DISABLE_WAKE) return false;
  SetModified();
  return true;
}

void CActionPropPage3::OnApply(const std::string& section) {
  SuspendSettings{Checked(h_, IDC_HIBERNATE_FORCED), Checked(h_, IDC_HIBERNATE_DISABLE_WAKE)}
      .Save(SectionOrProfile(section));
}

// ------------------------------------------------------------- Wake-on-LAN

CActionPropPage5::CActionPropPage5() : CPropertyPage(200, "Wake-on-LAN") {
  // The IP-address control's class, registered before the page's template
  // is made into a window.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);
}

bool CActionPropPage5::OnInit() {
  const auto stored = ProfileSettings<WakeOnLanSettings>();
  acceptedMac_ = stored.macAddress;
  filling_ = true;
  SendDlgItemMessageA(h_, IDC_WAKE_ADDRESS, IPM_SETADDRESS, 0, static_cast<LPARAM>(stored.address));
  SendDlgItemMessageA(h_, IDC_WAKE_SUBNET, IPM_SETADDRESS, 0, static_cast<LPARAM>(stored.subnet));
  win::CWindow field(Item(IDC_WAKE_MAC));
  field.Send(EM_LIMITTEXT, Vesperon::kMacTextDigits);
  field.SetText(acceptedMac_);
  filling_ = false;
  return true;
}

bool CActionPropPage5::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  // The field loses the focus as the sheet closes too: nothing is left to
  // check then (OK has stored the last accepted address already).
  if (msg == WM_DESTROY) closing_ = true;
  return CPropertyPage::OnMessage(msg, w, l, result);
}

bool CActionPropPage5::OnCommand(int id, int code) {
  if (filling_ || closing_) return false;
  if ((id == IDC_WAKE_ADDRESS || id == IDC_WAKE_SUBNET || id == IDC_WAKE_MAC) && code == EN_CHANGE) {
    SetModified();
    return true;
  }
  if (id == IDC_WAKE_MAC && code == EN_KILLFOCUS) {
    CheckMacText();
    return true;
  }
  return CPropertyPage::OnCommand(id, code);
}

bool CActionPropPage5::OnButtonClicked(int id) {
  if (id != IDC_WAKE_LOOKUP) return false;
  LookUpMac();
  return true;
}

bool CActionPropPage5::CheckMacText() {
  if (!IsWindowVisible(h_)) return true;  // the sheet is going away
  win::CWindow field(Item(IDC_WAKE_MAC));
  std::string checked = field.GetText();
  if (Vesperon::IsValidMacText(checked)) {
    // Kept, and shown, the way it is stored: upper case.
    acceptedMac_ = checked;
    if (field.GetText() != checked) field.SetText(checked);
    return true;
  }
  MessageBoxA(h_, "Invalid MAC address.", kCaption, MB_OK | MB_ICONERROR);
  field.SetText(acceptedMac_);
  return false;
}

bool CActionPropPage5::CheckPage() { return CheckMacText(); }

void CActionPropPage5::LookUpMac() {
  const std::uint32_t address = IpAddress(h_, IDC_WAKE_ADDRESS);
  // The echo the lookup sends may take seconds to time out.
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  std::string mac;
  bool found = true;
  try {
    mac = Vesperon::GetMacAddress(address);
  } catch (const Vesperon::WakeOnLANException&) {
    found = false;
  }
  SetCursor(previous);
  if (!found) {
    MessageBoxA(h_, "Failed to retrieve MAC address.", kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  acceptedMac_ = mac;
  win::CWindow(Item(IDC_WAKE_MAC)).SetText(mac);
}

void CActionPropPage5::OnApply(const std::string& section) {
  // A text that was never accepted (the focus may not have left the field
  // before OK) is not stored: the last accepted address is.
  std::string mac = win::CWindow(Item(IDC_WAKE_MAC)).GetText();
  if (!Vesperon::IsValidMacText(mac)) mac = acceptedMac_;
  WakeOnLanSettings{IpAddress(h_, IDC_WAKE_ADDRESS), IpAddress(h_, IDC_WAKE_SUBNET), mac}
      .Save(SectionOrProfile(section));
}
