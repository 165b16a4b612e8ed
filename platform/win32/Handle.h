#pragma once
// Owners of system handles: each frees its handle once, when it goes or is
// given another, so that no window or helper frees one by hand. Attach
// takes over a handle (freeing the one held), Detach gives it up unfreed,
// Close frees it early; the owners move but never copy.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace win {

template <typename Traits>
class CHandleOwner {
 public:
  using Handle = typename Traits::Handle;

  CHandleOwner() = default;
  explicit CHandleOwner(Handle h) : h_(h) {}
  ~CHandleOwner() { Close(); }
  CHandleOwner(const CHandleOwner&) = delete;
  CHandleOwner& operator=(const CHandleOwner&) = delete;
  CHandleOwner(CHandleOwner&& other) noexcept : h_(other.Detach()) {}
  CHandleOwner& operator=(CHandleOwner&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }

  Handle Get() const { return h_; }
  operator Handle() const { return h_; }
  bool IsValid() const { return Traits::IsValid(h_); }

  void Close() {
    if (Traits::IsValid(h_)) Traits::Close(h_);
    h_ = Handle{};
  }
  void Attach(Handle h) {
    Close();
    h_ = h;
  }
  Handle Detach() { return std::exchange(h_, Handle{}); }
  // For a function that returns the handle through a pointer: the held one
  // is freed first.
  Handle* Receive() {
    Close();
    return &h_;
  }

 private:
  Handle h_{};
};

namespace handle_traits {

template <typename H>
struct NonNull {
  using Handle = H;
  static bool IsValid(H h) { return h != nullptr; }
};

// Kernel objects: CreateFile and its kin report failure as
// INVALID_HANDLE_VALUE, the others as nullptr.
struct Kernel : NonNull<HANDLE> {
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct Icon : NonNull<HICON> {
  static void Close(HICON h) { DestroyIcon(h); }
};
struct Menu : NonNull<HMENU> {
  static void Close(HMENU h) { DestroyMenu(h); }
};
template <typename H>
struct GdiObject : NonNull<H> {
  static void Close(H h) { DeleteObject(h); }
};
struct ImageList : NonNull<HIMAGELIST> {
  static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct Key : NonNull<HKEY> {
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct Module : NonNull<HMODULE> {
  static void Close(HMODULE h) { FreeLibrary(h); }
};
struct Service : NonNull<SC_HANDLE> {
  static void Close(SC_HANDLE h) { CloseServiceHandle(h); }
};

}  // namespace handle_traits

using CHandle = CHandleOwner<handle_traits::Kernel>;
using CIcon = CHandleOwner<handle_traits::Icon>;
using CMenu = CHandleOwner<handle_traits::Menu>;
using CBitmap = CHandleOwner<handle_traits::GdiObject<HBITMAP>>;
using CBrush = CHandleOwner<handle_traits::GdiObject<HBRUSH>>;
using CFont = CHandleOwner<handle_traits::GdiObject<HFONT>>;
using CImageListHandle = CHandleOwner<handle_traits::ImageList>;
using CKey = CHandleOwner<handle_traits::Key>;
using CLibrary = CHandleOwner<handle_traits::Module>;
using CServiceHandle = CHandleOwner<handle_traits::Service>;

}  // namespace win
