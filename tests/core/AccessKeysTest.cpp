// No access key is taken twice in one window, and every button and menu item
// carries one. Read from the dialog and menu templates, the labels the main
// window puts in for each trigger kind, and the Appearance page's texts in
// every shipped language file and in its built-in copy.
#include <gtest/gtest.h>

#include <algorithm>
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

struct Caption {
  std::string text, id;
  bool needsKey;
};
using Block = std::vector<Caption>;  // what one BEGIN..END of a template holds directly

// Every block of a template file by name: a dialog's controls under the
// dialog's name, a menu bar's titles under the menu's, a popup's items under
// "menu/title"; nothing of the other blocks. Buttons and menu items need a
// key; OK and Cancel answer Enter and Escape.
std::map<std::string, Block> Parse(const std::string& file) {
  std::ifstream in(kResources + file);
  EXPECT_TRUE(in) << file;
  std::map<std::string, Block> blocks;
  std::vector<std::string> open;
  std::string next, line;
  const std::set<std::string> buttons = {"PUSHBUTTON", "DEFPUSHBUTTON", "CHECKBOX", "AUTOCHECKBOX",
                                         "RADIOBUTTON", "AUTORADIOBUTTON", "MENUITEM"};
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first, second;
    words >> first >> second;
    std::size_t at = line.find('"');
    if (first == "BEGIN") {
      open.push_back(next);
      blocks[next];
    } else if (first == "END") {
      open.pop_back();
      if (open.empty()) next.clear();
    } else if (open.empty() && (second == "DIALOGEX" || second == "MENU")) {
      next = first;
    } else if (!open.empty() && !open.back().empty() && at != std::string::npos && first.rfind("//", 0) != 0) {
      Caption c;  // "" in a quoted text stands for one quote
      for (++at; line[at] != '"' || line[at + 1] == '"'; ++at) c.text += line[line[at] == '"' ? ++at : at];
      std::string rest = line.substr(at + 1);
      std::replace(rest.begin(), rest.end(), ',', ' ');
      std::istringstream(rest) >> c.id;
      c.needsKey = !c.text.empty() && c.id != "IDOK" && c.id != "IDCANCEL" &&
                   (buttons.count(first) || line.find("\"Button\"") != std::string::npos);
      blocks[open.back()].push_back(c);
      if (first == "POPUP") next = open.back() + "/" + c.text;
    }
  }
  return blocks;
}

// Checks one window; `taken` holds the keys its frame already uses.
void CheckWindow(const std::string& window, const Block& captions, std::set<char> taken = {}) {
  SCOPED_TRACE(window);
  for (const Caption& caption : captions) {
    std::string keys;  // upper-cased; "&&" is a plain "&"
    for (std::size_t i = 0; i + 1 < caption.text.size(); ++i) {
      if (caption.text[i] == '&' && caption.text[++i] != '&')
        keys += static_cast<char>(std::toupper(static_cast<unsigned char>(caption.text[i])));
    }
    EXPECT_TRUE(!caption.needsKey || keys.size() == 1u) << "\"" << caption.text << "\" needs one key";
    for (char key : keys)
      EXPECT_TRUE(taken.insert(key).second) << "key " << key << " again in \"" << caption.text << "\"";
  }
}

// The sheet's own Apply button shows its key next to every page.
const std::set<char> kSheetKeys = {'A'};

TEST(AccessKeys, EveryTemplateTheMainWindowForEachTriggerKindAndTheAppearancePageInEachLanguage) {
  for (const char* file : {"ActionPages.rc", "GlobalOptionsPage1.rc", "GlobalOptionsPage2.rc",
                           "GlobalOptionsPage3.rc", "GlobalOptionsPage4.rc", "SystemTweaks.rc"}) {
    const bool pages = std::string(file).find("Page") != std::string::npos;
    for (const auto& [name, block] : Parse(file)) CheckWindow(file + (" " + name), block, pages ? kSheetKeys : std::set<char>{});
  }
  std::map<std::string, Block> main = Parse("Vesperon.rc");
  for (const char* popup : {"IDR_MAIN_MENU/&Settings", "IDR_MAIN_MENU/&Help", "IDR_TRAY_MENU/TrayIcon Popup"})
    CheckWindow(popup, main.at(popup));
  EXPECT_EQ(main.at("IDR_TRAY_MENU/TrayIcon Popup").size(), 10u);
  for (std::int32_t kind = 0; kind <= 6; ++kind) {
    const Vesperon::KindEditor editor = Vesperon::EditorForKind(kind);
    Block window = main.at("IDD_VESPERON_DIALOG");
    for (Caption& c : window) {
      if (c.id == "IDC_LABEL_UPPER") c.text = editor.upperLabel;
      if (c.id == "IDC_LABEL_LOWER") c.text = editor.lowerLabel;
    }
    for (const Caption& title : main.at("IDR_MAIN_MENU")) window.push_back({title.text, "", true});
    CheckWindow("main window, trigger kind " + std::to_string(kind), window);
  }

  // Every keyed caption of the Appearance page comes from string set 3.
  std::map<std::string, std::map<std::int32_t, std::string>> languages;
  for (const auto& [id, text] : Vesperon::kAppearanceBuiltInTexts) languages["built-in"][id] = text;
  const std::string folder = kResources + "Localization";
  std::vector<std::string> files;
  Vesperon::LocalizationProvider(folder, "").ListLanguages(files);
  EXPECT_GE(files.size(), 2u);
  for (const std::string& language : files) {
    Vesperon::StringSet set = Vesperon::LocalizationProvider(folder, language).LoadStringSet(3);
    for (const auto& [text, id] : set.Entries()) languages[language].emplace(id, text);
  }
  for (const auto& [language, texts] : languages) {
    Block page;
    for (const auto& [id, control] : Vesperon::kAppearanceCaptions) {
      const std::string builtIn = languages["built-in"].at(id);
      page.push_back({texts.at(id), "", builtIn.find('&') != std::string::npos});
    }
    CheckWindow(language, page, kSheetKeys);
  }
}

}  // namespace
