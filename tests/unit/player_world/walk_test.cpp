// The player's world walked, from a fresh install and from folders made up,
// the promises checked after every step; a failure told as the steps to it.
#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <unordered_map>

#include "promises.h"

namespace player_world {

struct Node {
  World world;
  int parent;
  Move move;
  int depth;
  std::string start = "fresh install";  // where a history without a parent begins
};

struct Walk {
  std::vector<Node> nodes;
  std::set<std::string> seen;
  // What P5 found of each folder: the random histories come back to the same folders often.
  std::unordered_map<std::string, std::string> deadEnds;
  uint64_t histories = 0, crashPoints = 0, refusals = 0, toolSteps = 0, oddNames = 0;
  std::vector<std::string> failures;
  std::mt19937 random{20261208};
  bool sampling = false;
  bool lifeOnly = false;  // the tool's moves and the patch alone; crashes and refusals lead nowhere

  std::string History(int node, const Move* last = nullptr) const {
    const Node& n = nodes[node];
    const std::string text = n.parent < 0 ? n.start : History(n.parent, &n.move);
    return last ? text + "\n  then " + Describe(*last) : text;
  }
  void Fail(const std::string& what, int node, const Move* last = nullptr, const std::string& box = "") {
    if (failures.size() < 5) failures.push_back(what + "\n" + History(node, last) + "\nbox: " + box);
  }
  void Visit(const World& w, int parent, const Move& m, int depth) {
    if (seen.insert(w.Key()).second) nodes.push_back({w, parent, m, depth});
  }
};

std::vector<Move> MovesFrom(const World& w, const Versions& v, Walk& walk) {
  unsigned changed = 0;
  for (size_t i = 0; i < kFiles; ++i) changed |= v.Changes(i) ? 1u << i : 0;
  // The patch cut off: after its first files in the walk, after any of them in the samples.
  const unsigned cut = walk.sampling ? std::uniform_int_distribution<unsigned>(1, 0x7e)(walk.random) & changed : changed & 0x18;
  std::vector<Move> moves = {{Act::Ok}, {Act::ToBase}, {Act::ToPatched}, {Act::Patch, "", changed}, {Act::Patch, "", changed, true},
                             {Act::Patch, "", cut}, {Act::DeleteFamily, ".mrvdef"}, {Act::DeleteFamily, ".mrvupd"}};
  if (walk.lifeOnly) {
    moves.push_back({Act::Patch, "", changed & 0x20});
    // A scanner that takes the game's exe away for a while; a stored copy
    // whose data the disk lost, its name left.
    moves.push_back(w.quarantine.empty() ? Move{Act::Quarantine, "vonu.exe"} : Move{Act::Restore});
    moves.push_back({Act::Emptied, BaseCopyName(3)});
    return moves;
  }
  for (Act act : {Act::Reinstall, Act::DeleteKey, Act::FlagZero}) moves.push_back({act});
  // A stored copy renamed by hand into its other name is tried where every
  // file has a stored copy and the active files differ from them in size:
  // elsewhere a base copy under the patched name looks like the patch
  // installed over the base version, which the tool cannot tell from it.
  const bool whole = EveryFile([&](size_t i) {
    return w.StoredAny(i) && (!v.Changes(i) || w.Active(i) == v.patched[i] || w.Active(i) == v.base[i]) &&
           (!v.Shows(i) || (w.Bytes(BaseCopyName(i)) != w.Active(i) && w.Bytes(PatchCopyName(i)) != w.Active(i)));
  });
  if (!w.quarantine.empty()) moves.push_back({Act::Restore});
  for (size_t i = 0; i < kFiles && w.quarantine.empty(); ++i) {
    for (const std::string& stored : {BaseCopyName(i), PatchCopyName(i)}) {
      if (!w.At(stored)) continue;
      moves.push_back({Act::Quarantine, stored});
      if (whole) moves.push_back({Act::RenameStored, stored});
    }
  }
  return moves;
}

// P6 for the folder a node holds, and P5 where `leads` is set.
void CheckFolder(const Versions& v, int here, Walk& walk, bool leads = true) {
  const World& w = walk.nodes[here].world;
  if (leads) {
    const auto [known, fresh] = walk.deadEnds.try_emplace(w.Key());
    if (fresh) known->second = DeadEnd(w, v);
    if (!known->second.empty()) walk.Fail(known->second, here);
  }
  if (const std::string odd = WrongFace(w, v); !odd.empty()) walk.Fail(odd, here);
}

// One move from a node's folder, with every crash point of the tool's and
// every refused operation (or, where `refusal` is set, that one alone): the
// tool's steps are checked, the folders they lead to returned. A move that
// the face hides is checked too, and leads nowhere.
std::vector<std::pair<World, Move>> Step(const Versions& v, int here, const Move& m, Walk& walk, int refusal = 0) {
  const World w = walk.nodes[here].world;
  std::vector<std::pair<World, Move>> next;
  ++walk.histories;
  if (m.act != Act::Ok && m.act != Act::ToBase && m.act != Act::ToPatched) {
    if (const std::optional<World> after = PlayerMove(w, m, v); after && after->Key() != w.Key()) next.emplace_back(*after, m);
    return next;
  }
  ToolRun full = RunTool(w, m.act, v, 0, true);
  ++walk.toolSteps;
  if (const std::string broken = BrokenPromise(w, full, v); !broken.empty()) walk.Fail(broken, here, &m, full.text);
  if ((full.face == Face::FirstRun) != (m.act == Act::Ok)) return next;
  // Beyond the walk of every history, one name of the set at a time is one
  // the system cannot read, a link or a folder.
  if (refusal > 0 || walk.lifeOnly) {
    int odd = static_cast<int>(walk.oddNames++ % (kFiles * 12));
    // A folder takes only a name that holds no file.
    if (OddName(static_cast<size_t>(odd)).second.kind == EntryKind::Folder && w.At(OddName(static_cast<size_t>(odd)).first)) --odd;
    const ToolRun run = RunTool(w, m.act, v, 0, false, odd);
    const char* const kind = run.oddProbe.link ? " a link" : run.oddProbe.kind == EntryKind::Folder ? " a folder" : " unreadable";
    const Move described{m.act, " with " + run.odd + kind};
    if (const std::string broken = BrokenPromise(w, run, v); !broken.empty()) walk.Fail(broken, here, &described, run.text);
    // The game running: nothing moves, and the box says so.
    const ToolRun playing = RunTool(w, m.act, v, 0, false, -1, true);
    if (playing.Succeeded() || playing.after.folder != w.folder) walk.Fail("P3: the tool went on while the game ran", here, &m, playing.text);
    // A drive with no room for any copy: a backup copies nothing.
    if (m.act == Act::Ok) {
      const ToolRun full = RunTool(w, m.act, v, 0, false, -1, false, true);
      if (full.backedUp->Succeeded() && full.after.folder != w.folder) walk.Fail("P3: the backup copied onto a full drive", here, &m, full.text);
    }
  }
  // The crash points of a run: the machine stopping after each change.
  const auto crashPoints = [&](ToolRun& run, const Move& move) {
    const std::vector<World> crashes = std::move(run.crashes);
    for (size_t k = 0; k < crashes.size(); ++k) {
      Move crash = move;
      crash.crashAfter = static_cast<int>(k + 1);
      ToolRun cut = run;
      cut.after = crashes[k];
      cut.crashed = true;
      ++walk.crashPoints;
      if (const std::string broken = BrokenPromise(w, cut, v); !broken.empty()) walk.Fail(broken, here, &crash, "(none: the machine stopped)");
      if (!walk.lifeOnly) next.emplace_back(cut.after, crash);
      // A backup over a switch stopped after its first rename, the window
      // having stood open.
      if (walk.lifeOnly && k == 0 && run.switched) {
        const ToolRun backup = RunTool(cut.after, Act::Ok, v, 0, true);
        if (const std::string broken = BrokenPromise(cut.after, backup, v); !broken.empty())
          walk.Fail(broken, here, &crash, "then OK (backup)\nbox: " + backup.text);
      }
    }
  };
  next.emplace_back(full.after, m);
  crashPoints(full, m);
  for (int n = refusal > 0 ? refusal : 1; n <= (refusal > 0 ? std::min(refusal, full.calls) : full.calls); ++n) {
    Move refused = m;
    refused.refused = n;
    ToolRun run = RunTool(w, m.act, v, n);
    ++walk.refusals;
    if (const std::string broken = BrokenPromise(w, run, v); !broken.empty()) walk.Fail(broken, here, &refused, run.text);
    if (!walk.lifeOnly) next.emplace_back(run.after, refused);
    // A random history also stops the machine during the undo that follows,
    // or has the undo's first step refused as well.
    if (refusal > 0) {
      crashPoints(run, refused);
      const ToolRun twice = RunTool(w, m.act, v, n, false, -1, false, false, false, n + 1);
      ++walk.refusals;
      refused.name = " (and the operation after it)";
      if (const std::string broken = BrokenPromise(w, twice, v); !broken.empty()) walk.Fail(broken, here, &refused, twice.text);
    }
  }
  return next;
}

// Every history up to maxDepth moves from a fresh install, each distinct folder once.
void Explore(const Versions& v, int maxDepth, Walk& walk) {
  World fresh;
  for (size_t i = 0; i < kFiles; ++i) fresh.folder[ActiveName(i)] = {v.base[i], {kBaseDate, 0}};
  walk.Visit(fresh, -1, {Act::Ok}, 0);
  for (size_t n = 0; n < walk.nodes.size(); ++n) {
    const int here = static_cast<int>(n);
    CheckFolder(v, here, walk);
    if (walk.nodes[n].depth == maxDepth) continue;
    for (const Move& m : MovesFrom(walk.nodes[n].world, v, walk)) {
      for (const auto& [world, move] : Step(v, here, m, walk)) walk.Visit(world, here, move, walk.nodes[n].depth + 1);
    }
  }
}

// Beyond: seeded random histories of `length` moves. Each step takes one
// move at random; a run of the tool is checked with its crash points and one
// refused operation, and the history goes on from one of them.
void Sample(const Versions& v, int walks, int length, Walk& walk) {
  walk.sampling = true;
  const auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(walk.random); };
  std::unordered_map<std::string, std::vector<std::pair<World, Move>>> steps;
  for (int i = 0; i < walks; ++i) {
    int here = 0;
    for (int step = 0; step < length; ++step) {
      // A kind of move first, so that the many quarantines and renames do
      // not crowd out the tool and the patch.
      std::map<Act, std::vector<Move>> kinds;
      for (const Move& m : MovesFrom(walk.nodes[here].world, v, walk)) kinds[m.act].push_back(m);
      const std::vector<Move>& moves = std::next(kinds.begin(), static_cast<long>(pick(kinds.size())))->second;
      const Move& chosen = moves[pick(moves.size())];
      const int refusal = static_cast<int>(pick(40)) + 1;
      // A step taken before from the same folder was checked then.
      const std::string key = walk.nodes[here].world.Key() + Describe(chosen) + '#' + std::to_string(refusal);
      auto taken = steps.find(key);
      if (taken == steps.end()) taken = steps.emplace(key, Step(v, here, chosen, walk, refusal)).first;
      const std::vector<std::pair<World, Move>>& next = taken->second;
      if (next.empty()) continue;
      const auto& [world, move] = next[pick(next.size())];
      walk.nodes.push_back({world, here, move, step + 1});
      here = static_cast<int>(walk.nodes.size() - 1);
      CheckFolder(v, here, walk);
    }
  }
}

