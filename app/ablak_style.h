// Names, colours and a check shared by the main window's source files.
#pragma once
#include <windows.h>

inline constexpr wchar_t kFormClass[] = L"TKvt";
inline constexpr wchar_t kPanelClass[] = L"TPanel";
inline constexpr char kFontFace[] = "Tahoma";
inline constexpr COLORREF kRadioText = RGB(255, 0, 0);
inline constexpr COLORREF kRadioBack = RGB(255, 255, 255);

// The user can see the control and act on it.
inline bool VisibleAndEnabled(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }
