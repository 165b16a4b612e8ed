#pragma once
#include "app/win32/PropertyPage.h"

class CGlobalOptionsPage4 final : public win::CPropertyPage {
 public:
  CGlobalOptionsPage4() : CPropertyPage(179, "Profiles") {}
};
