// A stand-in for the system's measurement of a message box: a box that wraps
// its text between words at `width` characters and holds `lines` lines.
#pragma once
#include <cstddef>
#include <string>

#include "common/short_text.h"

// The characters of a UTF-8 text: its bytes that start one.
size_t Characters(const std::string& text);

struct TextLimits {
  size_t word = kWordLimit;  // characters in a run without white space
  size_t width = 50;         // characters on one line of the box, as it wraps the text
  size_t lines = 34;         // lines of the box, after wrapping
};

class CountedBoxFit : public BoxFit {
 public:
  explicit CountedBoxFit(const TextLimits& limits) : limits_(limits) {}
  bool Fits(const std::string& text) const override;

 private:
  TextLimits limits_;
};

inline std::string ShortenForBox(const std::string& text, const TextLimits& limits) {
  return ShortenForBox(text, CountedBoxFit(limits), limits.word);
}
