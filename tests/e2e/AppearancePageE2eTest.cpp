// The Appearance page of the global options, driven from outside: its
// captions come from the chosen language file beside the program, OK
// writes what the user changed and Cancel nothing, and a language file
// that cannot be used is reported without taking the page away.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>
#include <fstream>

namespace {

using namespace e2e;

constexpr int kAppearanceTab = 2;
constexpr int kSlider = 1036, kTypeList = 1037, kLanguageList = 1038, kSystemBackground = 1039,
              kColourBackground = 1040, kImagePath = 1002, kLanguageGroup = 1044, kBackgroundGroup = 1045,
              kOpaqueLabel = 1049, kTranslucentLabel = 1050, kDirectionList = 1052, kDirectionLabel = 1053;
constexpr char kAppearance[] = "Global\\Appearance";

std::vector<std::string> ComboTexts(HWND combo) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(SimProcess::Send(combo, CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    // Across processes Wine hands the item's text over as UTF-16 whatever
    // the call's character set; converted back to the program's code page.
    wchar_t wide[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
    char text[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    texts.emplace_back(text);
  }
  return texts;
}

// Whether a label's text fits its width in the dialogs' font, as the
// program draws it (no clipped captions).
bool TextFits(HWND label) {
  char text[256] = {};
  GetWindowTextA(label, text, sizeof text);
  RECT area{};
  GetClientRect(label, &area);
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                           FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
  HGDIOBJ old = SelectObject(dc, font);
  // Measured as drawn: the access key's "&" takes no room.
  RECT drawn{};
  DrawTextA(dc, text, -1, &drawn, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return drawn.right <= area.right;
}

class AppearancePageE2e : public SimTest {
 protected:
  void TearDown() override {
    for (const std::string& file : written_) DeleteFileA(file.c_str());
    SimTest::TearDown();
  }

  void WriteLanguage(const std::string& name, const std::string& bytes) {
    const std::string exe = SimExe();
    const std::string file = exe.substr(0, exe.find_last_of("\\/") + 1) + "Localization\\" + name + ".ldf";
    std::ofstream(file, std::ios::binary) << bytes;
    written_.push_back(file);
  }

  // Opens Global Options on the Appearance page, once its lists are filled;
  // the page, or 0.
  static HWND OpenAppearancePage(SimProcess& sim) {
    HWND page = sim.OpenGlobalOptions(kAppearanceTab, kTypeList);
    WaitFor([&] { return page && SimProcess::Send(GetDlgItem(page, kTypeList), CB_GETCOUNT) > 0; }, 5000);
    return page;
  }
  static void ChooseEnglish(HWND page) {
    Choose(page, kLanguageList, IndexOf(ComboTexts(GetDlgItem(page, kLanguageList)), "English"));
  }

  std::vector<std::string> written_;
};

// The captions come from the chosen language file; one that cannot be used
// is reported, the built-in English texts show and a working language can
// still be chosen.
TEST_F(AppearancePageE2e, CaptionsComeFromTheChosenLanguageFile) {
  const std::string header = "LOCALIZATION DATA FILE - FORMAT V0.1\r\n";
  // Listed before "English" ("English (UK).ldf" sorts first): the stored
  // name's own entry must win over an entry it only begins.
  WriteLanguage("English (UK)", header);
  WriteLanguage("Sparse", header + "STRINGSET 0003\r\n0001 Left\r\n");
  struct Row {
    const char* language;
    std::vector<std::pair<int, std::string>> captions;
    std::vector<std::string> types;
    std::string firstDirection;  // "": not checked
    const char* failure = nullptr;  // the failure box's caption
    std::vector<std::string> mentions = {};
  };
  const std::vector<std::string> english = {"Roll", "Slide", "Fade"};
  const std::vector<Row> rows = {
      {"Deutsch",
       {{kLanguageGroup, "&Sprache"}, {kBackgroundGroup, "Hintergrund"}, {kDirectionLabel, "&Richtung:"},
        {kColourBackground, "&Einfarbig"}, {kOpaqueLabel, "Undurchsichtig"}},
       {"Aufrollen", "Gleiten", "\xDC" "berblenden"},
       "Von links nach rechts"},
      {"English", {{kLanguageGroup, "&Language"}}, english, "Left to right"},
      {"Absent", {{kLanguageGroup, "&Language"}}, english, "Left to right", "Other Error",
       {"Absent.ldf", "cannot be opened"}},
      {"Sparse", {{kLanguageGroup, "&Language"}}, english, "", "General Error",
       {"Sparse.ldf", "no text 2 in string set 3"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.language);
    registry::SetString(kAppearance, "Lang", row.language);
    SimProcess sim;
    HWND page = OpenAppearancePage(sim);
    ASSERT_NE(page, nullptr);
    if (row.failure) {
      const std::string text = sim.TakeMessageBox(row.failure);
      for (const std::string& mention : row.mentions) EXPECT_NE(text.find(mention), std::string::npos) << text;
    }
    for (const auto& [id, caption] : row.captions) EXPECT_EQ(sim.Text(GetDlgItem(page, id)), caption) << id;
    for (int id : {kOpaqueLabel, kTranslucentLabel, kDirectionLabel})
      EXPECT_TRUE(TextFits(GetDlgItem(page, id))) << sim.Text(GetDlgItem(page, id));
    EXPECT_EQ(ComboTexts(GetDlgItem(page, kTypeList)), row.types);
    const std::vector<std::string> directions = ComboTexts(GetDlgItem(page, kDirectionList));
    ASSERT_EQ(directions.size(), 8u);
    EXPECT_TRUE(row.firstDirection.empty() || directions[0] == row.firstDirection) << directions[0];
    // The current language chosen; after a failure, English is there to be
    // chosen. (The folder's listing: the core's LocalizationTest.)
    EXPECT_EQ(sim.WaitForBox("Other Error", 0), nullptr);
    if (row.failure) {
      ChooseEnglish(page);
    } else {
      EXPECT_EQ(sim.Text(GetDlgItem(page, kLanguageList)), row.language);
    }
    // OK without a change keeps the language.
    EXPECT_TRUE(sim.CloseSheet(IDOK));
    EXPECT_EQ(registry::String(kAppearance, "Lang"), row.failure ? "English" : row.language);
  }
}

// A stored background type no button stands for shows as the default and
// does not keep the page from saving what the user changed.
TEST_F(AppearancePageE2e, OkWritesTheChangesAndCancelNothing) {
  for (const int button : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(button == IDOK ? "OK" : "Cancel");
    SimTest::SetUp();
    registry::SetString(kAppearance, "Lang", "Deutsch");
    registry::SetDword(kAppearance, "BkGrType", 7);
    SimProcess sim;
    HWND page = OpenAppearancePage(sim);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(SimProcess::Send(GetDlgItem(page, kSystemBackground), BM_GETCHECK), BST_CHECKED);
    HWND slider = GetDlgItem(page, kSlider);
    SimProcess::Send(slider, TBM_SETPOS, TRUE, 200);
    SimProcess::Send(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 200), reinterpret_cast<LPARAM>(slider));
    Choose(page, kTypeList, 2);
    // A blend has no direction.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kDirectionList)));
    SimProcess::Send(GetDlgItem(page, kColourBackground), BM_CLICK);
    ChooseEnglish(page);
    ASSERT_TRUE(sim.CloseSheet(button));

    const bool saved = button == IDOK;
    EXPECT_EQ(registry::Dword(kAppearance, "Transluc"), saved ? 200u : 255u);
    EXPECT_EQ(registry::Dword(kAppearance, "AnimType"), saved ? 2u : 0u);
    EXPECT_EQ(registry::Dword(kAppearance, "AnimDirec"), 4u);
    EXPECT_EQ(registry::Dword(kAppearance, "BkGrType"), saved ? 1u : 7u);
    EXPECT_EQ(registry::String(kAppearance, "Lang"), saved ? "English" : "Deutsch");
    // Saving makes the main window itself translucent at once.
    const bool layered = (GetWindowLongA(sim.MainWindow(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    EXPECT_EQ(layered, saved);
  }
}

TEST_F(AppearancePageE2e, SolidBackgroundCoversSheetPageAndLabelsButNotTheEditField) {
  registry::SetDword(kAppearance, "BkGrType", 1);
  registry::SetDword(kAppearance, "BkGrColR", 200);
  registry::SetDword(kAppearance, "BkGrColG", 220);
  registry::SetDword(kAppearance, "BkGrColB", 240);
  SimProcess sim;
  HWND page = OpenAppearancePage(sim);
  ASSERT_NE(page, nullptr);
  SetForegroundWindow(sim.Sheet());
  // A screen point inside `window`, `x` and `y` from its client corner
  // (negative: from the far side).
  auto colourAt = [](HWND window, int x, int y) {
    RECT area{};
    GetClientRect(window, &area);
    POINT p{x >= 0 ? x : area.right + x, y >= 0 ? y : area.bottom + y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return colour;
  };
  const COLORREF chosen = RGB(200, 220, 240);
  WaitFor([&] { return colourAt(page, -3, -3) == chosen; }, 3000);
  EXPECT_EQ(colourAt(page, -3, -3), chosen);                      // the page
  EXPECT_EQ(colourAt(sim.Sheet(), 3, -3), chosen);                     // the sheet around it
  EXPECT_EQ(colourAt(GetDlgItem(page, kOpaqueLabel), -2, 2), chosen);  // behind a label
  // An edit field keeps its own background (it may be painted last).
  EXPECT_TRUE(WaitFor([&] { return colourAt(GetDlgItem(page, kImagePath), 20, 5) != chosen; }, 3000));
  EXPECT_TRUE(sim.CloseSheet(IDCANCEL));
}

}  // namespace
