#pragma once
// The pages of the "Action Properties" sheet, one per group of actions
// with settings. Each reads the active profile when it is first shown and
// writes the section the sheet names on OK and Apply.
#include "app/win32/PropertyPage.h"

#include <cstdint>
#include <string>
#include <vector>

#include "actions/ActionPageRules.h"

// Reminder: the text, the sound and the auto-close time of the reminder
// window, and a test of the window with what the page holds.
class CActionPropPage1 final : public win::CPropertyPage {
 public:
  CActionPropPage1() : CPropertyPage(107, "Reminder") {}
  void OnApply(const std::string& section) override;
  // The message and the sound file must be texts the system can store.
  bool CheckPage() override;

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnButtonClicked(int id) override;

 private:
  void OnAutoCloseTimeChanged();
  void BrowseSoundFile();
  void PlaySoundFile();
  void TestReminder();

  // Set while the page writes into its own controls, whose change
  // notifications are then no edits of the user.
  bool filling_ = false;
  std::uint32_t closeTime_ = 1;
  std::uint32_t closeUnit_ = 1;
};

// Shutdown/Log off/Reboot: force options and the shutdown reason.
class CActionPropPage2 final : public win::CPropertyPage {
 public:
  CActionPropPage2() : CPropertyPage(146, "Shutdown/Log off/Reboot") {}
  void OnApply(const std::string& section) override;

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnButtonClicked(int id) override;

 private:
  // Kept apart from the list: a stored index the list does not have is
  // written back as it was.
  std::uint32_t reason_ = 0;
};

// Hibernate/Standby: force and wake-event options.
class CActionPropPage3 final : public win::CPropertyPage {
 public:
  CActionPropPage3() : CPropertyPage(192, "Hibernate/Standby") {}
  void OnApply(const std::string& section) override;

 protected:
  bool OnInit() override;
  bool OnButtonClicked(int id) override;
};

// The two pages that edit a list of name patterns above a list of what runs
// now, from which names can be added.
class CPatternListPage : public win::CPropertyPage {
 public:
  struct Layout {
    Vesperon::PatternListKind kind;
    std::uint32_t setting;  // DataSystem::SettingId of the stored list
    int patterns, running, add, refresh, test, remove, create;
    const char* newRowText;
  };

  CPatternListPage(int templateId, const char* title, const Layout& layout)
      : CPropertyPage(templateId, title), layout_(layout) {}
  void OnApply(const std::string& section) override;

  std::vector<std::string> Patterns() const;

 protected:
  bool OnInit() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool OnButtonClicked(int id) override;
  bool OnNotify(const NMHDR& header, INT_PTR& result) override;

  // The columns of the lower list.
  virtual void AddRunningColumns(HWND list) = 0;
  // Fills the (empty) lower list.
  virtual void FillRunning(HWND list) = 0;
  // Runs the action with these patterns.
  virtual void RunTest(const std::vector<std::string>& patterns) = 0;

  static void AddRow(HWND list, const std::vector<std::string>& columns);

 private:
  void Refresh();
  void NewRow();
  void DeleteRow();
  void AddRunning();
  void OnBeginLabelEdit();
  bool OnEndLabelEdit(const NMLVDISPINFOA& info);
  static LRESULT CALLBACK LabelEditProc(HWND edit, UINT msg, WPARAM w, LPARAM l, UINT_PTR id,
                                        DWORD_PTR page);

  Layout layout_;
  // The list's edit box while a label is edited, and whether the user
  // cancelled it with Escape.
  HWND labelEdit_ = nullptr;
  bool labelEditCancelled_ = false;
  // A refusal found when an edit ended, shown once the edit is over.
  std::string pendingRefusal_;
};

class CActionPropPage4 final : public CPatternListPage {  // Disconnect
 public:
  CActionPropPage4();

 protected:
  void AddRunningColumns(HWND list) override;
  void FillRunning(HWND list) override;
  void RunTest(const std::vector<std::string>& patterns) override;
};

// Wake-on-LAN: the target's address, subnet mask and hardware address.
class CActionPropPage5 final : public win::CPropertyPage {
 public:
  CActionPropPage5();
  void OnApply(const std::string& section) override;
  bool CheckPage() override;

 protected:
  bool OnInit() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool OnCommand(int id, int code) override;
  bool OnButtonClicked(int id) override;

 private:
  bool CheckMacText();
  void LookUpMac();

  bool filling_ = false;
  bool closing_ = false;
  // The last hardware address the page accepted, put back over a refused one.
  std::string acceptedMac_;
};

class CActionPropPage6 final : public CPatternListPage {  // Kill Process
 public:
  CActionPropPage6();

 protected:
  void AddRunningColumns(HWND list) override;
  void FillRunning(HWND list) override;
  void RunTest(const std::vector<std::string>& patterns) override;
};
