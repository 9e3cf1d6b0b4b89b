#include <gtest/gtest.h>

#include "app/error_text.h"
#include "app/layout.h"

// Beside Bounds in its namespace, where EXPECT_EQ finds it.
bool operator==(const Bounds& a, const Bounds& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

namespace {

TEST(ErrorBox, FullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorBoxText("Failed to set data for 'Backup'"), "Failed to set data for 'Backup'");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("Disk full"), "Disk full.");
  EXPECT_EQ(ErrorBoxText("Value must be between 1 and 2147483647"),
            "Value must be between 1 and 2147483647.");
  EXPECT_EQ(ErrorBoxText("Why-"), "Why-");  // '-' is 0x2D
  EXPECT_EQ(ErrorBoxText("/"), "/.");       // '/' is 0x2F
  EXPECT_EQ(ErrorBoxText(""), "");
  EXPECT_EQ(ErrorBoxText("Kil\xC3\xA9p\xC3\xA9s"), "Kil\xC3\xA9p\xC3\xA9s.");
}

TEST(Layout, MulDivRoundsHalfAwayFromZeroAsThePlatformDoes) {
  EXPECT_EQ(MulDivRounded(-11, 144, 96), -17);  // -16.5
  EXPECT_EQ(MulDivRounded(11, 144, 96), 17);
  EXPECT_EQ(MulDivRounded(-11, 120, 96), -14);  // -13.75
  EXPECT_EQ(MulDivRounded(389, 16, 13), 479);   // 478.77
}

TEST(Layout, ScalingMovesEdgesNotSizes) {
  // Widths follow from the scaled edges, so neighbours stay adjacent.
  const Bounds designed{16, 40, 177, 17};
  EXPECT_EQ(ScaleBounds(designed, 13), designed);
  const Bounds at21 = ScaleBounds(designed, 21);
  EXPECT_EQ(at21.left, MulDivRounded(16, 21, 13));
  EXPECT_EQ(at21.left + at21.width, MulDivRounded(16 + 177, 21, 13));
  EXPECT_EQ(at21.top + at21.height, MulDivRounded(40 + 17, 21, 13));
  // The status bar still starts where the picture ends.
  const Bounds ibg = ScaleBounds({0, 0, 389, 171}, 16);
  const Bounds sb = ScaleBounds({0, 171, 389, 19}, 16);
  EXPECT_EQ(ibg.top + ibg.height, sb.top);
  EXPECT_EQ(sb.top + sb.height, MulDivRounded(kClientHeight, 16, 13));
}

TEST(Layout, TableMatchesTheDesign) {
  // Spot checks of the rows most likely to be mistyped.
  EXPECT_EQ(Bounds({kLayout[Bstart].left, kLayout[Bstart].top, kLayout[Bstart].width,
                    kLayout[Bstart].height}),
            Bounds({264, 24, 108, 26}));
  EXPECT_EQ(kLayout[PB].parent, Parent::InPanel);
  EXPECT_EQ(Bounds({kLayout[PB].left, kLayout[PB].top, kLayout[PB].width, kLayout[PB].height}),
            Bounds({56, 88, 273, 17}));
  EXPECT_EQ(kLayout[RBdef].tabOrder, 0);
  EXPECT_EQ(kLayout[RBupd].tabOrder, 1);
  EXPECT_EQ(kLayout[Bstart].tabOrder, 2);
  EXPECT_EQ(kLayout[Panel].tabOrder, 4);
  EXPECT_EQ(kLayout[Bok].font, FontKind::Window);
  EXPECT_EQ(kLayout[RBupd].font, FontKind::Bold13);
  EXPECT_STREQ(kLayout[Boff].caption, "Kil\xC3\xA9p\xC3\xA9s");
  EXPECT_EQ(WindowFontHeight(96), -11);
  EXPECT_EQ(WindowFontHeight(144), -17);
}

TEST(Layout, ControlsGrowRightOnlyAsFarAsTheirCaptionsNeedAndRoomAllows) {
  struct Case {
    int extent, beside, scaled, room, width;
  } cases[] = {
      {120, 19, 190, 400, 190},  // fits: the scaled width stays
      {171, 19, 190, 400, 190},  // fits exactly
      {180, 19, 190, 400, 199},  // grows to what the caption needs
      {180, 19, 190, 195, 195},  // stopped by the next control or the edge
      {180, 19, 190, 150, 190},  // never narrower than scaled
      {0, 19, 190, 400, 190},    // no caption: nothing beside it counts
      {210, 0, 190, 400, 210},   // a label: the text alone
  };
  for (const Case& c : cases)
    EXPECT_EQ(WidthForCaption(c.extent, c.beside, c.scaled, c.room), c.width)
        << c.extent << " + " << c.beside << " in " << c.scaled << ", room " << c.room;
  // The radio buttons stop at the apply button, which shares their rows; the
  // panel's buttons at each other and at the window's edge, which cuts the
  // panel off; a label spanning the panel by its left edge.
  const int h = 21;  // Tahoma's text height at 144 dpi
  auto left = [&](ControlIndex i) { return MulDivRounded(kLayout[i].left, h, 13); };
  EXPECT_EQ(RoomToTheRight(kLayout[RBdef], h), left(Bstart) - left(RBdef));
  EXPECT_EQ(RoomToTheRight(kLayout[RBupd], h), left(Bstart) - left(RBupd));
  EXPECT_EQ(RoomToTheRight(kLayout[Bstart], h), MulDivRounded(kClientWidth, h, 13) - left(Bstart));
  EXPECT_EQ(RoomToTheRight(kLayout[Bok], h), left(Boff) - left(Bok));
  EXPECT_EQ(RoomToTheRight(kLayout[Boff], h), MulDivRounded(kClientWidth, h, 13) - left(Boff));
  EXPECT_EQ(RoomToTheRight(kLayout[Linfo], 13), kClientWidth);
}

TEST(Layout, TabOrderFollowsTheTablePerParent) {
  // Keyboard navigation reads its order from the table alone.
  EXPECT_EQ(TabOrder(Parent::Main), (std::vector<ControlIndex>{RBdef, RBupd, Bstart, Panel}));
  EXPECT_EQ(TabOrder(Parent::InPanel), (std::vector<ControlIndex>{Bok, Boff}));
}

}  // namespace
