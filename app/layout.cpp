#include "app/layout.h"

#include <algorithm>
#include <cstdlib>

#include "common/texts.h"

// Captions hold UTF-8; the accented ones are the reason every text reaches the
// system through its Unicode functions.
const ControlSpec kLayout[kControlCount] = {
    {100, ControlKind::StatusBar, Parent::Main, 0, 171, 389, 19, "", FontKind::System, -1},
    {101, ControlKind::PictureButton, Parent::Main, 264, 24, 108, 26, kApplyCaption, FontKind::Bold13, 2},
    {0, ControlKind::Picture, Parent::Main, 0, 0, 389, 171, "", FontKind::Window, -1},
    {102, ControlKind::RadioButton, Parent::Main, 16, 16, 145, 17, kBaseCaption, FontKind::Bold13, 0},
    {103, ControlKind::RadioButton, Parent::Main, 16, 40, 177, 17, kPatchedCaption, FontKind::Bold13, 1},
    {104, ControlKind::Container, Parent::Main, 0, 0, 393, 174, "", FontKind::Window, 4},
    {0, ControlKind::Gauge, Parent::InPanel, 56, 88, 273, 17, "", FontKind::Window, -1},
    {107, ControlKind::Label, Parent::InPanel, 0, 32, 385, 17, kBackupNeededCaption, FontKind::Regular13, -1},
    {108, ControlKind::Label, Parent::InPanel, 0, 48, 385, 17, kPressOkCaption, FontKind::Regular13, -1},
    {105, ControlKind::PictureButton, Parent::InPanel, 96, 88, 75, 25, kOkCaption, FontKind::Window, 0},
    {106, ControlKind::PictureButton, Parent::InPanel, 217, 88, 75, 25, kQuitCaption, FontKind::Window, 1},
};

int32_t MulDivRounded(int32_t a, int32_t b, int32_t c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = c / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / c : (product - half) / c);
}

Bounds ScaleBounds(const Bounds& d, int textHeight) {
  if (textHeight == kDesignTextHeight) return d;
  const int left = MulDivRounded(d.left, textHeight, kDesignTextHeight);
  const int top = MulDivRounded(d.top, textHeight, kDesignTextHeight);
  const int right = MulDivRounded(d.left + d.width, textHeight, kDesignTextHeight);
  const int bottom = MulDivRounded(d.top + d.height, textHeight, kDesignTextHeight);
  return Bounds{left, top, right - left, bottom - top};
}

std::vector<ControlIndex> TabOrder(Parent parent) {
  std::vector<ControlIndex> order;
  for (int i = 0; i < kControlCount; ++i)
    if (kLayout[i].parent == parent && kLayout[i].tabOrder >= 0) order.push_back(static_cast<ControlIndex>(i));
  std::stable_sort(order.begin(), order.end(),
                   [](ControlIndex a, ControlIndex b) { return kLayout[a].tabOrder < kLayout[b].tabOrder; });
  return order;
}

int WidthForCaption(int captionExtent, int besideCaption, int scaledWidth, int room) {
  const int needed = captionExtent + besideCaption;
  if (captionExtent <= 0 || needed <= scaledWidth) return scaledWidth;
  return std::max(scaledWidth, std::min(needed, room));
}

namespace {
// How far right a child of parent may reach, in the parent's coordinates. The
// panel is wider than the window's client area, which cuts it off.
int ParentRight(Parent parent, int textHeight) {
  const int clientRight = ScaleBounds(Bounds{0, 0, kClientWidth, kClientHeight}, textHeight).width;
  if (parent == Parent::Main) return clientRight;
  const Bounds panel = ScaleBounds(kLayout[Panel], textHeight);
  return std::min(panel.width, clientRight - panel.left);
}
}  // namespace

int RoomToTheRight(const ControlSpec& control, int textHeight) {
  const Bounds self = ScaleBounds(control, textHeight);
  int right = ParentRight(control.parent, textHeight);
  for (const ControlSpec& other : kLayout) {
    if (&other == &control || other.parent != control.parent) continue;
    const Bounds b = ScaleBounds(other, textHeight);
    const bool sharesRows = b.top < self.top + self.height && self.top < b.top + b.height;
    if (sharesRows && b.left >= self.left + self.width) right = std::min(right, b.left);
  }
  return std::max(0, right - self.left);
}
