#include "app/picture_button.h"

#include <string>

namespace {
constexpr int kSpacing = 4;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}
}  // namespace

bool ButtonGlyph::Load(int bitmapId) {
  bitmap_.Reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0,
                           LR_CREATEDIBSECTION)));
  if (!bitmap_) return false;
  BITMAP info{};
  GetObjectW(bitmap_.Get(), sizeof(info), &info);
  cellWidth_ = info.bmWidth / 2;
  cellHeight_ = info.bmHeight;
  UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  SelectedObject select(memory.Get(), bitmap_.Get());
  transparent_ = GetPixel(memory.Get(), 0, info.bmHeight - 1);
  return true;
}

void ButtonGlyph::Draw(HDC dc, int x, int y, bool disabled) const {
  if (!bitmap_) return;
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  SelectedObject select(memory.Get(), bitmap_.Get());
  GdiTransparentBlt(dc, x, y, cellWidth_, cellHeight_, memory.Get(), disabled ? cellWidth_ : 0, 0,
                    cellWidth_, cellHeight_, transparent_);
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, const ButtonGlyph& glyph) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  const bool focused = item.itemState & ODS_FOCUS;

  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  if (focused) {
    // The focused button carries an outline in the caption's colour, as
    // default buttons do.
    FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNTEXT));
    InflateRect(&rc, -1, -1);
  }
  RECT frame = rc;
  DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  const std::wstring caption = WindowText(item.hwndItem);
  SIZE text{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
  const int contentWidth = glyph.CellWidth() + (caption.empty() ? 0 : kSpacing + text.cx);
  const int shift = pushed ? 1 : 0;
  const int x = rc.left + (rc.right - rc.left - contentWidth) / 2 + shift;
  const int height = rc.bottom - rc.top;
  glyph.Draw(dc, x, rc.top + (height - glyph.CellHeight()) / 2 + shift, disabled);

  const int textX = x + glyph.CellWidth() + kSpacing;
  const int textY = rc.top + (height - text.cy) / 2 + shift;
  SetBkMode(dc, TRANSPARENT);
  if (disabled) {
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    TextOutW(dc, textX + 1, textY + 1, caption.c_str(), static_cast<int>(caption.size()));
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    // The face is the user's button face, so the caption takes the user's
    // button-text colour: black in the default scheme, light in a dark one.
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  }
  TextOutW(dc, textX, textY, caption.c_str(), static_cast<int>(caption.size()));

  if (focused) {
    RECT focus = rc;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

int PictureButtonBeside(const ButtonGlyph& glyph) {
  constexpr int kOutline = 1, kFrame = 2;
  return glyph.CellWidth() + kSpacing + 2 * (kOutline + kFrame);
}
