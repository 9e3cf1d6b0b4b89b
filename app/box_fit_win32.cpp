#include "app/box_fit_win32.h"

#include <algorithm>

#include "common/utf.h"

namespace {
// The narrowest message box: its text 176 dialog units across (Wine's, whose
// template never widens; Windows starts wider and widens a tall box, so it
// is never taller than this), below it a button 14 units high with some 7
// units of space above and below it and 4 above the text.
constexpr int kTextWidthUnits = 176;
constexpr int kAroundTextUnits = 4 + 7 + 14 + 7;
const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
}  // namespace

Win32BoxFit::Win32BoxFit(HWND owner) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    font_.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  HMONITOR screen = MonitorFromWindow(owner, owner ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(screen, &monitor)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);

  WindowDc dc(nullptr);
  if (!dc) return;
  SelectedObject selected(dc.Get(), font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
  // Dialog units as a dialog in this font has them.
  TEXTMETRICW text{};
  SIZE alphabet{};
  if (!GetTextMetricsW(dc.Get(), &text) || !GetTextExtentPoint32W(dc.Get(), kAlphabet, 52, &alphabet)) return;
  const int unitX = (alphabet.cx / 26 + 1) / 2;
  const int unitY = text.tmHeight;
  textWidth_ = MulDiv(kTextWidthUnits, unitX, 4);
  const int frame = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
  textRoom_ = (monitor.rcWork.bottom - monitor.rcWork.top) - frame - MulDiv(kAroundTextUnits, unitY, 8);
  // No more characters than lines of the narrowest letters can hold: a
  // longer text does not fit, and laying out a huge one takes seconds.
  const int narrowest = std::max<int>(1, text.tmAveCharWidth / 3);
  mostCharacters_ = static_cast<size_t>(std::max(0, textWidth_ / narrowest + 1)) *
                    static_cast<size_t>(std::max(0, textRoom_ / std::max<int>(1, text.tmHeight) + 1));
}

bool Win32BoxFit::Fits(const std::string& text) const {
  // Unmeasured (no screen to measure on): nothing is left out on a guess.
  if (textWidth_ <= 0) return true;
  if (text.size() > 4 * mostCharacters_) return false;
  WindowDc dc(nullptr);
  if (!dc) return true;
  SelectedObject selected(dc.Get(), font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
  const std::wstring wide = Widen(text);
  if (wide.size() > mostCharacters_) return false;
  RECT area{0, 0, textWidth_, 0};
  DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &area,
            DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  return area.bottom - area.top <= textRoom_;
}
