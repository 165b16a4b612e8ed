#include "settings/SettingsRecords.h"

#include <cstddef>
#include <vector>

#include "settings/SettingsStore.h"

namespace DataSystem {
namespace {

constexpr char kGlobal[] = "Global";

// One field of record R and the setting it is stored in: exactly one of the
// three members is set.
template <typename R>
struct Field {
  SettingId id;
  std::string R::*text = nullptr;
  std::uint32_t R::*number = nullptr;
  bool R::*flag = nullptr;
};

template <typename R>
Field<R> Text(SettingId id, std::string R::*member) {
  return {id, member, nullptr, nullptr};
}
template <typename R>
Field<R> Number(SettingId id, std::uint32_t R::*member) {
  return {id, nullptr, member, nullptr};
}
template <typename R>
Field<R> Flag(SettingId id, bool R::*member) {
  return {id, nullptr, nullptr, member};
}

template <typename R>
using Fields = std::vector<Field<R>>;

// The fields in table order, cut into runs of texts and of numbers: each run
// is one store call, so a record is read and written in as few calls (and
// key openings) as its table allows, in the order the table gives.
template <typename R, typename Run>
void ForEachRun(const Fields<R>& fields, Run run) {
  const Field<R>* begin = fields.data();
  const Field<R>* const last = begin + fields.size();
  while (begin != last) {
    const bool text = begin->text != nullptr;
    const Field<R>* end = begin;
    std::vector<SettingId> ids;
    while (end != last && (end->text != nullptr) == text) ids.push_back((end++)->id);
    run(begin, end, ids, text);
    begin = end;
  }
}

template <typename R>
void LoadFields(R& record, const Fields<R>& fields, const std::string& section) {
  ForEachRun(fields, [&](const Field<R>* begin, const Field<R>* end,
                         const std::vector<SettingId>& ids, bool text) {
    if (text) {
      std::vector<std::string> values;
      ReadStrings(ids, values, section, kHiveCurrentUser);
      for (std::size_t i = 0; begin + i != end; ++i) record.*(begin[i].text) = values[i];
      return;
    }
    std::vector<std::uint32_t> values;
    ReadNumbers(ids, values, section, kHiveCurrentUser);
    for (std::size_t i = 0; begin + i != end; ++i) {
      if (begin[i].flag != nullptr) {
        record.*(begin[i].flag) = values[i] != 0;
      } else {
        record.*(begin[i].number) = values[i];
      }
    }
  });
}

template <typename R>
void SaveFields(const R& record, const Fields<R>& fields, const std::string& section) {
  ForEachRun(fields, [&](const Field<R>* begin, const Field<R>* end,
                         const std::vector<SettingId>& ids, bool text) {
    if (text) {
      std::vector<std::string> values;
      for (const Field<R>* f = begin; f != end; ++f) values.push_back(record.*(f->text));
      WriteStrings(ids, values, section, kHiveCurrentUser);
      return;
    }
    std::vector<std::uint32_t> values;
    for (const Field<R>* f = begin; f != end; ++f) {
      values.push_back(f->flag != nullptr ? (record.*(f->flag) ? 1u : 0u) : record.*(f->number));
    }
    WriteNumbers(ids, values, section, kHiveCurrentUser);
  });
}

using RS = ReminderSettings;
const Fields<RS> kReminderFields = {
    Text(kTxt, &RS::text),           Text(kPath, &RS::soundPath),
    Flag(kPlay, &RS::play),          Flag(kLooped, &RS::looped),
    Flag(kClose, &RS::autoClose),    Number(kClsTime, &RS::closeAfter),
    Number(kClsTType, &RS::closeUnit)};

const Fields<ShutdownSettings> kShutdownFields = {
    Flag(kSDPropForced, &ShutdownSettings::forced),
    Flag(kForceHung, &ShutdownSettings::forceHung),
    Number(kReason, &ShutdownSettings::reason)};

const Fields<SuspendSettings> kSuspendFields = {
    Flag(kHNPropForced, &SuspendSettings::forced),
    Flag(kDisableWake, &SuspendSettings::disableWake)};

const Fields<WakeOnLanSettings> kWakeOnLanFields = {
    Number(kIPAddr, &WakeOnLanSettings::address), Number(kSubnet, &WakeOnLanSettings::subnet),
    Text(kMACAddr, &WakeOnLanSettings::macAddress)};

using MF = MainFormSettings;
const Fields<MF> kMainFormFields = {
    Number(kMainFormAction, &MF::action), Number(kTrigger, &MF::trigger),
    Number(kTriggerDate, &MF::date),      Number(kTriggerTime, &MF::time),
    Number(kTriggerCmb1, &MF::weekday),   Number(kTriggerEdit, &MF::number),
    Text(kTriggerCmb2, &MF::process)};

using SS = StartupSettings;
const Fields<SS> kStartupFields = {
    Flag(kPresTrgrAct, &SS::preserveActivation), Flag(kMinimize, &SS::startMinimized),
    Flag(kSplashScr, &SS::splashScreen),         Flag(kAutoStopTimer, &SS::stopTimer),
    Number(kExpireDelay, &SS::expireDelay),      Flag(kAutoReactTrgr, &SS::reactivate),
    Flag(kWarnBefore, &SS::warnBefore),          Number(kWarnSecs, &SS::warnSeconds)};

const Fields<StartWindowSettings> kStartWindowFields = {
    Flag(kPresTrgrAct, &StartWindowSettings::preserveActivation),
    Flag(kMinimize, &StartWindowSettings::startMinimized)};

using AS = AppearanceSettings;
const Fields<AS> kAppearanceFields = {
    Number(kTransluc, &AS::translucency),  Number(kAnimType, &AS::animationType),
    Number(kBkGrType, &AS::backgroundType), Number(kBkGrColR, &AS::red),
    Number(kBkGrColG, &AS::green),          Number(kBkGrColB, &AS::blue),
    Number(kAnimDirec, &AS::animationDirection),
    Text(kLang, &AS::language),             Text(kBkGrImg, &AS::backgroundImage)};

const Fields<AnimationSettings> kAnimationFields = {
    Number(kAnimType, &AnimationSettings::type), Number(kAnimDirec, &AnimationSettings::direction)};

using BS = BackgroundSettings;
const Fields<BS> kBackgroundFields = {
    Number(kBkGrType, &BS::type), Number(kBkGrColR, &BS::red), Number(kBkGrColG, &BS::green),
    Number(kBkGrColB, &BS::blue)};

using MS = MouseShortcut;
const Fields<MS> kMouseFields[] = {
    {Number(kLBClickC, &MS::clickKind), Number(kLBAction, &MS::action)},
    {Number(kMBClickC, &MS::clickKind), Number(kMBAction, &MS::action)},
    {Number(kRBClickC, &MS::clickKind), Number(kRBAction, &MS::action)},
};

const Fields<HotKeySettings> kHotKeyFields = {
    Number(kHotKeyCode, &HotKeySettings::code), Number(kHotKeyModifier, &HotKeySettings::modifier),
    Number(kHotKeyAction, &HotKeySettings::action)};

}  // namespace

void ReminderSettings::Load(const std::string& section) { LoadFields(*this, kReminderFields, section); }
void ReminderSettings::Save(const std::string& section) const { SaveFields(*this, kReminderFields, section); }

void ShutdownSettings::Load(const std::string& section) { LoadFields(*this, kShutdownFields, section); }
void ShutdownSettings::Save(const std::string& section) const { SaveFields(*this, kShutdownFields, section); }

void SuspendSettings::Load(const std::string& section) { LoadFields(*this, kSuspendFields, section); }
void SuspendSettings::Save(const std::string& section) const { SaveFields(*this, kSuspendFields, section); }

void WakeOnLanSettings::Load(const std::string& section) { LoadFields(*this, kWakeOnLanFields, section); }
void WakeOnLanSettings::Save(const std::string& section) const { SaveFields(*this, kWakeOnLanFields, section); }

void MainFormSettings::Load(const std::string& section) { LoadFields(*this, kMainFormFields, section); }
void MainFormSettings::Save(const std::string& section) const { SaveFields(*this, kMainFormFields, section); }

void StartupSettings::Load() { LoadFields(*this, kStartupFields, kGlobal); }
void StartupSettings::Save() const { SaveFields(*this, kStartupFields, kGlobal); }

void StartWindowSettings::Load() { LoadFields(*this, kStartWindowFields, kGlobal); }

void AppearanceSettings::Load() { LoadFields(*this, kAppearanceFields, kGlobal); }
void AppearanceSettings::Save() const { SaveFields(*this, kAppearanceFields, kGlobal); }

void AnimationSettings::Load() { LoadFields(*this, kAnimationFields, kGlobal); }

void BackgroundSettings::Load() { LoadFields(*this, kBackgroundFields, kGlobal); }

void MouseShortcut::Load(MouseButton button) {
  LoadFields(*this, kMouseFields[static_cast<int>(button)], kGlobal);
}
void MouseShortcut::Save(MouseButton button) const {
  SaveFields(*this, kMouseFields[static_cast<int>(button)], kGlobal);
}

std::array<MouseShortcut, 3> LoadMouseShortcuts() {
  std::vector<SettingId> ids;
  for (const Fields<MS>& button : kMouseFields) {
    for (const Field<MS>& field : button) ids.push_back(field.id);
  }
  std::vector<std::uint32_t> values;
  ReadNumbers(ids, values, kGlobal, kHiveCurrentUser);
  std::array<MouseShortcut, 3> shortcuts;
  std::size_t next = 0;
  for (std::size_t b = 0; b < shortcuts.size(); ++b) {
    for (const Field<MS>& field : kMouseFields[b]) shortcuts[b].*(field.number) = values[next++];
  }
  return shortcuts;
}

void HotKeySettings::Load(const std::string& section) { LoadFields(*this, kHotKeyFields, section); }
void HotKeySettings::Save(const std::string& section) const { SaveFields(*this, kHotKeyFields, section); }

std::uint32_t ReadNumber(SettingId id, const std::string& section) {
  std::vector<std::uint32_t> values;
  ReadNumbers({id}, values, section, kHiveCurrentUser);
  return values.front();
}

std::string ReadText(SettingId id, const std::string& section) {
  std::vector<std::string> values;
  ReadStrings({id}, values, section, kHiveCurrentUser);
  return values.front();
}

void WriteNumber(SettingId id, std::uint32_t value, const std::string& section) {
  WriteNumbers({id}, {value}, section, kHiveCurrentUser);
}

void WriteText(SettingId id, const std::string& text, const std::string& section) {
  WriteStrings({id}, {text}, section, kHiveCurrentUser);
}

}  // namespace DataSystem
