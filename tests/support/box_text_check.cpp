#include "support/box_text_check.h"

#include <set>
#include <vector>

#include "support/counted_box_fit.h"

namespace {
const std::string kEllipsis = "\xE2\x80\xA6";
// Hungarian's longest words run to some 44 letters; a run without spaces
// longer than this is a path, a name or a token, never a word of a sentence.
constexpr size_t kLongestWord = 45;
constexpr size_t kLineCharacters = 50;
constexpr size_t kScreenLines = (1080 - 72 - 160) / 24;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

struct Run {
  std::string text;
  bool aloneOnLine;
};

std::vector<Run> Runs(const std::string& text) {
  std::vector<Run> runs;
  size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    const bool lineStart = i == 0 || text[i - 1] == '\n';
    const bool lineEnd = end == text.size() || text[end] == '\n';
    runs.push_back({text.substr(i, end - i), lineStart && lineEnd});
    i = end;
  }
  return runs;
}

bool StartsWith(const std::string& s, const std::string& head) { return s.compare(0, head.size(), head) == 0; }
bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The lines the box shows, wrapped greedily between words; a run longer than
// a line takes the lines it fills.
size_t WrappedLines(const std::string& text) {
  size_t lines = 0;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t used = 0, lineCount = 1;
    for (const Run& run : Runs(line)) {
      const size_t length = Characters(run.text);
      if (used == 0) {
        used = length;
      } else if (used + 1 + length <= kLineCharacters) {
        used += 1 + length;
      } else {
        ++lineCount;
        used = length;
      }
      while (used > kLineCharacters) {
        ++lineCount;
        used -= kLineCharacters;
      }
    }
    lines += lineCount;
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}
}  // namespace

std::string BoxTextProblem(const std::string& text, const std::string& shown) {
  const std::vector<Run> originalRuns = Runs(text);
  std::set<std::string> original;
  for (const Run& run : originalRuns) original.insert(run.text);
  std::string problems;
  for (const Run& run : Runs(shown)) {
    const size_t cut = run.text.find(kEllipsis);
    if (cut == std::string::npos || original.count(run.text)) continue;
    const std::string head = run.text.substr(0, cut);
    const std::string tail = run.text.substr(cut + kEllipsis.size());
    if (head.empty() && tail.empty() && run.aloneOnLine) continue;
    bool middleOfLongRun = false;
    if (!head.empty() && !tail.empty()) {
      for (const Run& whole : originalRuns) {
        if (Characters(whole.text) > kLongestWord && whole.text.size() > head.size() + tail.size() &&
            StartsWith(whole.text, head) && EndsWith(whole.text, tail)) {
          middleOfLongRun = true;
          break;
        }
      }
    }
    if (!middleOfLongRun) problems += "the \"" + kEllipsis + "\" in \"" + run.text + "\" cuts into words; ";
  }
  const size_t lines = WrappedLines(shown);
  if (lines > kScreenLines) {
    problems += "the box is " + std::to_string(lines) + " lines high at " + std::to_string(kLineCharacters) +
                " characters a line, a 1080-pixel screen at 150 % holds " + std::to_string(kScreenLines) + "; ";
  }
  if (!problems.empty()) problems.resize(problems.size() - 2);
  return problems;
}

std::string BoxTextProblem(const std::string& text) { return BoxTextProblem(text, ShortenForBox(text, TextLimits())); }
