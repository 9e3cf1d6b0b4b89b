// The player's world as a model. Per file a base and a patched content (the
// patch leaves some files alone: both are the same), the moves a player makes
// (the tool's backup and both switches, the patch installed with its
// archive's dates or fresh ones, the game reinstalled, a scanner's
// quarantine of a stored copy and its restore) and a crash after every
// single change the tool makes. Every history of up to five moves from a
// fresh install is walked, each distinct folder once, and after every step
// of the tool its promises are checked against what the model knows:
//   P1 no step of the tool removes the last copy of a content in the folder;
//   P2 no stored name gets the other version (unless the box names the file);
//   P3 every box is true: a success means the chosen version is active,
//      "nothing changed" means nothing did, "the backups are made" means so;
//   P4 no box advises the patch while a file's only base version is active,
//      and a name said to be gone is in the quarantine;
//   P5 where both versions of every file are in the folder, a player who
//      does what the boxes say reaches a folder where both switches work;
//   P6 the start and the operations agree on whether a backup is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "fileset/file_set.h"
#include "fileset/first_run_backup.h"
#include "fileset/folder_rules.h"
#include "fileset/outcome_text.h"
#include "fileset/version_switch.h"
#include "support/memory_folder.h"

namespace {

const std::string kGameDir = MakeGameDir("C:\\VONU11");
constexpr int64_t kBaseDate = 1000000000, kPatchDate = 1100000000;
constexpr size_t kFiles = FileSet.size();

std::string Name(const char* setName) { return ShownName(setName); }

// What the two versions of each file hold; `leftAlone` has a bit for each
// file that the patch does not change.
struct Versions {
  std::array<std::string, kFiles> base, patched;
  bool Changes(size_t i) const { return base[i] != patched[i]; }
};
Versions MakeVersions(unsigned leftAlone) {
  Versions v;
  for (size_t i = 0; i < kFiles; ++i) {
    v.base[i] = std::string(10 + i, static_cast<char>('a' + i));
    v.patched[i] = leftAlone & (1u << i) ? v.base[i] : std::string(20 + i, static_cast<char>('A' + i));
  }
  return v;
}

enum class Flag { Missing, Zero, One };

struct World {
  MemoryFolder::Files folder, quarantine;
  Flag flag = Flag::Missing;
  int64_t now = 1200000000;

