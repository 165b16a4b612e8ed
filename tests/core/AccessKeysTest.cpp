// The Appearance page's captions in every shipped language file and in its
// built-in copy: a caption keyed in the built-in texts keeps one access key,
// and no key is taken twice on the page. (The keys of the main window and an
// action page at work: MainWindowE2eTest.)
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "localization/Localization.h"
#include "settings/AppearanceTexts.h"

namespace {

TEST(AccessKeys, AppearancePageInEveryShippedLanguageAndItsBuiltInTexts) {
  std::map<std::string, std::map<std::int32_t, std::string>> languages;
  for (const auto& [id, text] : Vesperon::kAppearanceBuiltInTexts) languages["built-in"][id] = text;
  const std::string folder = std::string(VESPERON_SOURCE_DIR) + "/resources/Localization";
  std::vector<std::string> files;
  Vesperon::LocalizationProvider(folder, "").ListLanguages(files);
  EXPECT_GE(files.size(), 2u);
  for (const std::string& language : files) {
    Vesperon::StringSet set = Vesperon::LocalizationProvider(folder, language).LoadStringSet(3);
    for (const auto& [text, id] : set.Entries()) languages[language].emplace(id, text);
  }
  for (const auto& [language, texts] : languages) {
    SCOPED_TRACE(language);
    std::set<char> taken = {'A'};  // the sheet's own Apply button
    for (const auto& [id, control] : Vesperon::kAppearanceCaptions) {
      const std::string& caption = texts.at(id);
      std::string keys;  // upper-cased; "&&" is a plain "&"
      for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&' && caption[++i] != '&')
          keys += static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i])));
      }
      const bool keyed = languages["built-in"].at(id).find('&') != std::string::npos;
      EXPECT_TRUE(!keyed || keys.size() == 1u) << caption << " needs one key";
      for (char key : keys) EXPECT_TRUE(taken.insert(key).second) << "key " << key << " again in " << caption;
    }
  }
}

}  // namespace
