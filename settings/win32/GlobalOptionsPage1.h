#pragma once
#include "app/win32/PropertyPage.h"

class CGlobalOptionsPage1 final : public win::CPropertyPage {
 public:
  CGlobalOptionsPage1() : CPropertyPage(106, "Trigger / Startup") {}
};
