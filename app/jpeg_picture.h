// The window's background picture: a JPEG held as a resource, decoded once.
#pragma once
#include <windows.h>

#include "common/win_handles.h"

class JpegPicture {
 public:
  // Decodes the RCDATA resource; an unreadable picture leaves this empty.
  bool LoadResource(int resourceId);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Draws unscaled with its top-left at (x, y), clipped to clip.
  void Draw(HDC dc, int x, int y, const RECT& clip) const;

 private:
  UniqueBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
};