// `depth` 0: the lives of the tool's moves and the patch alone.
void WalkEveryHistory(unsigned leftAlone, unsigned keepsSize, int depth) {
  const Versions versions = MakeVersions(leftAlone, keepsSize);
  constexpr int kWalks = 400, kLength = 12;
  const int lifeDepth = depth > 0 ? 4 : 6;
  Walk walk, life;
  std::string what = "every history of " + std::to_string(lifeDepth) + " of the tool's moves, the patch, deleted copies and a scanner (";
  if (depth > 0) {
    Explore(versions, depth, walk);
    what = "every history of " + std::to_string(depth) + " moves (" + std::to_string(walk.nodes.size()) + " distinct folders), " +
           std::to_string(kWalks) + " random ones of " + std::to_string(kLength) + " and every one of " + std::to_string(lifeDepth) +
           " of the tool's moves and the patch (";
    Sample(versions, kWalks, kLength, walk);
  }
  // Longer lives of a game whose player only uses the tool and the patch
  // reach the folders where the patch came twice around a switch.
  life.lifeOnly = true;
  Explore(versions, lifeDepth, life);
  std::cout << "player world: " << what << life.nodes.size() << " folders): " << walk.histories + life.histories << " moves tried, "
            << walk.toolSteps + life.toolSteps << " runs of the tool, " << walk.crashPoints + life.crashPoints << " crash points, "
            << walk.refusals + life.refusals << " refused operations, " << walk.oddNames + life.oddNames << " odd names\n";
  for (const Walk* w : {&walk, &life}) {
    for (const std::string& failure : w->failures) ADD_FAILURE() << failure;
  }
}

