#include "common/short_text.h"

#include <algorithm>
#include <vector>

namespace {
const char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

size_t Characters(const std::string& text, size_t begin, size_t end) {
  size_t count = 0;
  for (size_t i = begin; i < end; ++i) count += !IsContinuation(static_cast<unsigned char>(text[i]));
  return count;
}

// Byte offsets at which each character of text starts, and text.size() last.
std::vector<size_t> CharacterStarts(const std::string& text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i)
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) starts.push_back(i);
  starts.push_back(text.size());
  return starts;
}

// Keeps the first and last characters of piece, limit in all with the
// ellipsis counted as one; the head gets the odd one.
std::string CutMiddle(const std::string& piece, size_t limit) {
  const std::vector<size_t> starts = CharacterStarts(piece);
  const size_t count = starts.size() - 1;
  if (count <= limit || limit < 3) return piece;
  const size_t kept = limit - 1;
  const size_t head = (kept + 1) / 2;
  const size_t tail = kept - head;
  return piece.substr(0, starts[head]) + kEllipsis + piece.substr(starts[count - tail]);
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Every run without white space (a path, a name, a system's token) longer
// than limit loses its middle; the spaces and line breaks stay as they are.
std::string ShortenWords(const std::string& text, size_t limit) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    const bool space = IsSpace(text[i]) || text[i] == '\n';
    while (end < text.size() && (IsSpace(text[end]) || text[end] == '\n') == space) ++end;
    const std::string run = text.substr(i, end - i);
    out += space ? run : CutMiddle(run, limit);
    i = end;
  }
  return out;
}

// A stretch of the text that the box shows on one line, or on height lines
// when it is a single run longer than a line. begin and end are byte offsets
// at word boundaries (or a line's ends), so a cut there splits no word.
struct BoxLine {
  size_t begin, end, height;
};

// The text's lines wrapped between words, greedily, at width characters.
std::vector<BoxLine> WrapIntoBox(const std::string& text, size_t width) {
  std::vector<BoxLine> box;
  size_t lineStart = 0;
  for (;;) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    BoxLine current{lineStart, lineStart, 1};
    size_t used = 0;
    bool open = false;
    size_t i = lineStart;
    while (i < lineEnd) {
      const size_t gapStart = i;
      while (i < lineEnd && IsSpace(text[i])) ++i;
      if (i == lineEnd) break;
      const size_t gap = Characters(text, gapStart, i);
      const size_t wordStart = i;
      while (i < lineEnd && !IsSpace(text[i])) ++i;
      const size_t length = Characters(text, wordStart, i);
      const size_t height = std::max<size_t>(1, (length + width - 1) / width);
      if (open && height == 1 && used + gap + length <= width) {
        current.end = i;
        used += gap + length;
        continue;
      }
      if (open) box.push_back(current);
      // A line's indentation stays with its first word.
      current = BoxLine{open ? wordStart : gapStart, i, height};
      used = height > 1 ? width : (open ? length : gap + length);
      open = true;
    }
    box.push_back(open ? current : BoxLine{lineStart, lineEnd, 1});  // an empty line takes a line too
    if (lineEnd == text.size()) return box;
    lineStart = lineEnd + 1;
  }
}
}  // namespace

std::string ShortenForBox(const std::string& text, const TextLimits& limits) {
  const std::string shown = ShortenWords(text, limits.word);
  if (limits.lines < 3) return shown;
  const std::vector<BoxLine> box = WrapIntoBox(shown, std::max<size_t>(1, limits.width));
  size_t total = 0;
  for (const BoxLine& line : box) total += line.height;
  if (total <= limits.lines) return shown;

  // The first and last lines fill what the line of "…" leaves; the head gets the odd one.
  const size_t kept = limits.lines - 1;
  const size_t headLines = (kept + 1) / 2;
  const size_t tailLines = kept - headLines;
  size_t head = 0, used = 0;
  while (head < box.size() && used + box[head].height <= headLines) used += box[head++].height;
  size_t tail = box.size();
  used = 0;
  while (tail > head && used + box[tail - 1].height <= tailLines) used += box[--tail].height;

  std::string out = head > 0 ? shown.substr(0, box[head - 1].end) + "\n" : std::string();
  out += kEllipsis;
  if (tail < box.size()) out += "\n" + shown.substr(box[tail].begin);
  return out;
}
