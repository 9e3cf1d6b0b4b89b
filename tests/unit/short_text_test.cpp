#include <gtest/gtest.h>

#include <string>

#include "common/short_text.h"

namespace {

size_t Characters(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

const std::string kDots = "\xE2\x80\xA6";

TEST(ShortenForBox, CutsOverLongPiecesInTheMiddle) {
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
      {"a long line of short words", "ab cd ef gh ij kl", "ab cd " + kDots + "ij kl"},
      {"too many lines", "1\n2\n3\n4\n5\n6\n7", "1\n2\n" + kDots + "\n6\n7"},
      {"an empty line stays", "a\n\nb", "a\n\nb"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortenForBox(c.in, small), c.out) << c.what;
}

TEST(ShortenForBox, AHugeQuotedFolderFitsTheDefaultLimits) {
  std::string folder = "C:\\";
  while (folder.size() < (1u << 20)) folder += "Nagyon hossz\xC3\xBA mappa\\";
  const std::string message = "A j\xC3\xA1t\xC3\xA9k mapp\xC3\xA1ja nem \xC3\xA9rhet\xC5\x91 el: " + folder +
                              "Game\\ (t\xC3\xBAl hossz\xC3\xBA)\nSemmi sem v\xC3\xA1ltozott.";
  const std::string shown = ShortenForBox(message);
  const size_t lineBreak = shown.find('\n');
  ASSERT_NE(lineBreak, std::string::npos);
  EXPECT_LE(Characters(shown.substr(0, lineBreak)), TextLimits().line);
  EXPECT_EQ(shown.substr(0, 10), message.substr(0, 10));
  EXPECT_EQ(shown.substr(lineBreak), "\nSemmi sem v\xC3\xA1ltozott.");
  // The end of the path and the reason after it stay readable.
  EXPECT_NE(shown.find("Game\\ (t\xC3\xBAl hossz\xC3\xBA)"), std::string::npos);

  const std::string unbroken(100000, 'x');
  EXPECT_EQ(Characters(ShortenForBox("Nincs: " + unbroken)), 7 + TextLimits().word);
}

}  // namespace