// From a made-up folder: the start's face, both switches and the backup,
// each question answered truly and then untruly; on a seeded share of them
// P5, and on a smaller one each run's crash points, one refused operation
// and one odd name more.
void StartFrom(const Versions& v, const World& w, const std::string& label, uint64_t n, Walk& walk) {
  // A made folder stands alone: its node is kept for its failures' history only.
  if (walk.nodes.size() > 4096) walk.nodes.clear();
  walk.nodes.push_back({w, -1, {Act::Ok}, 0, label});
  const int here = static_cast<int>(walk.nodes.size() - 1);
  CheckFolder(v, here, walk, n % 5 == 0);
  for (Act act : {Act::Ok, Act::ToBase, Act::ToPatched}) {
    const Move m{act};
    if (n % 61 == 0) {
      Step(v, here, m, walk, static_cast<int>(walk.random() % 12) + 1);
      continue;
    }
    ++walk.toolSteps;
    const ToolRun run = RunTool(w, act, v, 0, true);
    if (const std::string broken = BrokenPromise(w, run, v); !broken.empty()) walk.Fail(broken, here, &m, run.text);
    if (!run.asked) continue;
    ++walk.toolSteps;
    const ToolRun lied = RunTool(w, act, v, 0, true, -1, false, false, true);
    if (const std::string broken = BrokenPromise(w, lied, v); !broken.empty()) walk.Fail(broken + " (answered untruly)", here, &m, lied.text);
  }
}

