#pragma once
// The "Appearance" page of the global options: translucency, the main
// window's animation, the dialog background and the language. Its captions
// come from string set 3 of the current language file; the settings are
// written only when the sheet saves the page.
#include <cstdint>
#include <string>

#include "app/win32/HyperLink.h"
#include "app/win32/PropertyPage.h"

class CGlobalOptionsPage3 final : public win::CPropertyPage {
 public:
  CGlobalOptionsPage3() : CPropertyPage(178, "Appearance") {}

  void OnApply(const std::string& section) override;
  // The image path must be a text the system can store.
  bool CheckPage() override;

 protected:
  bool OnInit() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool OnCommand(int id, int code) override;
  bool OnButtonClicked(int id) override;

 private:
  // Captions and list entries from the language file; a file that cannot
  // be used is reported and the page keeps its built-in English texts.
  void SetCaptions();
  void UpdateEnabledStates() const;
  int BackgroundType() const;
  void ChooseColour();
  void BrowseImage();

  win::CHyperLink link_;
  COLORREF colour_ = 0;
  // What the settings held, kept for a list the user left without a
  // selection (a stored value the list does not offer).
  std::uint32_t storedType_ = 0, storedDirection_ = 0;
  std::string storedLanguage_;
};
