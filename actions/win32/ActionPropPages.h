#pragma once
// The pages of the "Action Properties" sheet, one per group of actions
// with settings.
#include "app/win32/PropertyPage.h"

class CActionPropPage1 final : public win::CPropertyPage {  // Reminder
 public:
  CActionPropPage1() : CPropertyPage(107, "Reminder") {}
};
class CActionPropPage2 final : public win::CPropertyPage {
 public:
  CActionPropPage2() : CPropertyPage(146, "Shutdown/Log off/Reboot") {}
};
class CActionPropPage3 final : public win::CPropertyPage {
 public:
  CActionPropPage3() : CPropertyPage(192, "Hibernate/Standby") {}
};
class CActionPropPage4 final : public win::CPropertyPage {
 public:
  CActionPropPage4() : CPropertyPage(177, "Disconnect") {}
};
class CActionPropPage5 final : public win::CPropertyPage {
 public:
  CActionPropPage5() : CPropertyPage(200, "Wake-on-LAN") {}
};
class CActionPropPage6 final : public win::CPropertyPage {
 public:
  CActionPropPage6() : CPropertyPage(201, "Kill Process") {}
};