// Every way `file`'s four names can be filled, under each flag, beside the
// six others in a state the tool leaves; the Game folder gone; then a
// seeded sample of folders with two such files.
void EveryFolder(unsigned leftAlone, unsigned keepsSize, size_t file, int pairs) {
  const Versions v = MakeVersions(leftAlone, keepsSize);
  Walk walk;
  walk.random.seed(static_cast<unsigned>(file));
  uint64_t made = 0;
  const std::string label = "made folder " + ActiveName(file);
  for (uint64_t code = 0; code < 3 * 2401; ++code) StartFrom(v, MadeFolder(v, {file}, code), label + " #" + std::to_string(code), made++, walk);
  for (const Flag flag : {Flag::Missing, Flag::Zero, Flag::One}) {
    World gone;
    gone.flag = flag, gone.folderGone = true;
    StartFrom(v, gone, "no Game folder", made++, walk);
  }
  for (int n = 0; n < pairs; ++n) {
    const size_t other = (file + 1 + walk.random() % (kFiles - 1)) % kFiles;
    const uint64_t code = walk.random() % (3ull * 2401 * 2401);
    StartFrom(v, MadeFolder(v, {file, other}, code), label + "+" + ActiveName(other) + " #" + std::to_string(code), made++, walk);
  }
  std::cout << "player world: every folder of " << ActiveName(file)
            << "'s four names (nothing, either version, empty, a folder, a link or unreadable) under each flag, and "
            << pairs << " with a second such file (" << made << " folders): " << walk.toolSteps << " runs of the tool, "
            << walk.crashPoints << " crash points, " << walk.refusals << " refused operations, " << walk.oddNames << " odd names\n";
  for (const std::string& failure : walk.failures) ADD_FAILURE() << failure;
}

// Every file but data3.bh tells its version by its size here: the folders
// that leave the tool no doubt are among them.
TEST(PlayerWorld, EveryFolderOfABigFilesNamesKeepsThePromises) { EveryFolder(1u << 2, 0, 3, 1000); }
TEST(PlayerWorld, EveryFolderOfTheExesNamesKeepsThePromises) { EveryFolder(1u << 2, 1u << 6, 6, 1000); }

// The patch leaves data3.bh alone and rewrites vonu.exe in its own size.
TEST(PlayerWorld, EveryHistoryKeepsThePromisesWhereThePatchKeepsOneSizeAndLeavesOneFileAlone) { WalkEveryHistory(1u << 2, 1u << 6, 3); }

// The patch changes every file and its size: where it comes over the base
// files, nothing in the folder holds their base versions.
TEST(PlayerWorld, EveryLifeOfTheToolKeepsThePromisesWhereThePatchChangesEveryFile) { WalkEveryHistory(0, 0, 0); }

// The .bh files all alone: a backup that stopped after them looks whole
// until the .big files show the patch.
TEST(PlayerWorld, EveryHistoryKeepsThePromisesWhereThePatchLeavesTheBhFilesAlone) { WalkEveryHistory(0x7u, 0, 3); }

}  // namespace player_world
