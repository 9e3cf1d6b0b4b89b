// Owners for the Windows handles the window code holds. None can be copied;
// an empty owner holds nothing and frees nothing.
#pragma once
#include <windows.h>

#include <utility>

template <typename T, BOOL(WINAPI* Free)(T)>
class UniqueWinHandle {
 public:
  UniqueWinHandle() = default;
  explicit UniqueWinHandle(T handle) : handle_(handle) {}
  ~UniqueWinHandle() { reset(); }
  UniqueWinHandle(const UniqueWinHandle&) = delete;
  UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
  UniqueWinHandle(UniqueWinHandle&& other) noexcept : handle_(std::exchange(other.handle_, T())) {}
  UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, T()));
    return *this;
  }
  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != T(); }
  void reset(T handle = T()) {
    if (handle_ != T()) Free(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = T();
};

inline BOOL WINAPI DeleteGdiObject(HGDIOBJ object) { return DeleteObject(object); }
using UniqueFont = UniqueWinHandle<HGDIOBJ, DeleteGdiObject>;
using UniqueBitmap = UniqueWinHandle<HGDIOBJ, DeleteGdiObject>;
using UniqueBrush = UniqueWinHandle<HGDIOBJ, DeleteGdiObject>;
using UniqueMemoryDC = UniqueWinHandle<HDC, DeleteDC>;

// A DC from GetDC, released on every way out.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~PaintDC() { EndPaint(window_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  const RECT& rect() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
