// Owner-drawn push buttons with a two-cell picture: the first cell for the
// enabled state, the second for the disabled one. The colour of the picture's
// bottom-left pixel is transparent.
#pragma once
#include <windows.h>

#include "common/win_handles.h"

class ButtonGlyph {
 public:
  bool Load(int bitmapId);
  // Draws the cell for the state with its top-left at (x, y).
  void Draw(HDC dc, int x, int y, bool disabled) const;
  int CellWidth() const { return cellWidth_; }
  int CellHeight() const { return cellHeight_; }

 private:
  UniqueBitmap bitmap_;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  COLORREF transparent_ = 0;
};

// The picture left of the caption, 4 pixels apart, the pair centred; pushed
// buttons shift their content by one pixel. Face and caption in the system's
// button colours.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const ButtonGlyph& glyph);
// What such a button draws on its caption's row besides the text: the picture,
// the spacing, and on both sides the push frame and the focus outline.
int PictureButtonBeside(const ButtonGlyph& glyph);