  // The same key for folders the tool cannot tell apart: dates only as
  // their order (the tool compares them, never reads them as such).
  std::string Key() const {
    std::set<int64_t> times;
    for (const auto* files : {&folder, &quarantine}) {
      for (const auto& [name, f] : *files) times.insert(f.lastWrite.seconds);
    }
    std::map<int64_t, size_t> rank;
    for (int64_t t : times) rank.emplace(t, rank.size());
    std::string key = std::to_string(static_cast<int>(flag));
    for (const auto* files : {&folder, &quarantine}) {
      key += '|';
      for (const auto& [name, f] : *files) key += name + '=' + f.bytes + '@' + std::to_string(rank[f.lastWrite.seconds]) + ';';
    }
    return key;
  }
};

World FreshInstall(const Versions& v) {
  World w;
  for (size_t i = 0; i < kFiles; ++i) w.folder[Name(FileSet[i].ActiveName)] = {v.base[i], {kBaseDate, 0}};
  return w;
}

class NoPc final : public PcWatch {
 public:
  bool IsRunning(const std::string&) override { return false; }
  std::vector<std::string> PrivateCopyFolders(const std::string&) override { return {}; }
};

class NoGauge final : public ProgressSink {
 public:
  void SetProgress(int32_t) override {}
};

enum class Face { FirstRun, Choice };
enum class Act { Ok, ToBase, ToPatched, PatchArchive, PatchFresh, Reinstall, Quarantine, Restore };

struct Move {
  Act act;
  std::string name = {};  // Quarantine: the stored name
  int crashAfter = -1;  // the tool's changes before the machine stopped
};

std::string Describe(const Move& m) {
  static const char* const kActs[] = {"OK (backup)", "Alkalmaz: Alap", "Alkalmaz: Patchelt",
                                      "install the patch (archive dates)", "install the patch (fresh dates)",
                                      "reinstall the game", "scanner quarantines ", "scanner restores its file"};
  std::string text = kActs[static_cast<int>(m.act)] + m.name;
  if (m.crashAfter >= 0) text += ", crash after " + std::to_string(m.crashAfter) + " changes";
  return text;
}

// One run of the tool from its start to its box, or to the crash.
struct ToolRun {
  Face face = Face::Choice;
  bool applies = false;  // the move's button is on the face shown
  std::optional<SwitchOutcome> switched;
  std::optional<BackupOutcome> backedUp;
  std::string text, question;
  World after;
  bool crashed = false;       // a crash state: no box was shown
  std::vector<World> crashes;  // the world after each change, the machine stopping there
};

class UtcZone final : public TimeZone {
 public:
  int64_t OffsetAt(int64_t) const override { return 0; }
};

// Whether any file to be copied holds its patched version: the player's
// truthful answer to the resumed backup's question.
bool PatchCameSince(const BackupOutcome& o, const MemoryFolder& folder, const Versions& v) {
  for (const BackupFile& f : o.files) {
    const size_t i = static_cast<size_t>(f.entry - FileSet.data());
    const auto it = folder.files().find(Name(f.entry->ActiveName));
    if (f.what == BackupFinding::ToCopy && v.Changes(i) && it != folder.files().end() && it->second.bytes == v.patched[i])
      return true;
  }
  return false;
}

Face StartFace(World& w) {
  if (w.flag == Flag::Missing) w.flag = Flag::Zero;
  if (w.flag == Flag::Zero) return Face::FirstRun;
  MemoryFolder ops(kGameDir, w.folder);
  return BackupIncomplete(ops, kGameDir) ? Face::FirstRun : Face::Choice;
}

ToolRun RunTool(const World& before, Act act, const Versions& v) {
  ToolRun run;
  run.after = before;
  World& w = run.after;
  run.face = StartFace(w);
  run.applies = (act == Act::Ok) == (run.face == Face::FirstRun);
  if (!run.applies) return run;
  MemoryFolder ops(kGameDir, w.folder);
  const World started = w;
  NoPc pc;
  if (act == Act::Ok) {
    NoGauge gauge;
    ResumeQuestion resume;
    resume.flagSaysDone = w.flag == Flag::One;
    resume.patchedSince = [&](const BackupOutcome& o) {
      run.question = ResumeQuestionText(o);
      return PatchCameSince(o, ops, v);
    };
    run.backedUp = FirstRunBackup(ops, pc, kGameDir, gauge, 0, [&] { w.flag = Flag::One; }, resume);
    run.text = BackupText(*run.backedUp, UtcZone());
  } else {
    run.switched = VersionSwitch(ops, pc, kGameDir, act == Act::ToBase ? GameVersion::Base : GameVersion::Patched);
    run.text = SwitchText(*run.switched);
  }
  w.folder = ops.files();
  for (const MemoryFolder::Files& files : ops.AfterEachChange()) {
    run.crashes.push_back(started);
    run.crashes.back().folder = files;
  }
  return run;
}

bool StoredAnyBase(const World& w) {
  for (const FileSetEntry& e : FileSet) {
    if (w.folder.count(Name(e.BaseCopyName)) || w.quarantine.count(Name(e.BaseCopyName))) return true;
  }
  return false;
}

// The player's own moves.
std::optional<World> PlayerMove(const World& before, const Move& m, const Versions& v) {
  if (m.act == Act::Restore && before.quarantine.empty()) return std::nullopt;
  World w = before;
  w.now += 100;
  switch (m.act) {
    case Act::PatchArchive:
    case Act::PatchFresh:
      // The tool says to install the patch only after the backup; the
      // player waits at least until one base copy is stored.
      if (w.flag != Flag::One && !StoredAnyBase(w)) return std::nullopt;
      for (size_t i = 0; i < kFiles; ++i) {
        if (v.Changes(i))
          w.folder[Name(FileSet[i].ActiveName)] = {v.patched[i], {m.act == Act::PatchArchive ? kPatchDate : w.now, 0}};
      }
      return w;
    case Act::Reinstall:
      for (size_t i = 0; i < kFiles; ++i) w.folder[Name(FileSet[i].ActiveName)] = {v.base[i], {w.now, 0}};
      return w;
    case Act::Quarantine:
      w.quarantine[m.name] = w.folder.at(m.name);
      w.folder.erase(m.name);
      return w;
    case Act::Restore: {
      const auto item = *w.quarantine.begin();
      if (w.folder.count(item.first)) return std::nullopt;
      w.folder.insert(item);
      w.quarantine.clear();
      return w;
    }
    default: return std::nullopt;
  }
}

// ------------------------------------------------------------------ promises

size_t IndexOf(const FileSetEntry* e) { return static_cast<size_t>(e - FileSet.data()); }

// The files a box names, by index.
std::set<size_t> Named(const ToolRun& run) {
  std::set<size_t> named;
  if (run.switched) {
    for (const SwitchFile& f : run.switched->files)
      if (f.entry) named.insert(IndexOf(f.entry));
    for (const SwitchFile& f : run.switched->dateDiffers) named.insert(IndexOf(f.entry));
  }
  return named;
}

// A sentence that tells the player to install the patch, or to install it again.
bool AdvisesPatch(const std::string& text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(".!?\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string sentence = text.substr(start, end - start);
    start = end + 1;
    const bool install = sentence.find("telepíts") != std::string::npos || sentence.find("telepíth") != std::string::npos ||
                         sentence.find("Telepíts") != std::string::npos || sentence.find("Telepíth") != std::string::npos;
    const bool dont = sentence.find("ne telepíts") != std::string::npos || sentence.find("Ne telepíts") != std::string::npos;
    if (install && !dont && sentence.find("Patchet") != std::string::npos) return true;
  }
  return false;
}

int Copies(const World& w, const std::string& bytes) {
  int n = 0;
  for (const auto& [name, f] : w.folder) n += f.bytes == bytes;
  return n;
}

std::string Active(const World& w, size_t i) {
  const auto it = w.folder.find(Name(FileSet[i].ActiveName));
  return it == w.folder.end() ? std::string("<none>") : it->second.bytes;
}

MemoryFolder::Files WithoutTemps(MemoryFolder::Files files) {
  for (auto it = files.begin(); it != files.end();) it = it->first.find("mrvtmp") != std::string::npos ? files.erase(it) : std::next(it);
  return files;
}

// What a step of the tool broke, empty when nothing.
std::string BrokenPromise(const World& before, const ToolRun& run, const Versions& v) {
  const World& after = run.after;
  for (const auto& [name, f] : before.folder) {
    if (!f.bytes.empty() && Copies(after, f.bytes) == 0) return "P1: the last copy of " + name + " is gone";
  }
  const std::set<size_t> named = Named(run);
  for (size_t i = 0; i < kFiles; ++i) {
    if (!v.Changes(i) || named.count(i)) continue;
    const auto stored = [&](const char* setName, const std::string& wrong) -> std::string {
      const std::string name = Name(setName);
      const auto now = after.folder.find(name), was = before.folder.find(name);
      if (now == after.folder.end() || now->second.bytes != wrong) return {};
      if (was != before.folder.end() && was->second == now->second) return {};
      return "P2: " + name + " now holds the other version";
    };
    for (const std::string& broken :
         {stored(FileSet[i].BaseCopyName, v.patched[i]), stored(FileSet[i].PatchCopyName, v.base[i])}) {
      if (!broken.empty()) return broken;
    }
  }
  if (run.crashed) return {};

  // P3
  const auto patchInFolder = [&] {
    for (size_t i = 0; i < kFiles; ++i)
      if (v.Changes(i) && Copies(after, v.patched[i]) > 0) return true;
    return false;
  };
  if (run.switched) {
    const SwitchOutcome& o = *run.switched;
    if (o.Succeeded()) {
      const auto& want = o.target == GameVersion::Base ? v.base : v.patched;
      for (size_t i = 0; i < kFiles; ++i) {
        if (!named.count(i) && Active(after, i) != want[i])
          return "P3: success, but " + Name(FileSet[i].ActiveName) + " does not hold the chosen version";
      }
    } else if (after.folder != before.folder && o.kind != SwitchKind::Stranded) {
      return "P3: the switch failed and the folder changed";
    }
    if ((o.kind == SwitchKind::BaseAlreadyActive || o.kind == SwitchKind::PatchNotInstalled) && patchInFolder())
      return "P3: \"the patch is not installed yet\", but a patched file is in the folder";
  }
  if (run.backedUp) {
    const BackupOutcome& o = *run.backedUp;
    if (o.kind == BackupKind::Done) {
      for (size_t i = 0; i < kFiles; ++i) {
        const auto it = after.folder.find(Name(FileSet[i].BaseCopyName));
        if (it == after.folder.end() || it->second.bytes != v.base[i] || Active(after, i) != v.base[i])
          return "P3: \"the backups are made\", but " + Name(FileSet[i].BaseCopyName) + " is not the base version";
      }
    }
    if (o.Succeeded()) {
      for (const BackupFile& f : o.files) {
        const size_t i = IndexOf(f.entry);
        if (f.what != BackupFinding::PatchedCopyGone && Copies(after, v.base[i]) == 0)
          return "P3: \"the backups are there\", but " + Name(f.entry->ActiveName) + " has no base version";
      }
    }
    if (o.kind == BackupKind::Failed && WithoutTemps(after.folder) != WithoutTemps(before.folder)) {
      for (const BackupFile& f : o.files) {
        if (f.what == BackupFinding::BaseGone || f.what == BackupFinding::PatchedSince)
          return "P3: nothing was to be copied, but the folder changed";
      }
    }
  }

  // P4
  if (AdvisesPatch(run.text)) {
    for (size_t i = 0; i < kFiles; ++i) {
      if (v.Changes(i) && Copies(after, v.base[i]) == 1 && Active(after, i) == v.base[i])
        return "P4: the box advises the patch, but " + Name(FileSet[i].ActiveName) + "'s only base version is active";
    }
  }
  std::vector<const char*> gone;
  if (run.switched) {
    for (const SwitchFile& f : run.switched->files) if (f.gone) gone.push_back(f.gone);
  }
  if (run.backedUp) {
    for (const BackupFile& f : run.backedUp->files) if (f.gone) gone.push_back(f.gone);
  }
  for (const char* name : gone) {
    if (!after.quarantine.count(Name(name)))
      return "P4: the box says " + Name(name) + " is gone, but the scanner does not hold it";
  }
  return {};
}

// Under the set's names: a version left only in a killed backup's temporary
// copy is the box's to name, not the player's to switch to.
bool BothVersionsInFolder(const World& w, const Versions& v) {
  for (size_t i = 0; i < kFiles; ++i) {
    for (const std::string* bytes : {&v.base[i], &v.patched[i]}) {
      bool found = false;
      for (const char* name : {FileSet[i].ActiveName, FileSet[i].BaseCopyName, FileSet[i].PatchCopyName}) {
        const auto it = w.folder.find(Name(name));
        found = found || (it != w.folder.end() && it->second.bytes == *bytes);
      }
      if (!found) return false;
    }
  }
  return true;
}

bool Switches(const World& w, Act act, const Versions& v, World* after = nullptr) {
  const ToolRun run = RunTool(w, act, v);
  if (after) *after = run.after;
  return run.applies && run.switched->Succeeded();
}

bool BothSwitchesWork(const World& w, const Versions& v) {
  // The switches see only the folder: one answer a folder.
  static std::unordered_map<std::string, bool> known;
  const std::string key = w.Key();
  if (const auto it = known.find(key); it != known.end()) return it->second;
  World base, patched;
  return known[key] = Switches(w, Act::ToBase, v, &base) && Switches(w, Act::ToPatched, v, &patched) &&
         Switches(base, Act::ToPatched, v) && Switches(patched, Act::ToBase, v);
}

// P5: a player who presses what the face offers, and tries the other version
// when one is refused, reaches a folder where both switches work.
std::string DeadEnd(World w, const Versions& v) {
  for (int runs = 0; runs < 4; ++runs) {
    if (BothSwitchesWork(w, v)) return {};
    World probe = w;
    if (StartFace(probe) == Face::FirstRun) {
      w = RunTool(w, Act::Ok, v).after;
      continue;
    }
    // A box that says a scanner may hold a stored copy: the player restores it.
    const std::string said = RunTool(w, Act::ToBase, v).text + RunTool(w, Act::ToPatched, v).text;
    if (!w.quarantine.empty() && said.find("karanténba") != std::string::npos) {
      if (const std::optional<World> restored = PlayerMove(w, {Act::Restore}, v)) {
        w = *restored;
        continue;
      }
    }
    World next;
    if (Switches(w, Act::ToBase, v, &next) || Switches(w, Act::ToPatched, v, &next)) {
      w = next;
      continue;
    }
    return "P5: both versions are in the folder, and both switches are refused";
  }
  return BothSwitchesWork(w, v) ? std::string() : "P5: four runs of the tool do not make both switches work";
}

// P6: the start and the operations read the folder alike.
std::string Disagreement(const World& w, const Versions& v) {
  World probe = w;
  if (StartFace(probe) == Face::Choice) {
    for (Act act : {Act::ToBase, Act::ToPatched}) {
      const ToolRun run = RunTool(w, act, v);
      for (const SwitchFile& f : run.switched->files) {
        if (f.what == SwitchFinding::BackupMissing) return "P6: the version choice is offered, the switch wants a backup";
      }
    }
  } else if (probe.flag == Flag::One) {
    const ToolRun run = RunTool(w, Act::Ok, v);
    if (!run.backedUp->asked) return "P6: the first-run face is back, the backup has nothing to resume";
  }
  return {};
}

bool HasUnsettledNames(const World& w) {
  MemoryFolder ops(kGameDir, w.folder);
  for (const FileVerdict& f : ReadVerdicts(ops, kGameDir)) {
    if (f.verdict == Verdict::Contradictory || f.verdict == Verdict::EmptyCopy) return true;
  }
  return false;
}

// ------------------------------------------------------------------ the walk

struct Node {
  World world;
  int parent;
  Move move;
  int depth;
};

struct Walk {
  std::vector<Node> nodes;
  std::unordered_map<std::string, int> seen;
  uint64_t histories = 0, crashPoints = 0, toolSteps = 0;
  std::vector<std::string> failures;

