#include "common/short_text.h"

#include <vector>

namespace {
const char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

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

std::string ShortenWords(const std::string& line, size_t limit) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    size_t end = i;
    const bool space = IsSpace(line[i]);
    while (end < line.size() && IsSpace(line[end]) == space) ++end;
    const std::string run = line.substr(i, end - i);
    out += space ? run : CutMiddle(run, limit);
    i = end;
  }
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}
}  // namespace

std::string ShortenForBox(const std::string& text, const TextLimits& limits) {
  std::vector<std::string> lines = SplitLines(text);
  if (limits.lines >= 3 && lines.size() > limits.lines) {
    const size_t kept = limits.lines - 1;
    const size_t head = (kept + 1) / 2;
    const size_t tail = kept - head;
    std::vector<std::string> shorter(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(head));
    shorter.push_back(kEllipsis);
    shorter.insert(shorter.end(), lines.end() - static_cast<std::ptrdiff_t>(tail), lines.end());
    lines.swap(shorter);
  }
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += '\n';
    out += CutMiddle(ShortenWords(lines[i], limits.word), limits.line);
  }
  return out;
}
