#pragma once
// Pictures for the items of plain (not owner-drawn) menus, painted from
// image-list entries and kept for as long as the menus may show them.
#include <windows.h>

#include <vector>

#include "app/win32/Controls.h"
#include "platform/win32/Handle.h"

class CMenuBitmaps {
 public:
  // Gives item `position` of `menu` the picture of entry `index` of `list`;
  // an item whose picture cannot be painted stays without one.
  void Give(HMENU menu, UINT position, const win::CImageList& list, int index);

 private:
  std::vector<win::CBitmap> bitmaps_;
};
