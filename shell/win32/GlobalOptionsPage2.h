#pragma once
// The "Shortcuts" page of the global options: the tray mouse operations and
// the hot keys in one list. The decisions are ShortcutsPageLogic's; this
// class is its view over the page's controls. Nothing waits for OK or
// Apply: each button writes and registers at once.
#include <memory>

#include "app/win32/PropertyPage.h"
#include "shell/ShortcutRows.h"

class CGlobalOptionsPage2 final : public win::CPropertyPage, private Vesperon::IShortcutsView {
 public:
  CGlobalOptionsPage2();
  ~CGlobalOptionsPage2() override;

 protected:
  bool OnInit() override;
  bool OnButtonClicked(int id) override;
  bool OnNotify(const NMHDR& header, INT_PTR& result) override;

 private:
  // IShortcutsView
  int RowCount() override;
  std::string OperationText(int row) override;
  std::uint32_t RowData(int row) override;
  void SetRow(int row, const Vesperon::ShortcutRow& content) override;
  void DeleteRow(int row) override;
  int SelectedRow() override;
  void SelectRow(int row) override;
  std::optional<Vesperon::ActionId> ChosenAction() override;
  void SelectAction(Vesperon::ActionId action) override;
  std::int32_t MouseOperation() override;
  void SelectMouseOperation(std::int32_t kind) override;
  void Combination(std::uint16_t& code, std::uint16_t& modifier) override;
  void SetCombination(std::uint16_t code, std::uint16_t modifier) override;
  void EnableDelete(bool enable) override;
  void ShowMessage(const std::string& text) override;

  LRESULT List(UINT msg, WPARAM w = 0, LPARAM l = 0) const;

  win::CImageList images_;
  std::unique_ptr<Vesperon::ShortcutsPageLogic> logic_;
};
