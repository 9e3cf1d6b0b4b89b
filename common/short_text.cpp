#include "common/short_text.h"

#include <algorithm>
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

// A stretch of text as byte offsets: a line between two line breaks (or a
// name between two gaps), or a word between white space.
struct Span {
  size_t begin, end;
};

// The text's lines, or its stretches between one `gap` and the next.
std::vector<Span> LinesOf(const std::string& text, const std::string& gap = "\n") {
  std::vector<Span> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(gap, start);
    lines.push_back({start, end == std::string::npos ? text.size() : end});
    if (end == std::string::npos) return lines;
    start = end + gap.size();
  }
}

bool IsHeading(const std::string& text, const Span& line) {
  size_t end = line.end;
  while (end > line.begin && IsSpace(text[end - 1])) --end;
  return end > line.begin && text[end - 1] == ':';
}

// The names on the line after a heading; the box may show only the first
// and last `kept` of them.
struct NameList {
  size_t line;
  std::vector<std::string> names;
  size_t kept;
};

const char kNameGap[] = ", ";

std::vector<NameList> ListsOf(const std::string& text, const std::vector<Span>& lines) {
  std::vector<NameList> lists;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (!IsHeading(text, lines[i - 1]) || lines[i].begin == lines[i].end) continue;
    const std::string line = text.substr(lines[i].begin, lines[i].end - lines[i].begin);
    NameList list{i, {}, 0};
    for (const Span& name : LinesOf(line, kNameGap))
      list.names.push_back(line.substr(name.begin, name.end - name.begin));
    list.kept = list.names.size();
    if (list.kept > 2) lists.push_back(std::move(list));
  }
  return lists;
}

std::string Joined(const std::vector<std::string>& names, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to; ++i) out += (i > from ? kNameGap : "") + names[i];
  return out;
}

// The text with each list down to its kept names: the first ones, a line
// holding "…" and the last ones.
std::string WithLists(const std::string& text, const std::vector<Span>& lines, const std::vector<NameList>& lists) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += '\n';
    if (next < lists.size() && lists[next].line == i) {
      const NameList& list = lists[next++];
      if (list.kept < list.names.size()) {
        const size_t head = (list.kept + 1) / 2;
        const size_t tail = list.kept - head;
        out += Joined(list.names, 0, head) + ",\n" + kEllipsis + "\n" +
               Joined(list.names, list.names.size() - tail, list.names.size());
        continue;
      }
    }
    out += text.substr(lines[i].begin, lines[i].end - lines[i].begin);
  }
  return out;
}

std::vector<Span> WordsOf(const std::string& text) {
  std::vector<Span> words;
  size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i]) || text[i] == '\n') {
      ++i;
      continue;
    }
    const size_t begin = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '\n') ++i;
    words.push_back({begin, i});
  }
  return words;
}

// Every run without white space (a path, a name, a system's token) longer
// than limit loses its middle; the spaces and line breaks stay as they are.
std::string ShortenWords(const std::string& text, size_t limit) {
  std::string out;
  size_t at = 0;
  for (const Span& word : WordsOf(text)) {
    out += text.substr(at, word.begin - at) + CutMiddle(text.substr(word.begin, word.end - word.begin), limit);
    at = word.end;
  }
  return out + text.substr(at);
}

// The first `head` and the last `tail` words of text around a line holding
// "…". The tail keeps the indentation of a line it starts; a tail that would
// start among the names after a heading it left out starts after them.
std::string HeadAndTail(const std::string& text, const std::vector<Span>& lines, const std::vector<Span>& words,
                        size_t head, size_t tail) {
  std::string out = head > 0 ? text.substr(0, words[head - 1].end) + "\n" : std::string();
  out += kEllipsis;
  if (tail == 0) return out;
  size_t start = words[words.size() - tail].begin;
  const size_t headEnd = head > 0 ? words[head - 1].end : 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (start < lines[i].begin || start > lines[i].end) continue;
    bool indented = true;
    for (size_t j = lines[i].begin; j < start; ++j) indented = indented && IsSpace(text[j]);
    if (indented) start = lines[i].begin;
    if (i > 0 && IsHeading(text, lines[i - 1]) && lines[i - 1].end > headEnd && lines[i].begin >= headEnd) {
      // Its heading is left out: the names go too.
      if (i + 1 == lines.size()) return out;
      start = lines[i + 1].begin;
    }
    break;
  }
  return out + "\n" + text.substr(start);
}
}  // namespace

std::string ShortenForBox(const std::string& text, const BoxFit& fit, size_t word) {
  const std::string shown = ShortenWords(text, word);
  if (fit.Fits(shown)) return shown;

  // The lists of names give their middles first, the longest list first.
  const std::vector<Span> lines = LinesOf(shown);
  std::vector<NameList> lists = ListsOf(shown, lines);
  std::string current = shown;
  for (;;) {
    NameList* longest = nullptr;
    for (NameList& list : lists)
      if (list.kept > 2 && (!longest || list.kept > longest->kept)) longest = &list;
    if (!longest) break;
    longest->kept -= std::max<size_t>(1, (longest->kept - 2) / 8);
    current = WithLists(shown, lines, lists);
    if (fit.Fits(current)) return current;
  }

  // Then the words between the first and the last ones: the most that fit.
  const std::vector<Span> currentLines = LinesOf(current);
  const std::vector<Span> words = WordsOf(current);
  const auto kept = [&](size_t count) {
    const size_t head = (count + 1) / 2;
    return HeadAndTail(current, currentLines, words, head, count - head);
  };
  size_t low = 0, high = words.empty() ? 0 : words.size() - 1;  // kept(low) is the answer unless it does not fit
  while (low < high) {
    const size_t middle = low + (high - low + 1) / 2;
    if (fit.Fits(kept(middle))) low = middle;
    else high = middle - 1;
  }
  return kept(low);
}

