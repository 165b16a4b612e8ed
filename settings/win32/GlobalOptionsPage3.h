#pragma once
#include "app/win32/PropertyPage.h"

class CGlobalOptionsPage3 final : public win::CPropertyPage {
 public:
  CGlobalOptionsPage3() : CPropertyPage(178, "Appearance") {}
};
