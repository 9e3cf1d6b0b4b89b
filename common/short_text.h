// Keeps a message readable in a box that must fit on the screen: a text quoted
// into a message (a folder path read from the registry, a system's reason) can
// be of any length, so over-long pieces lose their middle to an ellipsis.
#pragma once
#include <cstddef>
#include <string>

struct TextLimits {
  size_t word = 60;   // characters in a run without white space
  size_t line = 240;  // characters in a line
  size_t lines = 30;  // lines in the whole text
};

// text is UTF-8; limits count characters (code points), and cuts fall between
// characters. A run of non-space characters longer than limits.word keeps its
// head and tail around "…", as does a line longer than limits.line; a text of
// more than limits.lines lines keeps its first and last lines around a line
// holding "…". Texts within the limits come back unchanged.
std::string ShortenForBox(const std::string& text, const TextLimits& limits = TextLimits());
