#include "settings/win32/GlobalOptionsPage3.h"

#include <commdlg.h>

#include <utility>
#include <vector>

#include "app/MainWindowRules.h"
#include "localization/Localization.h"
#include "settings/Appearance.h"
#include "settings/AppearanceTexts.h"
#include "settings/SettingSchema.h"
#include "settings/SettingsKey.h"
#include "model/OsVersion.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "platform/win32/CommonDialogs.h"

namespace {

enum Control : int {
  kImagePath = 1002,
  kSlider = 1036,
  kTypeList = 1037,
  kLanguageList = 1038,
  kSystemBackground = 1039,
  kColourBackground = 1040,
  kImageBackground = 1041,
  kColourButton = 1042,
  kBrowseButton = 1043,
  kLanguageGroup = 1044,
  kBackgroundGroup = 1045,
  kAnimationGroup = 1046,
  kTranslucencyGroup = 1047,
  kOpaqueLabel = 1049,
  kTranslucentLabel = 1050,
  kDownloadLink = 1051,
  kDirectionList = 1052,
  kDirectionLabel = 1053,
};

constexpr std::int32_t kAppearanceSet = 3;
constexpr std::int32_t kFirstDirection = 1, kLastDirection = 8;
constexpr std::int32_t kFirstType = 22;
constexpr int kSliderTicks = 8;
constexpr char kLanguageCatalogue[] = "https://vesperon.example.com/languages/";
constexpr COLORREF kTipBackground = 0xE1FFFF, kTipText = 0;
// Posted by the initialisation so that a language-file failure is reported
// over the finished page.
constexpr UINT kReportLanguageFailure = WM_APP + 0x31;

// The page's own English texts: what it shows when the language file
// cannot supply them, so that the user can still choose another language.
Vesperon::StringSet BuiltInTexts() {
  Vesperon::StringSet set;
  set.SetSetId(kAppearanceSet);
  for (const auto& [id, text] : Vesperon::kAppearanceBuiltInTexts) set.AddString(id, text);
  return set;
}

platform::WindowHandle WindowOf(HWND window) { return reinterpret_cast<platform::WindowHandle>(window); }

void Repaint(HWND window) {
  if (window) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The failure waiting to be reported, for the posted message.
struct LanguageFailure {
  std::string caption, text;
};
LanguageFailure g_languageFailure;

}  // namespace

bool CGlobalOptionsPage3::OnInit() {
  win::CWindow slider(Item(kSlider));
  slider.Send(TBM_SETRANGE, TRUE, MAKELPARAM(Vesperon::kMinimumOpacity, 255));
  slider.Send(TBM_SETTICFREQ, kSliderTicks);

  win::CComboBox languages(Item(kLanguageList));
  std::vector<std::string> names;
  Vesperon::GetLocalizationProvider()->ListLanguages(names);
  for (const std::string& name : names) languages.AddString(name.c_str());

  SetCaptions();
  link_.Attach(Item(kDownloadLink), kLanguageCatalogue, "Visit language files catalog.", kTipBackground,
               kTipText);

  if (!Vesperon::IsOsVersionAtLeast(0, 120)) {
    for (int id : {kOpaqueLabel, kTranslucentLabel, kTranslucencyGroup, kSlider}) {
      win::CWindow(Item(id)).Enable(false);
      win::CWindow(Item(id)).Show(false);
    }
  }
  if (!Vesperon::IsOsVersionAtLeast(20, 120)) {
    for (int id : {kAnimationGroup, kDirectionLabel, kTypeList, kDirectionList}) {
      win::CWindow(Item(id)).Enable(false);
      win::CWindow(Item(id)).Show(false);
    }
  }

  DataSystem::AppearanceSettings stored;
  stored.Load();

  storedType_ = stored.animationType;
  storedDirection_ = stored.animationDirection;
  storedLanguage_ = stored.language;
  slider.Send(TBM_SETPOS, TRUE, Vesperon::StoredOpacity(stored.translucency));
  win::CComboBox(Item(kTypeList)).SetCurSel(static_cast<int>(stored.animationType));
  win::CComboBox(Item(kDirectionList)).SetCurSel(static_cast<int>(stored.animationDirection));
  // The stored language's own entry: a prefix search alone would take
  // "English (UK)" for "English" when the folder lists it first, and OK
  // would store it. Only a name the list does not hold falls back to the
  // first entry it begins.
  const LRESULT exact =
      languages.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(stored.language.c_str()));
  if (exact != CB_ERR)
    languages.SetCurSel(static_cast<int>(exact));
  else
    languages.Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(stored.language.c_str()));
  MakeStorableFields({kImagePath});
  win::CWindow(Item(kImagePath)).SetText(stored.backgroundImage);
  colour_ = Vesperon::ColourRef(stored.red, stored.green, stored.blue);

  // A type no button stands for shows as the default; it is replaced only
  // if the user saves the page.
  const int background = stored.backgroundType <= 2 ? static_cast<int>(stored.backgroundType) : 0;
  CheckRadioButton(h_, kSystemBackground, kImageBackground, kSystemBackground + background);
  UpdateEnabledStates();
  return true;
}

