#pragma once
#include "app/win32/PropertyPage.h"

class CGlobalOptionsPage2 final : public win::CPropertyPage {
 public:
  CGlobalOptionsPage2() : CPropertyPage(147, "Shortcuts") {}
};
