// Owners for the Windows handles the program holds: kernel handles, searches,
// registry keys, GDI objects and device contexts. None can be copied; an empty
// owner holds nothing and frees nothing. Windows only.
#pragma once
#include <windows.h>

#include <utility>

// Owns one handle of the kind Traits describes: its type, which values mean
// "nothing" and how it is freed.
template <typename Traits>
class UniqueOwner {
 public:
  using Type = typename Traits::Type;

  UniqueOwner() = default;
  explicit UniqueOwner(Type handle) : handle_(handle) {}
  ~UniqueOwner() { Reset(); }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.Release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Type Get() const { return handle_; }
  bool Valid() const { return Traits::Valid(handle_); }
  explicit operator bool() const { return Valid(); }
  Type Release() { return std::exchange(handle_, Type()); }
  void Reset(Type handle = Type()) {
    if (Valid()) Traits::Free(handle_);
    handle_ = handle;
  }
  // Frees now and says whether the system accepted it; for handles whose
  // closing can fail with something to report (a file's last write).
  bool Close() {
    const bool ok = !Valid() || Traits::Free(handle_);
    handle_ = Type();
    return ok;
  }

 private:
  Type handle_ = Type();
};

namespace win_handle_traits {
// CreateFileW reports failure with INVALID_HANDLE_VALUE, other calls with
// null; both mean "nothing owned".
inline bool Usable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

struct Kernel {
  using Type = HANDLE;
  static bool Valid(HANDLE h) { return Usable(h); }
  static bool Free(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct Find {
  using Type = HANDLE;
  static bool Valid(HANDLE h) { return Usable(h); }
  static bool Free(HANDLE h) { return FindClose(h) != FALSE; }
};
struct RegistryKey {
  using Type = HKEY;
  static bool Valid(HKEY key) { return key != nullptr; }
  static bool Free(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};
template <typename T>
struct GdiObject {
  using Type = T;
  static bool Valid(T object) { return object != nullptr; }
  static bool Free(T object) { return DeleteObject(object) != FALSE; }
};
struct MemoryDc {
  using Type = HDC;
  static bool Valid(HDC dc) { return dc != nullptr; }
  static bool Free(HDC dc) { return DeleteDC(dc) != FALSE; }
};
}  // namespace win_handle_traits

using UniqueHandle = UniqueOwner<win_handle_traits::Kernel>;
using UniqueFind = UniqueOwner<win_handle_traits::Find>;
using UniqueKey = UniqueOwner<win_handle_traits::RegistryKey>;
template <typename T>
using GdiObject = UniqueOwner<win_handle_traits::GdiObject<T>>;
using UniqueFont = GdiObject<HFONT>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueBrush = GdiObject<HBRUSH>;
// A memory device context from CreateCompatibleDC.
using UniqueMemoryDc = UniqueOwner<win_handle_traits::MemoryDc>;

// A window's device context from GetDC (null window: the screen), released on
// every way out.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint and EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~PaintDc() { EndPaint(window_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC Get() const { return dc_; }
  const RECT& Rect() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back when destroyed,
// so the owned object is never deleted while selected.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) { Select(dc, object); }
  ~SelectedObject() { Restore(); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  // Puts back what this held, then selects object; a null object selects nothing.
  void Select(HDC dc, HGDIOBJ object) {
    Restore();
    if (object == nullptr) return;
    previous_ = SelectObject(dc, object);
    dc_ = (previous_ == nullptr || previous_ == HGDI_ERROR) ? nullptr : dc;
  }
  void Restore() {
    if (dc_ != nullptr) SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Saves a DC's state (origin, clip region, selections) and restores it.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;
  bool Saved() const { return saved_ != 0; }

 private:
  HDC dc_;
  int saved_;
};
