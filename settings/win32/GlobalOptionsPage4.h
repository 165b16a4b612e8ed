#pragma once
// CGlobalOptionsPage4, "Profiles": the list of profiles with the active one
// marked, and buttons that copy, rename, delete, activate, export and
// import profiles. Unlike the other pages it writes at once, button by
// button; the sheet's OK, Apply and Cancel do not touch profiles. The list
// is built once and then kept in step by each button.
#include <string>
#include <vector>

#include "app/win32/PropertyPage.h"
#include "settings/StoreExceptions.h"

class CGlobalOptionsPage4 final : public win::CPropertyPage {
 public:
  static constexpr int kTemplate = 179;
  static constexpr int kList = 1054, kCopy = 1055, kRename = 1056, kDelete = 1057,
                       kSetActive = 1058, kExport = 1061, kImport = 1062;

  CGlobalOptionsPage4() : CPropertyPage(kTemplate, "Profiles") {}

  // The index of the selected (and focused) row; -1 after telling the user
  // to select one.
  int GetSelectedProfileIndex() const;

 protected:
  bool OnInit() override;
  bool OnNotify(const NMHDR& header, INT_PTR& result) override;
  bool OnButtonClicked(int id) override;

 private:
  void OnItemChanged(int item);
  void OnCopy();
  void OnRename();
  void OnDelete();
  void OnSetActive();
  void OnExport();
  void OnImport();

  // The name dialog over the stored profile names; false on Cancel.
  bool AskName(const char* title, const char* prompt, std::string& text) const;
  // A store refusal the user can act on, as a message; false for others.
  bool ExplainRefusal(const DataSystem::DataSystemException& refusal) const;
  void Message(const char* text) const;

  HWND List() const { return Item(kList); }
  std::string ItemText(int item, int column) const;
  void SetItemText(int item, int column, const std::string& text) const;
  // Inserts a row for `name` at `index` with its last change (NT line).
  void InsertRow(int index, const std::string& name) const;
  int FindRow(const std::string& name) const;

  bool ntLine_ = true;
  double browserVersion_ = 0.0;
};