  std::string History(int node, const Move* last = nullptr) const {
    std::vector<std::string> steps;
    if (last) steps.push_back(Describe(*last));
    for (int n = node; n > 0; n = nodes[n].parent) steps.push_back(Describe(nodes[n].move));
    std::string text = "fresh install";
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) text += "\n  then " + *it;
    return text;
  }
  void Fail(const std::string& what, int node, const Move* last, const std::string& box) {
    if (failures.size() < 5) failures.push_back(what + "\n" + History(node, last) + "\nbox: " + box);
  }
  void Visit(const World& w, int parent, const Move& m, int depth) {
    const std::string key = w.Key();
    if (seen.count(key)) return;
    seen.emplace(key, static_cast<int>(nodes.size()));
    nodes.push_back({w, parent, m, depth});
  }
};

std::vector<Move> MovesFrom(const World& w) {
  std::vector<Move> moves = {{Act::Ok}, {Act::ToBase}, {Act::ToPatched}, {Act::PatchArchive}, {Act::PatchFresh},
                             {Act::Reinstall}};
  // The scanner comes after a whole backup: a partial one, the patch against
  // the tool's word and the only stored copy taken leave a folder that looks
  // untouched, and nothing in it tells the tool otherwise.
  if (w.quarantine.empty() && w.flag == Flag::One) {
    for (const FileSetEntry& e : FileSet) {
      for (const char* stored : {e.BaseCopyName, e.PatchCopyName}) {
        if (w.folder.count(Name(stored))) moves.push_back({Act::Quarantine, Name(stored)});
      }
    }
  } else {
    moves.push_back({Act::Restore});
  }
  return moves;
}

