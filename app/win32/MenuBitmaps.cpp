#include "app/win32/MenuBitmaps.h"

#include <utility>

namespace {

// The entry drawn on the menu's own background, so that a menu that does
// not draw its items itself shows it cleanly.
HBITMAP Paint(const win::CImageList& list, int index) {
  const SIZE size = list.ImageSize();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size.cx, size.cy};
  FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
  ImageList_Draw(list.Handle(), index, dc, 0, 0, ILD_TRANSPARENT);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

}  // namespace

void CMenuBitmaps::Give(HMENU menu, UINT position, const win::CImageList& list, int index) {
  win::CBitmap bitmap(Paint(list, index));
  if (!bitmap.IsValid()) return;
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_BITMAP;
  item.hbmpItem = bitmap;
  SetMenuItemInfoA(menu, position, TRUE, &item);
  bitmaps_.push_back(std::move(bitmap));
}
