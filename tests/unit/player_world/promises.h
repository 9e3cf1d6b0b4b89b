// What the tool promises, judged after every step of the tool (world.h):
//   P1 no step of the tool removes the last copy of a content in the folder;
//   P2 no stored name gets the other version, unless the player vouched for
//      it (OK on the first-run face over patched files, never asked);
//   P3 every box is true: a success means every active file holds the
//      chosen version, except named files whose note excuses it; every claim
//      a box makes of a file (its notes, what is gone, what holds what, a
//      refused operation and its cause) is checked against the account;
//   P4 no box advises the patch while a file's only base version is active,
//      and a backup that is not whole warns against it there;
//   P5 from every folder, doing what the boxes say (answering the question
//      truly) leads to one where both switches work, or to a box that says
//      what is gone; never to the same box over the same folder again;
//   P6 the start shows the first-run face only where some file has nothing
//      stored and nothing in the folder shows the patch, and the version
//      choice where some file has nothing stored and no patched file is there.
//   P7 from a folder that leaves no doubt, the tool does what it safely can:
//      a switch that renames alone can make, a backup that can be whole, and
//      "the patch is not installed" where nothing is patched.
// Truth comes from the account alone: no promise asks the code under test.
#pragma once
#include "world.h"

namespace player_world {

// What a step of the tool broke, empty when nothing: P1 to P4 and P7.
std::string BrokenPromise(const World& before, const ToolRun& run, const Versions& v);
std::string DeadEnd(World w, const Versions& v);           // P5
std::string WrongFace(const World& w, const Versions& v);  // P6

}  // namespace player_world
