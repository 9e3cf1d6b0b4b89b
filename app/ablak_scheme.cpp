// Colours that follow the user's colour scheme where the layout's own would
// hide text. The layout's red-on-white radio buttons stay as they are in every
// ordinary scheme; under high contrast the radio buttons, labels and status
// bar take the user's window colours instead.
#include "app/ablak.h"

#include <commctrl.h>

#include <string>

#include "app/ablak_style.h"
#include "common/texts.h"
#include "common/utf.h"

bool TKvt::HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// WM_CTLCOLORSTATIC and WM_CTLCOLORBTN of the radio buttons, labels and
// buttons. The labels stand on the button face, so they take its text colour.
bool TKvt::ControlColours(HDC dc, HWND control, LRESULT& brush) const {
  const bool radio = control == RBdef || control == RBupd;
  if (radio && !highContrast_) {
    SetTextColor(dc, kRadioText);
    SetBkColor(dc, kRadioBack);
    brush = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    return true;
  }
  const bool windowColours = highContrast_ && (radio || control == Linfo || control == Label1);
  const int text = windowColours ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
  const int back = windowColours ? COLOR_WINDOW : COLOR_BTNFACE;
  SetTextColor(dc, GetSysColor(text));
  SetBkColor(dc, GetSysColor(back));
  brush = reinterpret_cast<LRESULT>(GetSysColorBrush(back));
  return true;
}

// The status bar draws its text in the button colours by itself; under high
// contrast its one part is drawn here, in the window colours.
void TKvt::UseSchemeOnStatusBar() {
  if (!highContrast_) return;
  SendMessageW(SB, SB_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
  SendMessageW(SB, SB_SETTEXTW, SBT_OWNERDRAW, 0);
}

void TKvt::PaintStatusBar(const DRAWITEMSTRUCT& item) const {
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, GetSysColorBrush(COLOR_WINDOW));
  const std::wstring credit = Widen(kCreditLine);
  SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(item.hDC, TRANSPARENT);
  DrawTextW(item.hDC, credit.c_str(), static_cast<int>(credit.size()), &rc,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
