// Every caption a keyboard user acts on carries an access key, and no key is
// taken twice in one window. Read from the dialog and menu resources, the
// labels the main window puts in for each trigger kind, and the Appearance
// page's texts in every shipped language file and in its built-in copy.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/MainWindowRules.h"
#include "localization/Localization.h"
#include "settings/AppearanceTexts.h"

namespace {

const std::string kResources = std::string(VESPERON_SOURCE_DIR) + "/resources/";

struct Control {
  std::string keyword, caption, id, cls;
};

struct Menu {
  std::vector<std::string> bar;                  // the titles of its popups
  std::vector<std::vector<std::string>> popups;  // the items of each popup
};

struct Resources {
  std::map<std::string, std::vector<Control>> dialogs;
  std::vector<std::string> dialogOrder;
  std::map<std::string, Menu> menus;
};

// The comma-separated arguments after the keyword, quotes removed ("" in
// a quoted string stands for one quote).
std::vector<std::string> Arguments(const std::string& line, std::size_t at) {
  std::vector<std::string> args(1);
  for (bool quoted = false; at < line.size(); ++at) {
    const char c = line[at];
    if (c == '"' && quoted && at + 1 < line.size() && line[at + 1] == '"')
      args.back() += line[++at];
    else if (c == '"')
      quoted = !quoted;
    else if (quoted || (c != ',' && !std::isspace(static_cast<unsigned char>(c))))
      args.back() += c;
    else if (c == ',')
      args.emplace_back();
  }
  return args;
}

Resources Parse(const std::string& file) {
  std::ifstream in(kResources + file);
  EXPECT_TRUE(in) << kResources + file;
  Resources out;
  std::string line, name, type;
  int depth = 0;
  const std::set<std::string> captioned = {"LTEXT",       "RTEXT",           "CTEXT",    "GROUPBOX",
                                           "PUSHBUTTON",  "DEFPUSHBUTTON",   "CHECKBOX", "AUTOCHECKBOX",
                                           "RADIOBUTTON", "AUTORADIOBUTTON", "CONTROL",  "ICON"};
  const std::set<std::string> uncaptioned = {"EDITTEXT", "COMBOBOX", "LISTBOX"};
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first, second;
    words >> first >> second;
    const std::size_t after = line.find(first) + first.size();
    if (depth == 0 && (second == "DIALOGEX" || second == "MENU")) {
      name = first;
      type = second;
      if (type == "DIALOGEX") out.dialogOrder.push_back(name);
      continue;
    }
    if (first == "BEGIN") {
      ++depth;
    } else if (first == "END") {
      if (--depth == 0) name.clear();
    } else if (!name.empty() && depth > 0 && type == "DIALOGEX") {
      std::vector<std::string> args = Arguments(line, after);
      if (captioned.count(first))
        out.dialogs[name].push_back({first, args[0], args.size() > 1 ? args[1] : "",
                                     first == "CONTROL" && args.size() > 2 ? args[2] : ""});
      else if (uncaptioned.count(first))
        out.dialogs[name].push_back({first, "", args[0], ""});
    } else if (!name.empty() && depth > 0 && type == "MENU" && (first == "POPUP" || first == "MENUITEM")) {
      Menu& menu = out.menus[name];
      const std::string caption = Arguments(line, after)[0];
      if (first == "POPUP") {
        menu.bar.push_back(caption);
        menu.popups.emplace_back();
      } else if (caption != "SEPARATOR") {
        menu.popups.back().push_back(caption);
      }
    }
  }
  return out;
}

// The access keys of a caption, upper-cased ("&&" is a plain "&").
std::string Keys(const std::string& caption) {
  std::string keys;
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&')
      keys += static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    ++i;
  }
  return keys;
}

bool IsButton(const Control& c) {
  static const std::set<std::string> kinds = {"PUSHBUTTON",   "DEFPUSHBUTTON", "CHECKBOX",
                                              "AUTOCHECKBOX", "RADIOBUTTON",   "AUTORADIOBUTTON"};
  return kinds.count(c.keyword) || c.cls == "Button";
}

bool IsField(const Control& c) {
  static const std::set<std::string> classes = {"ComboBoxEx32",    "SysListView32",     "SysIPAddress32",
                                                "msctls_hotkey32", "SysDateTimePick32", "msctls_trackbar32"};
  return c.keyword == "EDITTEXT" || c.keyword == "COMBOBOX" || c.keyword == "LISTBOX" || classes.count(c.cls);
}

// A static text or group box names the field right after it: its key leads
// there. OK and Cancel answer Enter and Escape.
bool NeedsKey(const std::vector<Control>& controls, std::size_t i) {
  const Control& c = controls[i];
  if (c.caption.empty()) return false;
  if (IsButton(c)) return c.id != "IDOK" && c.id != "IDCANCEL";
  const bool label =
      c.keyword == "LTEXT" || c.keyword == "RTEXT" || c.keyword == "CTEXT" || c.keyword == "GROUPBOX";
  return label && i + 1 < controls.size() && IsField(controls[i + 1]);
}

