#include "support/counted_box_fit.h"

#include <algorithm>

size_t Characters(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// The lines the text takes, wrapped between words, greedily, at width
// characters; a run longer than a line takes the lines it needs.
size_t WrappedLines(const std::string& text, size_t width) {
  size_t lines = 0, lineStart = 0;
  for (;;) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    size_t used = 0, taken = 0;
    bool open = false;
    size_t i = lineStart;
    while (i < lineEnd) {
      const size_t gapStart = i;
      while (i < lineEnd && IsSpace(text[i])) ++i;
      if (i == lineEnd) break;
      const size_t gap = Characters(text.substr(gapStart, i - gapStart));
      const size_t wordStart = i;
      while (i < lineEnd && !IsSpace(text[i])) ++i;
      const size_t length = Characters(text.substr(wordStart, i - wordStart));
      const size_t height = std::max<size_t>(1, (length + width - 1) / width);
      if (open && height == 1 && used + gap + length <= width) {
        used += gap + length;
        continue;
      }
      lines += taken;
      // A line's indentation stays with its first word.
      taken = height;
      used = height > 1 ? width : (open ? length : gap + length);
      open = true;
    }
    lines += open ? taken : 1;  // an empty line takes a line too
    if (lineEnd == text.size()) return lines;
    lineStart = lineEnd + 1;
  }
}
}  // namespace

bool CountedBoxFit::Fits(const std::string& text) const {
  return limits_.lines < 3 || WrappedLines(text, std::max<size_t>(1, limits_.width)) <= limits_.lines;
}