// P5 and P6 for the folder a node holds.
void CheckFolder(const Versions& v, int here, Walk& walk) {
  const World& w = walk.nodes[here].world;
  if (BothVersionsInFolder(w, v) && !HasUnsettledNames(w)) {
    if (const std::string dead = DeadEnd(w, v); !dead.empty()) walk.Fail(dead, here, nullptr, "");
  }
  if (const std::string odd = Disagreement(w, v); !odd.empty()) walk.Fail(odd, here, nullptr, "");
}

// Every move from a node's folder, and every crash point of the tool's:
// the tool's steps are checked, the folders they lead to returned.
std::vector<std::pair<World, Move>> Successors(const Versions& v, int here, Walk& walk) {
  const World w = walk.nodes[here].world;
  std::vector<std::pair<World, Move>> next;
  for (const Move& m : MovesFrom(w)) {
    ++walk.histories;
    if (m.act != Act::Ok && m.act != Act::ToBase && m.act != Act::ToPatched) {
      if (const std::optional<World> after = PlayerMove(w, m, v)) next.emplace_back(*after, m);
      continue;
    }
    const ToolRun full = RunTool(w, m.act, v);
    if (!full.applies) continue;
    ++walk.toolSteps;
    if (const std::string broken = BrokenPromise(w, full, v); !broken.empty()) walk.Fail(broken, here, &m, full.text);
    next.emplace_back(full.after, m);
    for (size_t k = 0; k < full.crashes.size(); ++k) {
      Move crash = m;
      crash.crashAfter = static_cast<int>(k + 1);
      // The box it would have shown names the same files.
      ToolRun cut = full;
      cut.after = full.crashes[k];
      cut.crashed = true;
      ++walk.crashPoints;
      if (const std::string broken = BrokenPromise(w, cut, v); !broken.empty())
        walk.Fail(broken, here, &crash, "(none: the machine stopped)");
      next.emplace_back(cut.after, crash);
    }
  }
  return next;
}