struct Caption {
  std::string text;
  bool needsKey;
};

// Checks one window; `taken` holds the keys its frame already uses.
void CheckWindow(const std::string& window, const std::vector<Caption>& captions, std::set<char> taken = {}) {
  SCOPED_TRACE(window);
  int keyed = 0;
  for (const Caption& caption : captions) {
    const std::string keys = Keys(caption.text);
    if (caption.needsKey) {
      EXPECT_EQ(keys.size(), 1u) << "\"" << caption.text << "\"";
      ++keyed;
    }
    for (char key : keys)
      EXPECT_TRUE(taken.insert(key).second) << "key " << key << " again in \"" << caption.text << "\"";
  }
  EXPECT_GT(keyed, 0);
}

std::vector<Caption> DialogCaptions(const std::vector<Control>& controls) {
  std::vector<Caption> captions;
  for (std::size_t i = 0; i < controls.size(); ++i)
    captions.push_back({controls[i].caption, NeedsKey(controls, i)});
  return captions;
}

// The sheet's own Apply button shows its key next to every page.
const std::set<char> kSheetKeys = {'A'};

TEST(AccessKeys, EveryPageOfBothSheetsAndTheTweaksDialog) {
  struct Row {
    const char* file;
    std::size_t dialogs;
    bool page;
  };
  const Row rows[] = {
      {"ActionPages.rc", 6, true},        {"GlobalOptionsPage1.rc", 1, true},
      {"GlobalOptionsPage2.rc", 1, true}, {"GlobalOptionsPage3.rc", 1, true},
      {"GlobalOptionsPage4.rc", 1, true}, {"SystemTweaks.rc", 1, false},
  };
  for (const Row& row : rows) {
    const Resources res = Parse(row.file);
    EXPECT_EQ(res.dialogOrder.size(), row.dialogs) << row.file;
    for (const std::string& name : res.dialogOrder)
      CheckWindow(std::string(row.file) + " " + name, DialogCaptions(res.dialogs.at(name)),
                  row.page ? kSheetKeys : std::set<char>{});
  }
}

TEST(AccessKeys, AppearancePageInEveryShippedLanguageAndItsBuiltInTexts) {
  const std::vector<Control> page = Parse("GlobalOptionsPage3.rc").dialogs["178"];
  auto check = [&](const std::string& language, auto&& text) {
    std::vector<Control> controls = page;
    for (const auto& [id, control] : Vesperon::kAppearanceCaptions)
      for (Control& c : controls)
        if (c.id == std::to_string(control)) c.caption = text(id);
    CheckWindow(language, DialogCaptions(controls), kSheetKeys);
  };
  std::map<std::int32_t, std::string> builtIn;
  for (const auto& [id, text] : Vesperon::kAppearanceBuiltInTexts) builtIn[id] = text;
  check("built-in", [&](std::int32_t id) { return builtIn.at(id); });

  const std::string folder = kResources + "Localization";
  std::vector<std::string> languages;
  Vesperon::LocalizationProvider(folder, "").ListLanguages(languages);
  EXPECT_GE(languages.size(), 2u);
  for (const std::string& language : languages) {
    Vesperon::LocalizationProvider provider(folder, language);
    Vesperon::StringSet set = provider.LoadStringSet(3);
    check(language, [&](std::int32_t id) { return set.GetString(id); });
  }
}

TEST(AccessKeys, MainWindowForEveryTriggerKindWithItsMenus) {
  const Resources res = Parse("Vesperon.rc");
  const Menu& bar = res.menus.at("IDR_MAIN_MENU");
  for (std::int32_t kind = 0; kind <= 6; ++kind) {
    const Vesperon::KindEditor editor = Vesperon::EditorForKind(kind);
    std::vector<Control> controls = res.dialogs.at("IDD_VESPERON_DIALOG");
    for (Control& c : controls) {
      if (c.id == "IDC_LABEL_UPPER") c.caption = editor.upperLabel;
      if (c.id == "IDC_LABEL_LOWER") c.caption = editor.lowerLabel;
    }
    std::vector<Caption> captions = DialogCaptions(controls);
    for (const std::string& title : bar.bar) captions.push_back({title, true});
    CheckWindow("main window, trigger kind " + std::to_string(kind), captions);
  }
  ASSERT_EQ(bar.popups.size(), 2u);
  for (std::size_t i = 0; i < bar.popups.size(); ++i) {
    std::vector<Caption> items;
    for (const std::string& item : bar.popups[i]) items.push_back({item, true});
    CheckWindow(bar.bar[i], items);
  }

  const Menu& tray = res.menus.at("IDR_TRAY_MENU");
  ASSERT_EQ(tray.popups.size(), 1u);
  std::vector<Caption> items;
  for (const std::string& item : tray.popups[0]) {
    EXPECT_EQ(item.substr(0, 1), " ") << item;
    items.push_back({item, true});
  }
  EXPECT_EQ(items.size(), 10u);
  CheckWindow("tray menu", items);
}

}  // namespace
