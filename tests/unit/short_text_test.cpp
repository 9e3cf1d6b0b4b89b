#include <gtest/gtest.h>

#include <string>

#include "support/box_text_check.h"
#include "support/counted_box_fit.h"

namespace {

const std::string kDots = "\xE2\x80\xA6";

TEST(ShortenForBox, CutsOnlyWhatHasNoWords) {
  const TextLimits small{5, 12, 5};
  struct Case {
    const char* what;
    std::string in, out;
  };
  const Case cases[] = {
      {"within every limit", "abc de\nfgh", "abc de\nfgh"},
      {"a word at the limit", "abcde", "abcde"},
      {"a long word keeps both ends", "abcdefgh x", "ab" + kDots + "gh x"},
      {"accented letters count once and are never split", "\xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xB6\xC5\x91",
       "\xC3\xA1\xC3\xA9" + kDots + "\xC3\xB6\xC5\x91"},
      {"a long line of short words is wrapped, not cut", "ab cd ef gh ij kl mn", "ab cd ef gh ij kl mn"},
      {"too many lines", "1\n2\n3\n4\n5\n6\n7", "1\n2\n" + kDots + "\n6\n7"},
      {"an empty line stays", "a\n\nb", "a\n\nb"},
      // 24 words wrap to 6 lines of 12: the first two and the last two stay, whole.
      {"a line too long for the box loses whole words between its first and last lines",
       "aa bb cc dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr ss tt uu vv ww xx",
       "aa bb cc dd ee ff gg hh\n" + kDots + "\nqq rr ss tt uu vv ww xx"},
      {"indentation stays with the line kept", "1\n2\n3\n4\n5\n6\n  7", "1\n2\n" + kDots + "\n6\n  7"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortenForBox(c.in, small), c.out) << c.what;
}

// A box that does not fit gives up names from the middle of its lists first,
// and never keeps names whose heading it left out.
TEST(ShortenForBox, ListsGiveTheirMiddleAndKeepTheirHeadings) {
  const TextLimits narrow{60, 30, 6};
  const std::string names[] = {"data0.bh (data0.mrvdefbh)", "data1.bh (data1.mrvdefbh)", "data3.bh (data3.mrvdefbh)",
                               "data0.big (data0.mrvdefbig)", "data1.big (data1.mrvdefbig)", "vonu.exe (vonu.mrvdefexe)"};
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  // Each name takes a line of its own: nine lines where six fit.
  EXPECT_EQ(ShortenForBox("Nem sikerult.\nEzek a file-ok:\n" + list + ".\nVege.", narrow),
            "Nem sikerult.\nEzek a file-ok:\n" + names[0] + ",\n" + kDots + "\n" + names[5] + ".\nVege.");
  // With no list to give, the first and last lines stay; names whose heading
  // went in between go with it.
  EXPECT_EQ(ShortenForBox("L1\nL2\nL3\nL4\nL5\nL6\nL7\nL8\nEzek:\nx, y\nVege.", TextLimits{60, 30, 5}),
            "L1\nL2\nL3\n" + kDots + "\nVege.");
  // Fitting as it is, a list stays whole.
  const std::string fits = "Ezek a file-ok:\n" + list + ".";
  EXPECT_EQ(ShortenForBox(fits, TextLimits{60, 200, 3}), fits);
}

// The sentences a box of the tool may hold, with a long quoted piece: the
// sentence around it keeps every word.
TEST(ShortenForBox, TheToolsSentencesKeepEveryWord) {
  const std::string step =
      "T\xC3\xB6r\xC3\xB6ld ezt az \xC3\xA9rt\xC3\xA9ket (rendszergazdak\xC3\xA9nt: reg delete "
      "\"HKLM\\Software\\Marvek\\VONU11 XQ\" /v Backup /reg:32 /f), majd futtasd \xC3\xBAjra ezt a programot!";
  const std::string text = "A HKEY_LOCAL_MACHINE\\Software\\Marvek\\VONU11 XQ kulcs \xE2\x80\x9E" "Backup\xE2\x80\x9D "
                           "\xC3\xA9rt\xC3\xA9ke nem sz\xC3\xB6veg, ez\xC3\xA9rt a program nem tudja kiolvasni. " + step;
  EXPECT_EQ(ShortenForBox(text, TextLimits()), text);
  EXPECT_EQ(BoxTextProblem(text), "");
  const std::string token(500, 'x');
  const std::string quoted = ShortenForBox("Hiba: " + token + ". " + step, TextLimits());
  EXPECT_NE(quoted.find(step), std::string::npos) << quoted;
  EXPECT_EQ(BoxTextProblem("Hiba: " + token + ". " + step), "");
}

TEST(ShortenForBox, AHugeQuotedFolderFitsTheScreen) {
  std::string folder = "C:\\";
  while (folder.size() < (1u << 20)) folder += "Nagyon hossz\xC3\xBA mappa\\";
  const std::string message = "A j\xC3\xA1t\xC3\xA9k mapp\xC3\xA1ja nem \xC3\xA9rhet\xC5\x91 el: " + folder +
                              "Game\\ (t\xC3\xBAl hossz\xC3\xBA)\nSemmi sem v\xC3\xA1ltozott.";
  const std::string shown = ShortenForBox(message, TextLimits());
  EXPECT_LT(shown.size(), 4000u);
  EXPECT_EQ(shown.substr(0, 40), message.substr(0, 40));
  // The end of the path and the reason after it stay readable.
  EXPECT_NE(shown.find("Game\\ (t\xC3\xBAl hossz\xC3\xBA)\nSemmi sem v\xC3\xA1ltozott."), std::string::npos);
  EXPECT_EQ(BoxTextProblem(message), "");

  const std::string unbroken(100000, 'x');
  EXPECT_EQ(Characters(ShortenForBox("Nincs: " + unbroken, TextLimits())), 7 + TextLimits().word);
  EXPECT_EQ(BoxTextProblem("Nincs: " + unbroken), "");
}

// The judge itself, given what a box showed: it must catch the cuts into the
// tool's own words that a shortening by characters made.
TEST(BoxTextProblem, CatchesCutWordsAndTallBoxes) {
  const std::string path = "C:\\" + std::string(80, 'p') + "\\Game\\";
  const std::string text = "Hiba: " + path + " nem \xC3\xA9rhet\xC5\x91 el. T\xC3\xB6r\xC3\xB6ld ezt az \xC3\xA9rt\xC3\xA9ket!";
  const auto lines = [](int count) {
    std::string out = "Sor 0";
    for (int i = 1; i < count; ++i) out += "\nSor " + std::to_string(i);
    return out;
  };
  const std::string tall = lines(40);
  struct Case {
    const char* what;
    std::string text, shown;
    bool fine;
  };
  const Case cases[] = {
      {"shown unchanged", text, text, true},
      {"the path's middle left out", text, "Hiba: C:\\pp" + kDots + "pp\\Game\\ nem \xC3\xA9rhet\xC5\x91 el. T\xC3\xB6r\xC3\xB6ld ezt az \xC3\xA9rt\xC3\xA9ket!", true},
      {"two words joined by the cut", text, "Hiba: " + path + " nem \xC3\xA9r" + kDots + "ezt az \xC3\xA9rt\xC3\xA9ket!", false},
      {"a word's end cut off", text, "Hiba: " + path + " nem \xC3\xA9rhet" + kDots, false},
      {"a short word's middle cut", "Semmi sem v\xC3\xA1ltozott.", "Semmi sem v\xC3\xA1l" + kDots + "ott.", false},
      {"lines left out around a line of their own", tall, "Sor 0\n" + kDots + "\nSor 39", true},
      {"the ellipsis glued to a kept line", tall, "Sor 0" + kDots + "\nSor 39", false},
      {"a text's own ellipsis", "V\xC3\xA1rj" + kDots, "V\xC3\xA1rj" + kDots, true},
      {"35 lines fit", lines(35), lines(35), true},
      {"36 lines do not", lines(36), lines(36), false},
      {"a long line wrapped counts every line", std::string(200, 'a') + " b", std::string(36 * 50, 'a'), false},
  };
  for (const Case& c : cases) {
    const std::string problem = BoxTextProblem(c.text, c.shown);
    EXPECT_EQ(problem.empty(), c.fine) << c.what << ": " << problem;
  }
}

}  // namespace
