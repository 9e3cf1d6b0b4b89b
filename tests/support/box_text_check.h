// Judges the text of a message box as a player would meet it: what the box
// shows is ShortenForBox of the text the tool passes, and that must neither
// cut into a word nor make the box taller than the screen.
#pragma once
#include <string>

// What is wrong with the box that shows text (UTF-8, as the tool passes it to
// its message box, before shortening); empty when nothing is.
//
// A "…" that the shortening put in must stand for the middle of a run without
// spaces longer than any word a sentence holds (a path, a system's token), or
// alone on a line of its own for lines left out; a "…" glued to a word or
// joining the pieces of two words cuts into the tool's own words.
//
// The box's height is estimated for a 1920 x 1080 screen at 150 % (144 dpi):
// the text wrapped between words at 50 characters a line, a line of the
// 9-point message font 24 pixels high, 160 pixels for the title bar, the
// margins and the row of buttons, and a taskbar of 72 pixels. So the box fits
// when the wrapped text takes at most (1080 - 72 - 160) / 24 = 35 lines.
// Measured under Wine at 96 and 144 dpi, its box (whose width is fixed by its
// template) wraps the tool's Hungarian at 45 to 51 characters, in lines 21
// pixels high at 144 dpi; Windows (Vista on) starts at 278 dialog units, some
// 70 characters, and widens a box that would be too tall, so this
// overestimates its height.
std::string BoxTextProblem(const std::string& text);

// The same judgement of shown, the box's text after shortening, against
// text, the one the tool passed: the part of the check that does not depend
// on how the shortening is done.
std::string BoxTextProblem(const std::string& text, const std::string& shown);
