// Keeps a message readable in a box that must fit on the screen: a text quoted
// into a message (a folder path read from the registry, a system's reason) can
// be of any length. Only what has no words is cut: a run without spaces keeps
// its head and tail around an ellipsis, and a text that would make the box
// taller than the screen gives up the middle of its lists of names, then of
// its lines, a line holding an ellipsis standing for them. Whether it fits is
// the system's measurement (BoxFit). A sentence of the tool's own is never
// cut in a word: the box wraps it.
#pragma once
#include <cstddef>
#include <string>

// Whether a box showing a text fits on the screen: the system's measurement
// on Windows (app/box_fit_win32.h), a count of lines in the native tests
// (tests/support/counted_box_fit.h).
class BoxFit {
 public:
  virtual ~BoxFit() = default;
  // text is UTF-8, as the box would show it.
  virtual bool Fits(const std::string& text) const = 0;
};

// Characters a run without white space keeps, unless the caller says otherwise.
constexpr size_t kWordLimit = 60;

// text is UTF-8; cuts fall between characters. A run of non-space characters
// longer than `word` characters keeps its head and tail around "…". When the
// box would still not fit, lines go from the middle of a list of names (the
// line after a heading that ends in ':', its names parted by ", "), a line
// holding "…" standing for them, the longest list first and its first and
// last names kept. Only when no list can give more does the text keep its
// first and last words around such a line; a heading whose names would stay
// then goes with them, so no list is left without its heading. Whole words
// go, none is split. A text that fits comes back unchanged.
std::string ShortenForBox(const std::string& text, const BoxFit& fit, size_t word = kWordLimit);
