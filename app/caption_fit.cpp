#include "app/caption_fit.h"

#include <algorithm>
#include <string>

#include "common/utf.h"
#include "common/win_handles.h"

namespace {
// A radio button draws its check mark, a gap of half a digit's width, and its
// text a pixel further in; the focus rectangle takes a pixel on either side of
// the text. The mark is the menu check's size on Windows, while Wine's button
// draws it 12/96 inch plus a pixel wide: the larger of the two counts.
int RadioBeside(HDC dc) {
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  const int mark = std::max(GetSystemMetrics(SM_CXMENUCHECK), 12 * dpi / 96 + 1);
  int digit = 0;
  if (!GetCharWidth32W(dc, L'0', L'0', &digit)) digit = 0;
  return mark + digit / 2 + 2;
}
}  // namespace

CaptionSize MeasureCaption(const ControlSpec& design, HFONT font, int pictureBeside) {
  CaptionSize size;
  const std::wstring caption = Widen(design.caption);
  if (!font || caption.empty()) return size;
  WindowDc screen(nullptr);
  SelectedObject select(screen.Get(), font);
  SIZE text{};
  TEXTMETRICW tm{};
  if (!GetTextExtentPoint32W(screen.Get(), caption.c_str(), static_cast<int>(caption.size()), &text) ||
      !GetTextMetricsW(screen.Get(), &tm))
    return size;
  // A bold face the system makes from a regular one may reach past the advance.
  size.extent = text.cx + tm.tmOverhang;
  switch (design.kind) {
    case ControlKind::RadioButton: size.beside = RadioBeside(screen.Get()); break;
    case ControlKind::PictureButton: size.beside = pictureBeside; break;
    default: break;
  }
  return size;
}