// Every history up to maxDepth moves, each distinct folder once.
void Explore(const Versions& v, int maxDepth, Walk& walk) {
  walk.Visit(FreshInstall(v), -1, {Act::Ok}, 0);
  for (size_t n = 0; n < walk.nodes.size(); ++n) {
    const int here = static_cast<int>(n);
    CheckFolder(v, here, walk);
    if (walk.nodes[n].depth == maxDepth) continue;
    for (const auto& [world, move] : Successors(v, here, walk)) walk.Visit(world, here, move, walk.nodes[n].depth + 1);
  }
}

// Beyond: seeded random histories of `length` moves, crash points included.
void Sample(const Versions& v, int walks, int length, Walk& walk) {
  std::mt19937 random(20261207);
  for (int i = 0; i < walks; ++i) {
    int here = 0;
    for (int step = 0; step < length; ++step) {
      const std::vector<std::pair<World, Move>> next = Successors(v, here, walk);
      if (next.empty()) break;
      const auto& [world, move] = next[std::uniform_int_distribution<size_t>(0, next.size() - 1)(random)];
      walk.nodes.push_back({world, here, move, step + 1});
      here = static_cast<int>(walk.nodes.size() - 1);
      CheckFolder(v, here, walk);
    }
  }
}

void WalkEveryHistory(unsigned leftAlone) {
  const Versions versions = MakeVersions(leftAlone);
  Walk walk;
  Explore(versions, 5, walk);
  const size_t distinct = walk.nodes.size();
  Sample(versions, 200, 12, walk);
  std::cout << "player world: every history of 5 moves (" << distinct << " distinct folders) and 200 random ones of "
            << "12: " << walk.histories << " moves tried, " << walk.toolSteps << " runs of the tool, "
            << walk.crashPoints << " crash points\n";
  for (const std::string& failure : walk.failures) ADD_FAILURE() << failure;
}

TEST(PlayerWorld, EveryHistoryKeepsThePromisesWhereThePatchLeavesOneFileAlone) { WalkEveryHistory(1u << 2); }

// The .bh files all alone: a backup that stopped after them looks whole
// until the .big files show the patch.
TEST(PlayerWorld, EveryHistoryKeepsThePromisesWhereThePatchLeavesTheBhFilesAlone) { WalkEveryHistory(0x7u); }

}  // namespace
