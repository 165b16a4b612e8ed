#pragma once
// Owners of system handles: each frees its handle once, when it goes or is
// given another, so that no window or helper frees one by hand. Attach
// takes over a handle (freeing the one held), Detach gives it up unfreed,
// Close frees it early; the owners move but never copy.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace win {

template <typename H, auto Free>
class CHandleOwner {
 public:
  CHandleOwner() = default;
  explicit CHandleOwner(H h) : h_(h) {}
  ~CHandleOwner() { Close(); }
  CHandleOwner(const CHandleOwner&) = delete;
  CHandleOwner& operator=(const CHandleOwner&) = delete;
  CHandleOwner(CHandleOwner&& other) noexcept : h_(other.Detach()) {}
  CHandleOwner& operator=(CHandleOwner&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }

  H Get() const { return h_; }
  operator H() const { return h_; }
  // CreateFile and its kin report failure as INVALID_HANDLE_VALUE, the
  // others as nullptr; neither is a handle to free.
  bool IsValid() const { return h_ != nullptr && reinterpret_cast<HANDLE>(h_) != INVALID_HANDLE_VALUE; }

  void Close() {
    if (IsValid()) Free(h_);
    h_ = nullptr;
  }
  void Attach(H h) {
    Close();
    h_ = h;
  }
  H Detach() { return std::exchange(h_, nullptr); }
  // For a function that returns the handle through a pointer: the held one
  // is freed first.
  H* Receive() {
    Close();
    return &h_;
  }

 private:
  H h_ = nullptr;
};

using CHandle = CHandleOwner<HANDLE, &CloseHandle>;
using CIcon = CHandleOwner<HICON, &DestroyIcon>;
using CMenu = CHandleOwner<HMENU, &DestroyMenu>;
using CBitmap = CHandleOwner<HBITMAP, &DeleteObject>;
using CBrush = CHandleOwner<HBRUSH, &DeleteObject>;
using CFont = CHandleOwner<HFONT, &DeleteObject>;
using CImageListHandle = CHandleOwner<HIMAGELIST, &ImageList_Destroy>;
using CKey = CHandleOwner<HKEY, &RegCloseKey>;
using CLibrary = CHandleOwner<HMODULE, &FreeLibrary>;
using CServiceHandle = CHandleOwner<SC_HANDLE, &CloseServiceHandle>;

}  // namespace win
