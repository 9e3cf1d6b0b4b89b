// How much of a row a control's caption takes in the control's own font: the
// text's extent and what the control draws beside it. Screens of more dots per
// inch scale fonts and layout by different roundings, so a caption may need
// more than its scaled control offers.
#pragma once
#include <windows.h>

#include "app/layout.h"

struct CaptionSize {
  int extent = 0;  // the caption's width in the font; 0 without a caption
  int beside = 0;  // what the control draws on the same row besides the text
};

// pictureBeside: what a picture button draws beside its caption (its picture,
// the spacing and its frame). font null: the control keeps the system's font,
// and nothing is measured.
CaptionSize MeasureCaption(const ControlSpec& design, HFONT font, int pictureBeside);
