// Keeps a message readable in a box that must fit on the screen: a text quoted
// into a message (a folder path read from the registry, a system's reason) can
// be of any length. Only what has no words is cut: a run without spaces keeps
// its head and tail around an ellipsis, and a text that would make the box
// taller than the screen keeps its first and last lines around a line holding
// one. A sentence of the tool's own is never cut in a word: the box wraps it.
#pragma once
#include <cstddef>
#include <string>

// The defaults fit a 1080-pixel screen at 150 %, where Wine's message box,
// which never grows wider, wraps its text at some 50 characters and has room
// for 35 lines (tests/support/box_text_check.h); Windows starts wider still.
struct TextLimits {
  size_t word = 60;   // characters in a run without white space
  size_t width = 50;  // characters on one line of the box, as it wraps the text
  size_t lines = 34;  // lines of the box, after wrapping
};

// text is UTF-8; limits count characters (code points), and cuts fall between
// characters. A run of non-space characters longer than limits.word keeps its
// head and tail around "…". The box's lines are the text's lines wrapped
// between words at limits.width characters (a run longer than that takes as
// many lines as it fills); when there are more than limits.lines of them, the
// first and the last ones are kept around a line holding "…", so whole words
// go and no word is split. Texts within the limits come back unchanged.
std::string ShortenForBox(const std::string& text, const TextLimits& limits = TextLimits());