void CGlobalOptionsPage3::SetCaptions() {
  Vesperon::LocalizationProvider* provider = Vesperon::GetLocalizationProvider();
  const Vesperon::StringSet builtIn = BuiltInTexts();
  Vesperon::StringSet set = builtIn;
  bool failed = false;
  try {
    set = provider->LoadStringSet(kAppearanceSet);
  } catch (const Vesperon::Exception& failure) {
    failed = true;
    g_languageFailure = {Vesperon::FailureCaption(failure),
                         Vesperon::LanguageFileFailureText(failure, provider->LanguageFilePath(), kAppearanceSet)};
  }
  auto text = [&](std::int32_t id) {
    try {
      return set.GetString(id);
    } catch (const Vesperon::SystemException& missing) {
      if (!failed) {
        failed = true;
        g_languageFailure = {Vesperon::FailureCaption(missing),
                             Vesperon::LanguageFileFailureText(missing, provider->LanguageFilePath(),
                                                               kAppearanceSet, id)};
      }
      return Vesperon::StringSet(builtIn).GetString(id);
    }
  };

  win::CComboBox directions(Item(kDirectionList));
  for (std::int32_t id = kFirstDirection; id <= kLastDirection; ++id) directions.AddString(text(id).c_str());
  win::CComboBox types(Item(kTypeList));
  types.AddString(text(kFirstType).c_str());
  types.AddString(text(kFirstType + 1).c_str());
  if (Vesperon::IsOsVersionAtLeast(20, 120)) types.AddString(text(kFirstType + 2).c_str());
  for (const auto& [id, control] : Vesperon::kAppearanceCaptions) win::CWindow(Item(control)).SetText(text(id));

  if (failed) PostMessageA(h_, kReportLanguageFailure, 0, 0);
}

int CGlobalOptionsPage3::BackgroundType() const {
  for (int type = 0; type <= 2; ++type)
    if (win::CButton(Item(kSystemBackground + type)).IsChecked()) return type;
  return 0;
}

void CGlobalOptionsPage3::UpdateEnabledStates() const {
  const int type = BackgroundType();
  win::CWindow(Item(kDirectionList)).Enable(win::CComboBox(Item(kTypeList)).GetCurSel() != Vesperon::kAnimBlend);
  win::CWindow(Item(kColourButton)).Enable(type == Vesperon::kBackgroundColour);
  win::CWindow(Item(kBrowseButton)).Enable(type == Vesperon::kBackgroundImage);
  win::CWindow(Item(kImagePath)).Enable(type == Vesperon::kBackgroundImage);
}

void CGlobalOptionsPage3::ChooseColour() {
  // The custom colours the user mixes stay for the life of the process.
  static COLORREF customColours[16] = {};
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = h_;
  choose.rgbResult = colour_;
  choose.lpCustColors = customColours;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (platform::ChooseColour(choose)) colour_ = choose.rgbResult;
}

