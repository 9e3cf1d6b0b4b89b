// The main window's layout as designed at 96 dots per inch with a text height of
// 13, and the arithmetic that fits it to another screen. Portable, so the scaling
// is unit-tested natively.
#pragma once
#include <cstdint>
#include <vector>

enum class ControlKind { StatusBar, PictureButton, Picture, RadioButton, Container, Gauge, Label };
enum class FontKind {
  Window,     // Tahoma -11 regular, the window's font
  Bold13,     // Tahoma -13 bold
  Regular13,  // Tahoma -13 regular
  System,     // the control's own system font (the status bar)
};
enum class Parent { Main, InPanel };

struct ControlSpec {
  int id;  // the child-window identifier; windowless controls have none
  ControlKind kind;
  Parent parent;
  int left, top, width, height;
  const char* caption;  // UTF-8
  FontKind font;
  int tabOrder;  // among the parent's controls; -1: not a tab stop
};

// In creation order: later controls lie above earlier ones where they overlap.
enum ControlIndex { SB, Bstart, Ibg, RBdef, RBupd, Panel, PB, Linfo, Label1, Bok, Boff, kControlCount };
extern const ControlSpec kLayout[kControlCount];

// The controls on parent that take part in keyboard navigation, by tab order.
std::vector<ControlIndex> TabOrder(Parent parent);

constexpr int kDesignDpi = 96;
constexpr int kDesignTextHeight = 13;
constexpr int kClientWidth = 389;
constexpr int kClientHeight = 190;
constexpr int kWindowFontHeight = -11;

// a * b / c rounded half away from zero, as the platform's MulDiv does; c > 0.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c);

struct Bounds {
  int left, top, width, height;
};

// Scales a designed rectangle by textHeight / 13: left, top, right and bottom
// each multiplied first and then divided; width and height follow from them.
Bounds ScaleBounds(const Bounds& designed, int textHeight);
// A control's bounds from the layout table, scaled so.
inline Bounds ScaleBounds(const ControlSpec& control, int textHeight) {
  return ScaleBounds(Bounds{control.left, control.top, control.width, control.height}, textHeight);
}
// The window font's height on a screen of the given resolution.
inline int WindowFontHeight(int dpi) { return MulDivRounded(kWindowFontHeight, dpi, kDesignDpi); }
// A control's own font height, scaled as the control is.
inline int ScaleFontHeight(int designed, int textHeight) {
  return MulDivRounded(designed, textHeight, kDesignTextHeight);
}

// A scaled control's width once its caption has been measured: wide enough for
// the caption's extent and what the control draws beside it (a radio button's
// check mark and the gap before its text), but never narrower than scaled, and
// never wider than room, the space it may take from its left edge. A caption
// that fits keeps the scaled width, so the design resolution looks as designed.
int WidthForCaption(int captionExtent, int besideCaption, int scaledWidth, int room);
// The space right of a control's scaled left edge, up to the right edge of its
// parent's client area or the left edge of the nearest control of the same
// parent that stands to its right in a row it shares. Controls it already
// overlaps (the background picture, the panel covering the window) don't count.
int RoomToTheRight(const ControlSpec& control, int textHeight);