void CGlobalOptionsPage3::BrowseImage() {
  std::string path;
  Vesperon::ShowFileDialog(path, true, {{"Supported formats *.bmp", "*.bmp"}, {"All files *.*", "*.*"}},
                           "Open image file", "BMP", WindowOf(h_), "");
  if (!path.empty()) win::CWindow(Item(kImagePath)).SetText(path);
}

bool CGlobalOptionsPage3::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) {
  switch (msg) {
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(l) != Item(kSlider)) return false;
      // A preview on the sheet; the main window changes when the page is saved.
      if (Vesperon::IsOsVersionAtLeast(0, 120)) {
        Vesperon::ApplyTranslucency(WindowOf(GetParent(h_)),
                                    static_cast<std::uint8_t>(win::CWindow(Item(kSlider)).Send(TBM_GETPOS)));
      }
      SetModified();
      return true;
    case kReportLanguageFailure:
      MessageBoxA(h_,
                  (g_languageFailure.text +
                   "\n\nThis page shows its built-in English texts. Choose another language, or "
                   "correct or replace the file.")
                      .c_str(),
                  g_languageFailure.caption.c_str(), MB_OK | MB_ICONWARNING);
      return true;
    default:
      return CPropertyPage::OnMessage(msg, w, l, result);
  }
}

bool CGlobalOptionsPage3::OnCommand(int id, int code) {
  if (code == CBN_SELCHANGE && (id == kTypeList || id == kDirectionList || id == kLanguageList)) {
    UpdateEnabledStates();
    SetModified();
    return true;
  }
  // Typing, or the browse result; not the text the initialisation sets.
  if (code == EN_CHANGE && id == kImagePath && PageShown) {
    SetModified();
    return true;
  }
  return CPropertyPage::OnCommand(id, code);
}

bool CGlobalOptionsPage3::OnButtonClicked(int id) {
  if (id >= kSystemBackground && id <= kImageBackground) {
    UpdateEnabledStates();
    SetModified();
    return true;
  }
  if (id == kColourButton) {
    ChooseColour();
    SetModified();
    return true;
  }
  if (id == kBrowseButton) {
    BrowseImage();
    return true;
  }
  return false;
}

bool CGlobalOptionsPage3::CheckPage() { return FieldsStorable({kImagePath}); }

void CGlobalOptionsPage3::OnApply(const std::string&) {
  // The appearance belongs to every profile: always section "Global".
  const int position = static_cast<int>(win::CWindow(Item(kSlider)).Send(TBM_GETPOS));
  const int type = win::CComboBox(Item(kTypeList)).GetCurSel();
  const int direction = win::CComboBox(Item(kDirectionList)).GetCurSel();
  win::CComboBox languages(Item(kLanguageList));
  std::string language = storedLanguage_;
  const int selected = languages.GetCurSel();
  if (selected >= 0) {
    const auto size = languages.Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(selected));
    if (size >= 0) {
      language.assign(static_cast<std::size_t>(size) + 1, '\0');
      languages.Send(CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(language.data()));
      language.resize(static_cast<std::size_t>(size));
    }
  }

  DataSystem::AppearanceSettings{
      static_cast<std::uint32_t>(position), type >= 0 ? static_cast<std::uint32_t>(type) : storedType_,
      static_cast<std::uint32_t>(BackgroundType()), GetRValue(colour_), GetGValue(colour_),
      GetBValue(colour_), direction >= 0 ? static_cast<std::uint32_t>(direction) : storedDirection_,
      language, win::CWindow(Item(kImagePath)).GetText()}
      .Save();

  HWND sheet = GetParent(h_);
  HWND owner = GetWindow(sheet, GW_OWNER);
  if (Vesperon::IsOsVersionAtLeast(0, 120) && owner)
    Vesperon::ApplyTranslucency(WindowOf(owner), static_cast<std::uint8_t>(position));
  for (HWND window : {h_, sheet, owner, Item(kSlider)}) Repaint(window);
}
