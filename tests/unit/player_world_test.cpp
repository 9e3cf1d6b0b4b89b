// The player's world as a model that believes nothing the tool says. Per
// file a base and a patched content (the patch leaves some files alone, and
// may keep a changed file's size); the player's moves (see Act), a crash
// after every single change the tool makes, and any single operation of the
// tool refused. Every history of a few moves from a fresh install is walked,
// each distinct folder once, then seeded random longer ones. The model keeps
// its own account of which content sits under which name, and after every
// step of the tool checks:
//   P1 no step of the tool removes the last copy of a content in the folder;
//   P2 no stored name gets the other version, unless the player vouched for
//      it (OK on the first-run face over patched files, never asked);
//   P3 every box is true: a success means every active file holds the
//      chosen version, except named files whose note excuses it; every claim
//      a box makes of a file (its notes, what is gone, what holds what, a
//      refused operation and its cause) is checked against the account;
//   P4 no box advises the patch while a file's only base version is active;
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
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "fileset/file_set.h"
#include "fileset/first_run_backup.h"
#include "fileset/folder_rules.h"
#include "fileset/outcome_text.h"
#include "fileset/version_switch.h"
#include "support/box_text_check.h"
#include "support/memory_folder.h"
#include "support/quiet.h"

namespace {

const std::string kGameDir = MakeGameDir("C:\\VONU11");
constexpr int64_t kBaseDate = 1000000000, kPatchDate = 1100000000;
constexpr size_t kFiles = FileSet.size();

std::string Name(const char* setName) { return ShownName(setName); }
std::string Temp(size_t i) { return Name(FileSet[i].TempName); }
size_t IndexOf(const FileSetEntry* e) { return static_cast<size_t>(e - FileSet.data()); }
// A file's four names: active, both stored copies, and a killed backup's temporary copy.
std::array<std::string, 4> NamesOf(size_t i) {
  return {Name(FileSet[i].ActiveName), Name(FileSet[i].BaseCopyName), Name(FileSet[i].PatchCopyName), Temp(i)};
}

// Each file's two versions: `leftAlone` has a bit for each file the patch
// does not change, `keepsSize` one for each it rewrites in the same size.
struct Versions {
  std::array<std::string, kFiles> base, patched;
  bool Changes(size_t i) const { return base[i] != patched[i]; }
  // The tool takes files of one size for one version: where the patch keeps
  // the size, it cannot tell them apart.
  bool Shows(size_t i) const { return base[i].size() != patched[i].size(); }
};
Versions MakeVersions(unsigned leftAlone, unsigned keepsSize) {
  Versions v;
  for (size_t i = 0; i < kFiles; ++i) {
    v.base[i] = std::string(10 + i, static_cast<char>('a' + i));
    v.patched[i] = leftAlone & (1u << i)   ? v.base[i]
                   : keepsSize & (1u << i) ? std::string(10 + i, static_cast<char>('A' + i))
                                           : std::string(20 + i, static_cast<char>('A' + i));
  }
  return v;
}

enum class Flag { Missing, Zero, One };

struct World {
  MemoryFolder::Files folder, quarantine;
  // Names that hold what is no file of the set's: a folder, an entry the
  // system cannot read, a link; and what each link leads to outside.
  std::map<std::string, PathProbe> odd;
  std::map<std::string, std::string> outside;
  Flag flag = Flag::Missing;
  int64_t now = 1200000000;
  unsigned vouched = 0;  // files whose patched content the player backed up as base
  bool renamed = false;  // the player renamed a stored copy into its other name
  bool folderGone = false;  // the Game folder itself is gone

  // Where the tool's account of a file's versions is the player's word: the
  // tool reads each file beside the rest of the folder, so one file the
  // player vouched for or renamed colours what it makes of the others.
  bool PlayersWord() const { return renamed || vouched != 0; }

  // The same key for folders the tool cannot tell apart: dates only as
  // their order (the tool compares them, never reads them as such).
  std::string Key() const {
    std::set<int64_t> times;
    for (const auto* files : {&folder, &quarantine}) {
      for (const auto& [name, f] : *files) times.insert(f.lastWrite.seconds);
    }
    const auto rank = [&](int64_t t) { return std::to_string(std::distance(times.begin(), times.find(t))); };
    std::string key = std::to_string(static_cast<int>(flag)) + '/' + std::to_string(vouched) + (renamed ? "r" : "") + (folderGone ? "g" : "");
    for (const auto& [name, probe] : odd) key += name + '#' + std::to_string(static_cast<int>(probe.kind)) + (probe.link ? "l" : "");
    for (const auto& [name, bytes] : outside) key += name + '>' + bytes;
    for (const auto* files : {&folder, &quarantine}) {
      key += '|';
      for (const auto& [name, f] : *files) key += name + '=' + f.bytes + '@' + rank(f.lastWrite.seconds) + ';';
    }
    return key;
  }
  const MemoryFile* At(const std::string& name) const {
    const auto it = folder.find(name);
    return it == folder.end() ? nullptr : &it->second;
  }
  std::string Bytes(const std::string& name) const { return At(name) ? At(name)->bytes : "<none>"; }
  std::string Active(size_t i) const { return Bytes(Name(FileSet[i].ActiveName)); }
  // Under a name of the set, a killed backup's temporary copy aside.
  bool Holds(const std::string& bytes) const {
    const auto holds = [&](const auto& named) { return named.second.bytes == bytes && named.first.find("mrvtmp") == std::string::npos; };
    return std::any_of(folder.begin(), folder.end(), holds);
  }
  bool StoredAny(size_t i) const { return At(Name(FileSet[i].BaseCopyName)) || At(Name(FileSet[i].PatchCopyName)); }
  // Some file is active with nothing stored.
  bool Unstored() const {
    for (size_t i = 0; i < kFiles; ++i) {
      if (At(Name(FileSet[i].ActiveName)) && !StoredAny(i)) return true;
    }
    return false;
  }
  // The flag says the backup ended, or a stored patched copy says a switch was made.
  bool Ended() const {
    bool ended = flag == Flag::One;
    for (const FileSetEntry& e : FileSet) ended = ended || At(Name(e.PatchCopyName));
    return ended;
  }
  // A name the player made odd, or an empty file: either face leads to a box that names it.
  bool Odd(size_t i) const {
    for (const std::string& name : NamesOf(i)) {
      if (odd.count(name) || (At(name) && At(name)->bytes.empty())) return true;
    }
    return false;
  }
};

// Two dates the tool takes for one: two seconds apart or less.
bool Twins(const MemoryFile* a, const MemoryFile* b) {
  return a && b && a->bytes.size() == b->bytes.size() && std::abs(a->lastWrite.seconds - b->lastWrite.seconds) <= 2;
}

class NoPc final : public PcWatch {
 public:
  bool running = false;  // the game
  bool IsRunning(const std::string&) override { return running; }
  std::vector<std::string> PrivateCopyFolders(const std::string&) override { return {}; }
};

enum class Face { FirstRun, Choice };
enum class Act { Ok, ToBase, ToPatched, Patch, Reinstall, Quarantine, Restore, RenameStored, DeleteFamily, DeleteKey, FlagZero, Emptied };

struct Move {
  Act act;
  std::string name = {};  // Quarantine, RenameStored, DeleteFamily: the name or the family
  unsigned files = 0;     // Patch: the files it wrote before it stopped
  bool fresh = false;     // Patch: fresh dates instead of its archive's
  int crashAfter = -1;    // the tool's changes before the machine stopped
  int refused = 0;        // the tool's operation that another program refused
};

std::string Describe(const Move& m) {
  static const char* const kActs[] = {"OK (backup)", "Alkalmaz: Alap", "Alkalmaz: Patchelt", "install the patch", "reinstall the game",
                                      "scanner quarantines ", "scanner restores its file", "player renames ", "player deletes every ",
                                      "tool's key deleted", "flag set to 0", "a power cut empties "};
  std::string text = kActs[static_cast<int>(m.act)] + m.name;
  if (m.act == Act::Patch) text += " (files " + std::to_string(m.files) + (m.fresh ? ", fresh dates)" : ", archive dates)");
  if (m.crashAfter >= 0) text += ", crash after " + std::to_string(m.crashAfter) + " changes";
  if (m.refused > 0) text += ", operation " + std::to_string(m.refused) + " refused";
  return text;
}

// One run of the tool from its start to its box, or to the crash.
struct ToolRun {
  Face face = Face::Choice;
  bool applies = false;  // the move's button is on the face shown
  std::optional<SwitchOutcome> switched;
  std::optional<BackupOutcome> backedUp;
  std::string text;
  bool asked = false, saidYes = false;  // a question, and the player's answer
  std::string question;
  World after;
  bool crashed = false;        // a crash state: no box was shown
  std::vector<World> crashes;  // the world after each change, the machine stopping there
  int calls = 0;               // operations the tool tried
  std::string refused;         // the name of the operation refused, if it came to it
  int refusedCall = 0;         // and which of the run's operations it was
  FileStatus failure;
  std::string odd;  // a name the system could not read, a link or a folder holds
  PathProbe oddProbe;
  bool plain = false;  // from a plain folder, nothing refused or in the way, answered truly
};

Face StartFace(World& w) {
  if (w.flag == Flag::Missing) w.flag = Flag::Zero;
  MemoryFolder ops(kGameDir, w.folder);
  if (w.folderGone) ops.FolderGone();
  for (const auto& [name, probe] : w.odd) ops.Odd(name, probe);
  return BackupNeeded(ops, kGameDir, w.flag == Flag::One) ? Face::FirstRun : Face::Choice;
}

// A refusal of each kind the advice depends on in turn, whatever it meets.
FileStatus Refusal(int n) {
  static const FailureKind kKinds[] = {FailureKind::InUse, FailureKind::AccessDenied, FailureKind::DiskFull, FailureKind::FolderDenied};
  static unsigned turn = 0;
  return FileStatus::Failure("refused #" + std::to_string(n), kKinds[turn++ % 4], 32);
}

// The `n`th of the set's names, each in turn unreadable, a link and a folder.
std::pair<std::string, PathProbe> OddName(size_t n) {
  PathProbe probe;
  probe.kind = n % 3 == 2 ? EntryKind::Other : n % 3 == 1 ? EntryKind::File : EntryKind::Unknown;
  probe.link = n % 3 == 1;
  probe.reason = "the drive did not answer";
  return {NamesOf(n / 12 % kFiles)[n / 3 % 4], probe};
}

// The run made one of file i's names unreadable, a link or a folder.
bool MadeOdd(const ToolRun& run, size_t i) {
  const std::array<std::string, 4> names = NamesOf(i);
  return std::find(names.begin(), names.end(), run.odd) != names.end();
}

// Whether the resume question lists file i among those it is about.
bool Listed(const std::string& question, size_t i) {
  const size_t from = question.find(":\n"), to = question.find("\n", from + 2);
  return from != std::string::npos && question.substr(from, to - from).find(Name(FileSet[i].ActiveName)) != std::string::npos;
}

int Copies(const World& w, const std::string& bytes) {
  int n = 0;
  for (const auto& [name, f] : w.folder) n += f.bytes == bytes;
  for (const auto& [name, content] : w.outside) n += content == bytes;
  return n;
}

// The first file of the set that `holds` is true of; whether some is, or every one.
template <class F> std::optional<size_t> FirstFile(F holds) {
  for (size_t i = 0; i < kFiles; ++i) {
    if (holds(i)) return i;
  }
  return std::nullopt;
}
template <class F> bool SomeFile(F holds) { return FirstFile(holds).has_value(); }
template <class F> bool EveryFile(F holds) { return !FirstFile([&](size_t i) { return !holds(i); }); }

// File i stands under all three of its names.
bool AllThree(const World& w, size_t i) {
  return w.At(Name(FileSet[i].ActiveName)) && w.At(Name(FileSet[i].BaseCopyName)) && w.At(Name(FileSet[i].PatchCopyName));
}

// A folder that leaves the tool no doubt: nothing odd, empty or left over
// under the set's names, each file active under its name or under both
// stored ones and never under all three, every name holding its own
// version and every file the patch changes telling which by its size.
bool Plain(const World& w, const Versions& v) {
  return !w.PlayersWord() && w.odd.empty() && EveryFile([&](size_t i) {
    const FileSetEntry& e = FileSet[i];
    const int names = !!w.At(Name(e.ActiveName)) + !!w.At(Name(e.BaseCopyName)) + !!w.At(Name(e.PatchCopyName));
    return !w.Odd(i) && !w.At(Temp(i)) && names != 3 && (w.At(Name(e.ActiveName)) || names >= 2) && (!v.Changes(i) || v.Shows(i));
  });
}

// Some file the patch changes shows `version` active: it is active beside
// the other version stored.
bool ShowsActive(const World& w, const Versions& v, GameVersion version) {
  const bool base = version == GameVersion::Base;
  return SomeFile([&](size_t i) {
    const std::string stored = Name(base ? FileSet[i].PatchCopyName : FileSet[i].BaseCopyName);
    return v.Changes(i) && w.At(Name(FileSet[i].ActiveName)) && w.Active(i) == (base ? v.base : v.patched)[i] &&
           w.Bytes(stored) == (base ? v.patched : v.base)[i];
  });
}

// A file with nothing stored holds `version`, and the rest of the folder
// says that version is active and none says the other: as far as the
// folder tells, its other version's copy is what is gone.
bool StaysUnstored(const World& w, const Versions& v, GameVersion version, size_t i) {
  const bool base = version == GameVersion::Base;
  return !w.StoredAny(i) && w.At(Name(FileSet[i].ActiveName)) && w.Active(i) == (base ? v.base : v.patched)[i] &&
         ShowsActive(w, v, version) && !ShowsActive(w, v, base ? GameVersion::Patched : GameVersion::Base);
}

// Renames alone make `target` active: each file's wanted version stands
// under its active or stored name, and the other version's stored name is
// free where the other is active. A file with nothing stored stays; for the
// patched version only where a switch was made or the backup ended:
// elsewhere the backup is not whole.
bool Reachable(const World& w, const Versions& v, GameVersion target) {
  const bool base = target == GameVersion::Base;
  return EveryFile([&](size_t i) {
    const FileSetEntry& e = FileSet[i];
    const std::string& wanted = base ? v.base[i] : v.patched[i];
    const bool renamable = w.Bytes(Name(base ? e.BaseCopyName : e.PatchCopyName)) == wanted && !w.At(Name(base ? e.PatchCopyName : e.BaseCopyName));
    return (w.StoredAny(i) || (StaysUnstored(w, v, target, i) && (base || w.Ended()))) &&
           (!w.At(Name(e.ActiveName)) || w.Active(i) == wanted || renamable);
  });
}

// No patched version anywhere: the patch never came, or its files were put back.
bool NothingPatched(const World& w, const Versions& v) {
  return !SomeFile([&](size_t i) { return w.At(Name(FileSet[i].PatchCopyName)) || (v.Changes(i) && Copies(w, v.patched[i]) > 0); });
}

// The backup can be made whole: each file's base version is stored already,
// or is active beside its patched one stored, or where nothing is patched,
// or where the rest of the folder says the base version is active.
bool BackupCanBeWhole(const World& w, const Versions& v) {
  const bool unpatched = NothingPatched(w, v);
  return EveryFile([&](size_t i) {
    const FileSetEntry& e = FileSet[i];
    const bool baseActive = w.At(Name(e.ActiveName)) && w.Active(i) == v.base[i];
    return w.Bytes(Name(e.BaseCopyName)) == v.base[i] || (unpatched && baseActive) || StaysUnstored(w, v, GameVersion::Base, i) ||
           (v.Changes(i) && baseActive && w.Bytes(Name(e.PatchCopyName)) == v.patched[i]);
  });
}

// The room the backup needs where it can be made whole: its files not stored yet.
uint64_t RoomNeeded(const World& w) {
  uint64_t bytes = 0;
  for (const FileSetEntry& e : FileSet) bytes += w.At(Name(e.BaseCopyName)) ? 0 : w.Bytes(Name(e.ActiveName)).size();
  return bytes;
}

// `anyFace`: the move runs though the face hides it, as a check of what it
// would do: the window may have stood open while the folder changed.
// `lie`: the player answers untruly, which makes the account the player's word.
ToolRun RunTool(const World& before, Act act, const Versions& v, int refuse = 0, bool anyFace = false, int odd = -1,
                bool gameRunning = false, bool driveFull = false, bool lie = false, int alsoRefused = 0) {
  ToolRun run;
  run.after = before;
  World& w = run.after;
  run.face = StartFace(w);
  run.applies = (act == Act::Ok) == (run.face == Face::FirstRun) || anyFace;
  if (!run.applies) return run;
  MemoryFolder ops(kGameDir, w.folder);
  if (refuse > 0) ops.Refuse(refuse, Refusal(refuse), alsoRefused);
  if (w.folderGone) ops.FolderGone();
  run.plain = refuse == 0 && odd < 0 && !gameRunning && !driveFull && !lie && Plain(before, v);
  // Room for exactly what is to be copied is room enough.
  if (driveFull) ops.SetFree(5);
  else if (act == Act::Ok && run.plain && BackupCanBeWhole(before, v)) ops.SetFree(RoomNeeded(before));
  for (const auto& [name, probe] : w.odd) ops.Odd(name, probe);
  if (odd >= 0) {
    std::tie(run.odd, run.oddProbe) = OddName(static_cast<size_t>(odd));
    ops.Odd(run.odd, run.oddProbe);
  }
  const World started = w;
  NoPc pc;
  pc.running = gameRunning;
  if (act == Act::Ok) {
    NoGauge gauge;
    ResumeQuestion resume;
    resume.flagSaysDone = w.flag == Flag::One;
    // The player's true answer: every file the question lists holds its base version.
    resume.holdsBase = [&](const BackupOutcome& found) {
      run.asked = true, run.question = ResumeQuestionText(found);
      bool truth = true;
      for (size_t i = 0; i < kFiles; ++i) truth = truth && (!Listed(run.question, i) || w.Active(i) == v.base[i]);
      return run.saidYes = truth != lie;
    };
    unsigned vouched = 0;
    for (size_t i = 0; i < kFiles; ++i) vouched |= v.Changes(i) && w.Active(i) == v.patched[i] && !w.StoredAny(i) ? 1u << i : 0;
    run.backedUp = FirstRunBackup(ops, pc, kGameDir, gauge, 0, [&] { w.flag = Flag::One; }, resume);
    run.text = BackupText(*run.backedUp, Utc());
    // Never asked, the player's OK says the active files are the base ones.
    if (!run.asked || lie) w.vouched |= vouched;
  } else {
    // The player's true answer: a switch was cut off where every stored copy
    // holds its own name's version, as a switch leaves them.
    bool ownNames = !w.renamed;
    for (size_t i = 0; i < kFiles; ++i)
      ownNames = ownNames && (!v.Changes(i) || (w.Bytes(Name(FileSet[i].BaseCopyName)) != v.patched[i] &&
                                                w.Bytes(Name(FileSet[i].PatchCopyName)) != v.base[i]));
    const CutOffQuestion cutOff = [&](const SwitchOutcome& found) {
      run.asked = true, run.question = CutOffQuestionText(found), run.saidYes = ownNames != lie;
      return run.saidYes;
    };
    run.switched = VersionSwitch(ops, pc, kGameDir, act == Act::ToBase ? GameVersion::Base : GameVersion::Patched, cutOff);
    if (lie) w.renamed = true;
    run.text = SwitchText(*run.switched);
  }
  w.folder = ops.files();
  for (const std::string& name : ops.deletedThrough()) w.outside.erase(name);
  run.calls = ops.calls();
  run.refused = ops.refused();
  run.refusedCall = refuse;
  run.failure = ops.failure();
  for (const MemoryFolder::Files& files : ops.AfterEachChange()) {
    World& crash = run.crashes.emplace_back(started);
    crash.folder = files;
    crash.vouched = w.vouched;
    crash.renamed = w.renamed;
  }
  return run;
}

// The player's own moves.
std::optional<World> PlayerMove(const World& before, const Move& m, const Versions& v) {
  World w = before;
  w.now += 100;
  switch (m.act) {
    case Act::Patch:
      for (size_t i = 0; i < kFiles; ++i) {
        if (v.Changes(i) && (m.files & (1u << i)))
          w.folder[Name(FileSet[i].ActiveName)] = {v.patched[i], {m.fresh ? w.now : kPatchDate, 0}};
      }
      return w;
    case Act::Reinstall:
      w.folderGone = false;
      for (size_t i = 0; i < kFiles; ++i) w.folder[Name(FileSet[i].ActiveName)] = {v.base[i], {w.now, 0}};
      return w;
    case Act::Quarantine:
      if (!w.At(m.name)) return std::nullopt;
      w.quarantine[m.name] = w.folder.at(m.name);
      w.folder.erase(m.name);
      return w;
    case Act::Restore:
      if (w.quarantine.empty() || w.folder.count(w.quarantine.begin()->first)) return std::nullopt;
      w.folder.insert(*w.quarantine.begin());
      w.quarantine.clear();
      return w;
    case Act::RenameStored:
      for (const FileSetEntry& e : FileSet) {
        for (auto [from, to] : {std::pair{e.BaseCopyName, e.PatchCopyName}, std::pair{e.PatchCopyName, e.BaseCopyName}}) {
          if (Name(from) != m.name || w.At(Name(to))) continue;
          w.folder[Name(to)] = w.folder.at(m.name);
          w.folder.erase(m.name);
          // Its names now lie, and the tool, which sees only names, sizes
          // and dates, takes the rest of the folder by them too; the switch
          // names the files whose copies disagree with the rest. From here
          // on, which version is where is the player's word.
          w.renamed = true;
          return w;
        }
      }
      return std::nullopt;
    case Act::DeleteFamily:
      for (auto it = w.folder.begin(); it != w.folder.end();) it = it->first.find(m.name) != std::string::npos ? w.folder.erase(it) : std::next(it);
      return w;
    case Act::DeleteKey: w.flag = Flag::Missing; return w;
    case Act::FlagZero: w.flag = Flag::Zero; return w;
    case Act::Emptied:
      if (!w.At(m.name) || w.At(m.name)->bytes.empty()) return std::nullopt;
      w.folder[m.name].bytes.clear();
      return w;
    default: return std::nullopt;
  }
}

// ------------------------------------------------------------------ promises

bool Mentions(const std::string& text, const std::string& words) { return text.find(words) != std::string::npos; }

// A sentence that tells the player to install the patch, or to install it again.
bool AdvisesPatch(const std::string& text) {
  for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    // A sentence ends at a full stop before a space or a line's end, never inside "1.01".
    end = text.find_first_of(".!?\n", start);
    while (end != std::string::npos && text[end] == '.' && end + 1 < text.size() && text[end + 1] != ' ' && text[end + 1] != '\n')
      end = text.find_first_of(".!?\n", end + 1);
    if (end == std::string::npos) end = text.size();
    const std::string sentence = text.substr(start, end - start);
    const bool install = Mentions(sentence, "elepíts") || Mentions(sentence, "elepíth");
    if (install && !Mentions(sentence, "ne telepíts") && !Mentions(sentence, "Ne telepíts") && Mentions(sentence, "Patchet")) return true;
  }
  return false;
}

// The tool's evidence for "the same version": the same size, in another
// date; true of the file before the run.
bool SameSize(const World& w, const std::string& a, const std::string& b) {
  return w.At(a) && w.At(b) && w.At(a)->bytes.size() == w.At(b)->bytes.size();
}

// A claim that `name` is what the run made odd: unreadable, a link or a folder.
std::string OddClaim(const World& b, const ToolRun& run, const char* name, EntryKind kind, bool link) {
  const auto made = name ? b.odd.find(Name(name)) : b.odd.end();
  const bool odd = name && ((run.odd == Name(name) && run.oddProbe.kind == kind && run.oddProbe.link == link) ||
                            (made != b.odd.end() && made->second.kind == kind && made->second.link == link));
  return odd ? "" : std::string(name ? Name(name) : "?") + " is misnamed as odd";
}

// The names said to hold an empty file hold one.
std::string EmptyClaim(const World& b, const FileSetEntry& e, const std::array<bool, 3>& empty) {
  const char* names[] = {e.ActiveName, e.BaseCopyName, e.PatchCopyName};
  for (size_t k = 0; k < 3; ++k) {
    if (empty[k] && !b.Bytes(Name(names[k])).empty()) return Name(names[k]) + " is said to be empty";
  }
  return empty[0] || empty[1] || empty[2] ? "" : Name(e.ActiveName) + " is said to be empty under no name";
}

// Some file's names contradict each other: it is under all three, or one
// stored copy of it is there and it is not (a folder holds no file). A file
// with an empty, linked or unreadable name is named for that instead.
bool Contradicts(const World& w) {
  for (const FileSetEntry& e : FileSet) {
    bool named = false;
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName, e.TempName}) {
      const auto odd = w.odd.find(Name(name));
      named = named || (odd != w.odd.end() && (odd->second.kind != EntryKind::Other || odd->second.link)) ||
              (name != e.TempName && w.Bytes(Name(name)).empty());
    }
    const bool a = w.At(Name(e.ActiveName)), b = w.At(Name(e.BaseCopyName)), p = w.At(Name(e.PatchCopyName));
    if (!named && ((a && b && p) || (!a && (b != p)))) return true;
  }
  return false;
}

// "Its stored patched copy is gone", with the name it lost where the rest
// of the folder shows it, and no guess where names contradict each other.
std::string PatchedCopyGoneClaim(const World& b, const FileSetEntry& e, const char* gone) {
  const std::string active = Name(e.ActiveName), patched = Name(e.PatchCopyName);
  if (!Contradicts(b) && (!gone || Name(gone) != patched)) return active + ": the box does not name the copy that is gone";
  if (Contradicts(b) && gone) return active + ": the names contradict each other, and the box guesses what is gone";
  return b.At(patched) ? patched + " is said to be gone, and it is there" : "";
}

// A bit for each file whose stored copy alone says which version is active,
// by size: the base one (`base`) or the patched one; `odd`: with the files
// that have an odd or empty name too.
unsigned CopySays(const World& w, bool base, bool odd = false) {
  unsigned files = 0;
  for (size_t i = 0; i < kFiles; ++i) {
    const FileSetEntry& e = FileSet[i];
    const std::string says = Name(base ? e.PatchCopyName : e.BaseCopyName), free = Name(base ? e.BaseCopyName : e.PatchCopyName);
    if ((odd || !w.Odd(i)) && w.At(Name(e.ActiveName)) && w.At(says) && !w.At(free) && !SameSize(w, Name(e.ActiveName), says))
      files |= 1u << i;
  }
  return files;
}

// What the box says of one file of the switch, checked; empty when true.
// `excused` is set where the note explains why the file keeps its version.
std::string FalseSwitchClaim(const World& b, const World& a, const SwitchFile& f, const ToolRun& run, const Versions& v,
                             bool& excused) {
  excused = false;
  if (f.what == SwitchFinding::RenameFailed && (run.refused != Name(f.name) || f.status.reason != run.failure.reason))
    return "RenameFailed names " + Name(f.name) + ", the refused operation was on " + run.refused;
  if (f.what == SwitchFinding::Stranded && (!a.At(Name(f.name)) || a.Bytes(Name(f.name)) != b.Bytes(Name(f.other))))
    return Name(f.name) + " is said to hold " + Name(f.other) + "'s file";
  if (f.what == SwitchFinding::RenameFailed || f.what == SwitchFinding::Stranded) return {};
  // What the tool could not read, or found a link or a folder under.
  if (f.what == SwitchFinding::Unreadable) return OddClaim(b, run, f.name, EntryKind::Unknown, false);
  if (f.what == SwitchFinding::Linked) return OddClaim(b, run, f.name, EntryKind::File, true);
  if (f.what == SwitchFinding::FolderInTheWay) return OddClaim(b, run, f.name, EntryKind::Other, false);
  const size_t i = IndexOf(f.entry);
  const FileSetEntry& e = *f.entry;
  const std::string active = Name(e.ActiveName), base = Name(e.BaseCopyName), patched = Name(e.PatchCopyName);
  if (f.gone && a.At(Name(f.gone))) return Name(f.gone) + " is said to be gone, and it is there";
  const auto sameAs = [&](const std::string& copy) {
    return b.Bytes(active) == b.Bytes(copy) || (SameSize(b, active, copy) && !(b.At(active)->lastWrite == b.At(copy)->lastWrite));
  };
  switch (f.what) {
    case SwitchFinding::NotPatchedYet: excused = true; return sameAs(base) ? "" : active + " is said to be its base copy's version";
    case SwitchFinding::SameAsPatched: excused = true; return sameAs(patched) ? "" : active + " is said to be its patched copy's version";
    case SwitchFinding::NoStoredCopy: excused = true; return b.StoredAny(i) ? active + " is said to have nothing stored" : "";
    case SwitchFinding::BaseOverwritten: {
      // A version that is gone excuses no success: the file keeps the patch.
      // Where the patch keeps the size, the box says that it judged by the
      // size, which excuses the file it judged. Gone is from the set's
      // names: a temporary copy that holds it is named.
      excused = SameSize(b, active, patched) && !Twins(b.At(active), b.At(patched));
      const bool gone = !v.Changes(i) || (!a.Holds(v.base[i]) && (a.Bytes(Temp(i)) != v.base[i] || Mentions(run.text, Temp(i))));
      return gone || excused ? "" : active + "'s base version is said to be gone, and it is in the folder";
    }
    case SwitchFinding::BackupMissing:
    case SwitchFinding::NoBaseCopy: return b.At(base) ? active + " is said to have no stored base copy" : "";
    // Its stored patched copy is gone; that its base version is active is
    // what the rest of the folder says, a doubt the box tells.
    case SwitchFinding::PatchedCopyGone:
      excused = true;
      return PatchedCopyGoneClaim(b, e, f.gone);
    case SwitchFinding::Empty: excused = true; return EmptyClaim(b, e, f.empty);
    case SwitchFinding::Unsettled: {
      const std::array<std::string, 3> names{active, base, patched};
      for (size_t k = 0; k < 3; ++k) {
        const EntryKind kind = names[k] == run.odd          ? run.oddProbe.kind
                               : b.odd.count(names[k]) ? b.odd.at(names[k]).kind
                               : b.At(names[k])        ? EntryKind::File
                                                       : EntryKind::Missing;
        if (f.kinds[k] != kind) return "the box misstates what holds " + names[k];
      }
      return {};
    }
    // Its stored copy said which version was active, and some other file's
    // copy says the other. It excuses nothing: where the names are true, the
    // file is switched like any other.
    case SwitchFinding::SidesDisagree: {
      const bool saidBase = f.verdict == Verdict::BaseActive;
      if (!(CopySays(b, saidBase, true) & (1u << i))) return active + "'s stored copy is said to tell which version was active";
      return CopySays(b, !saidBase, true) ? "" : active + "'s stored copy is said to disagree with the rest, and none says otherwise";
    }
    default: return "a finding the in-memory folder cannot give: " + std::to_string(static_cast<int>(f.what));
  }
}

std::string FalseBackupClaim(const World& b, const World& a, const BackupFile& f, const ToolRun& run, const Versions& v) {
  const size_t i = IndexOf(f.entry);
  const FileSetEntry& e = *f.entry;
  const std::string active = Name(e.ActiveName), base = Name(e.BaseCopyName), patched = Name(e.PatchCopyName);
  if (f.gone && a.At(Name(f.gone))) return Name(f.gone) + " is said to be gone, and it is there";
  switch (f.what) {
    case BackupFinding::ToCopy: return b.At(base) ? active + " is said to have no stored base copy" : "";
    case BackupFinding::Copied: return a.Bytes(base) == b.Bytes(active) ? "" : base + " is said to be a copy of " + active;
    case BackupFinding::BaseStored:
      return !v.Changes(i) || (b.vouched & (1u << i)) || a.Bytes(base) == v.base[i] ? "" : base + " is said to hold the base version";
    case BackupFinding::SameVersionStored:
      return b.Bytes(base) == b.Bytes(active) || SameSize(b, base, active) ? "" : base + " is said to be the same as " + active;
    case BackupFinding::PatchedStored:
      return !v.Changes(i) || b.Active(i) == v.base[i] || !v.Shows(i) ? "" : active + " is said to be the base version";
    case BackupFinding::PatchedCopyGone: return PatchedCopyGoneClaim(b, e, f.gone);
    // Said to be gone only if the patch replaced it. The box says the patch
    // is installed, and where it shows: on files of their stored patched
    // copy's size, which they may be, as a file the patch leaves alone looks
    // the same as one it was installed over.
    case BackupFinding::BaseGone: {
      const bool bySize = Mentions(run.text, "amelyek megegyeznek a tárolt patchelt");
      if (bySize && !SomeFile([&](size_t j) { return SameSize(b, Name(FileSet[j].ActiveName), Name(FileSet[j].PatchCopyName)); }))
        return "the patch is said to show on files of their patched copy's size, and none is";
      if (!bySize && !SomeFile([&](size_t j) { return v.Changes(j) && b.Holds(v.patched[j]); }))
        return "the patch is said to be installed, and no patched file is in the folder";
      return b.At(base) ? active + " is said to have no stored base copy" : "";
    }
    case BackupFinding::MayHoldPatch: return run.asked && !run.saidYes ? "" : "the player did not answer no";
    case BackupFinding::TempKept:
      return b.At(Temp(i)) && !b.At(Temp(i))->bytes.empty() && !Twins(b.At(Temp(i)), b.At(active)) ? "" : Temp(i) + " is said not to be a copy of " + active;
    case BackupFinding::SourceMissing: return b.At(active) || b.odd.count(active) || run.odd == active ? active + " is said to be missing" : "";
    case BackupFinding::CopyFailed:
    case BackupFinding::TempLeft: {
      const FileStatus& why = f.what == BackupFinding::CopyFailed ? f.copy.status : f.status;
      return why.reason == run.failure.reason && !run.refused.empty() ? "" : active + " is said to have failed, unrefused";
    }
    // Said to contradict each other: under all three names, or stored and not active.
    case BackupFinding::Unsettled:
      return AllThree(b, i) || (!b.At(active) && (b.At(base) || b.At(patched))) ? "" : active + "'s names are said to contradict each other";
    case BackupFinding::Empty: return EmptyClaim(b, e, f.empty);
    case BackupFinding::Unreadable: return OddClaim(b, run, f.name, EntryKind::Unknown, false);
    case BackupFinding::Linked: return OddClaim(b, run, f.name, EntryKind::File, true);
    case BackupFinding::SourceIsFolder: return OddClaim(b, run, e.ActiveName, EntryKind::Other, false);
    case BackupFinding::StoredIsFolder: return OddClaim(b, run, e.BaseCopyName, EntryKind::Other, false);
    case BackupFinding::TempInTheWay: return OddClaim(b, run, e.TempName, EntryKind::Other, false);
    default: return "a finding the in-memory folder cannot give: " + std::to_string(static_cast<int>(f.what));
  }
}

// An earlier backup: the flag says it ended, or it left a copy under the set's names.
bool EarlierBackup(const World& w) {
  return w.flag == Flag::One || std::any_of(w.folder.begin(), w.folder.end(), [](const auto& file) { return Mentions(file.first, ".mrv"); });
}

// The patch stops the backup before its first copy: its box is about the
// files that show the patch alone.
bool StopsBackup(const BackupFile& f) { return f.what == BackupFinding::BaseGone || f.what == BackupFinding::MayHoldPatch; }
bool PatchStops(const ToolRun& run) { return run.backedUp && std::any_of(run.backedUp->files.begin(), run.backedUp->files.end(), StopsBackup); }

// What the box, or its question, owes the player, judged from the account:
// the question before a file is stored as base after an earlier backup, or
// before a switch over copies that disagree; every file it is about listed;
// a temporary copy beside a file it names, as what it is.
std::string OwedNote(const World& b, const ToolRun& run, const Versions& v) {
  const World& a = run.after;
  for (size_t i = 0; i < kFiles; ++i) {
    if (b.At(Name(FileSet[i].BaseCopyName)) || !a.At(Name(FileSet[i].BaseCopyName))) continue;
    if (run.asked && !Listed(run.question, i)) return "the question does not list " + Name(FileSet[i].ActiveName) + ", which is stored";
    if (run.backedUp && !run.asked && EarlierBackup(b)) return "a file is stored as base after an earlier backup, and nobody was asked";
  }
  // Beside a base copy stored, a file with nothing stored may hold the
  // patch by now, which the folder cannot show unless some file shows the
  // patch, and only the flag says the backup ended.
  bool switched = false, baseStored = false, shows = false;
  for (const FileSetEntry& e : FileSet) {
    switched = switched || b.At(Name(e.PatchCopyName));
    baseStored = baseStored || b.At(Name(e.BaseCopyName));
    shows = shows || (b.At(Name(e.BaseCopyName)) && b.At(Name(e.ActiveName)) && !SameSize(b, Name(e.ActiveName), Name(e.BaseCopyName)));
  }
  if (run.backedUp && run.plain && !run.asked && !switched && b.Unstored() && baseStored && (b.flag != Flag::One || !shows))
    return "a file with nothing stored is beside a stored one, and nobody was asked";
  // Where the backup ended or a switch was made, a file that shows the patch
  // says it is installed: the files with nothing stored are not asked about.
  if (run.backedUp && run.plain && run.asked && ShowsActive(b, v, GameVersion::Patched) && b.Ended())
    return "the question is asked where the folder shows the patch installed";
  if (run.backedUp && run.asked && !SomeFile([&](size_t i) { return Listed(run.question, i); })) return "the question lists no file";
  const unsigned saysBase = CopySays(b, true), saysPatched = CopySays(b, false);
  if (run.switched && saysBase && saysPatched) {
    if (a.folder != b.folder && !run.asked) return "the switch moved files whose copies disagree, and nobody was asked";
    for (size_t i = 0; run.asked && i < kFiles; ++i) {
      if (((saysBase | saysPatched) & (1u << i)) && !Mentions(run.question, Name(FileSet[i].ActiveName)))
        return "the question does not name " + Name(FileSet[i].ActiveName);
    }
  }
  // A file judged by its size alone, against another date, is named so.
  const bool read = run.switched && run.switched->kind != SwitchKind::NotReady && run.switched->kind != SwitchKind::Unreadable;
  for (size_t i = 0; read && i < kFiles; ++i) {
    const FileSetEntry& e = FileSet[i];
    const std::string active = Name(e.ActiveName), base = Name(e.BaseCopyName), patched = Name(e.PatchCopyName);
    if (b.Odd(i) || MadeOdd(run, i) || !b.At(active) || (b.At(base) != nullptr) == (b.At(patched) != nullptr)) continue;
    const std::string& copy = b.At(base) ? base : patched;
    if (SameSize(b, active, copy) && !Twins(b.At(active), b.At(copy)) && !Mentions(run.text, active + " (" + copy))
      return "the box does not say that " + active + " was judged by its size alone";
  }
  // The files the box is about: where the patch stops the backup, those that show it alone.
  const bool stopped = PatchStops(run);
  const auto about = [&](size_t i) {
    const auto of = [&](const auto& f) { return f.entry == &FileSet[i]; };
    if (run.switched) return std::any_of(run.switched->files.begin(), run.switched->files.end(), of);
    return run.backedUp && std::any_of(run.backedUp->files.begin(), run.backedUp->files.end(), [&](const BackupFile& f) {
      return of(f) && (stopped ? StopsBackup(f) : (f.Failed() && f.what != BackupFinding::TempLeft) || f.what == BackupFinding::PatchedCopyGone);
    });
  };
  // A temporary copy beside a file the box names is named too, as empty
  // where it is, unless the run removed it and made it again: then it is
  // the run's own. A name called a killed backup's copy is one.
  for (size_t i = 0; i < kFiles; ++i) {
    const MemoryFile* temp = b.At(Temp(i));
    const bool there = temp && !b.odd.count(Temp(i)) && run.odd != Temp(i);
    const std::string called = Temp(i) + " egy félbeszakadt mentés";
    if (Mentions(run.text, called) && !there) return Temp(i) + " is called a killed backup's copy, and is none";
    if (Mentions(run.text, called) && Mentions(run.text, called + " üres") != temp->bytes.empty())
      return "the box misstates whether " + Temp(i) + " is empty";
    if (!there || !Mentions(run.text, Name(FileSet[i].ActiveName)) || !about(i) || !(a.At(Temp(i)) && *a.At(Temp(i)) == *temp) ||
        std::any_of(run.crashes.begin(), run.crashes.end(), [&](const World& c) { return !c.At(Temp(i)); }))
      continue;
    if (!Mentions(run.text, Temp(i))) return "the box names " + Name(FileSet[i].ActiveName) + " and not " + Temp(i) + " beside it";
    if (temp->bytes.empty() && !Mentions(run.text, called + " üres")) return "the box does not call the empty " + Temp(i) + " empty";
  }
  // A refusal names every empty file of the set's as empty, unless a name
  // it cannot read or a link comes first.
  const bool refused = (run.switched && run.switched->kind == SwitchKind::Refused) ||
                       (run.backedUp && run.backedUp->kind == BackupKind::Failed && !run.backedUp->asked && run.refused.empty() &&
                        std::none_of(run.backedUp->files.begin(), run.backedUp->files.end(),
                                     [](const BackupFile& f) { return f.what == BackupFinding::BaseGone; }));
  for (size_t i = 0; refused && i < kFiles; ++i) {
    const FileSetEntry& e = FileSet[i];
    bool odd = MadeOdd(run, i);
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName, e.TempName}) odd = odd || b.odd.count(Name(name));
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) {
      if (!odd && b.Bytes(Name(name)).empty() && !(Mentions(run.text, "üres") && Mentions(run.text, Name(name))))
        return "the refusal does not name the empty " + Name(name);
    }
  }
  return {};
}

// P7: from a plain folder the tool does what renames and copies can do, and
// its box says where one version is active and the other stored alone.
std::string LeftUndone(const World& b, const ToolRun& run, const Versions& v) {
  // Unasked, where nothing is patched, a backup that fails on one file
  // stores the others all the same.
  const BackupOutcome* backup = run.backedUp ? &*run.backedUp : nullptr;
  if (backup && !backup->asked && backup->kind == BackupKind::Failed && run.refused.empty() && !b.PlayersWord() && NothingPatched(b, v)) {
    for (size_t i = 0; i < kFiles; ++i) {
      const FileSetEntry& e = FileSet[i];
      if (!b.Odd(i) && !b.At(Temp(i)) && !MadeOdd(run, i) && !b.StoredAny(i) && b.At(Name(e.ActiveName)) && b.Active(i) == v.base[i] &&
          run.after.Bytes(Name(e.BaseCopyName)) != v.base[i])
        return "P7: the backup failed on another file, and did not store " + Name(e.ActiveName);
    }
  }
  if (!run.plain) return {};
  if (run.switched) {
    const SwitchOutcome& o = *run.switched;
    const auto& want = o.target == GameVersion::Base ? v.base : v.patched;
    const bool reachable = Reachable(b, v, o.target);
    if (reachable && !o.Succeeded()) return "P7: renames alone make the chosen version active, and the switch did not";
    if (const auto i = FirstFile([&](size_t i) { return run.after.Active(i) != want[i]; }); i && reachable)
      return "P7: renames alone make the chosen version active, and " + Name(FileSet[*i].ActiveName) + " does not hold it";
    // Every active file of one version beside a stored copy of that version
    // alone: the base version backed up and the patch not installed, or the
    // patch installed over the base version.
    for (const bool base : {true, false}) {
      const bool alone = EveryFile([&](size_t i) {
        const FileSetEntry& e = FileSet[i];
        return b.Active(i) == (base ? v.base : v.patched)[i] && b.Bytes(Name(base ? e.BaseCopyName : e.PatchCopyName)) == b.Active(i) &&
               !b.At(Name(base ? e.PatchCopyName : e.BaseCopyName));
      });
      const SwitchKind said = base ? (o.target == GameVersion::Base ? SwitchKind::BaseAlreadyActive : SwitchKind::PatchNotInstalled)
                                   : (o.target == GameVersion::Patched ? SwitchKind::PatchedAlreadyActive : SwitchKind::Refused);
      if (alone && o.kind != said) return "P7: every file is of one version beside its stored copy alone, and the box does not say so";
    }
  }
  if (run.backedUp && BackupCanBeWhole(b, v) && !run.backedUp->Succeeded())
    return "P7: the backup can be made whole in the room it has, and was not";
  return {};
}

// The box's own words checked against the account: every size it gives
// a name of the set's is that name's, no line of it is said twice, and every
// file a refused switch lists is named by one of its names.
std::string Misworded(const World& b, const ToolRun& run) {
  for (size_t i = 0; i < kFiles; ++i) {
    for (const std::string& name : NamesOf(i)) {
      const auto odd = b.odd.find(name);
      std::optional<uint64_t> size;  // none where the name holds nothing
      if (b.At(name)) size = b.Bytes(name).size();
      if (odd != b.odd.end()) size = odd->second.size;
      if (run.odd == name) size = run.oddProbe.size;
      for (size_t at = run.text.find(name + ": "); at != std::string::npos; at = run.text.find(name + ": ", at + 1)) {
        char* end = nullptr;
        const unsigned long long said = std::strtoull(run.text.c_str() + at + name.size() + 2, &end, 10);
        if (std::string(end).rfind(" bájt", 0) == 0 && size != said) return "the box gives " + name + " a size it does not have";
      }
    }
  }
  std::set<std::string> lines;
  for (size_t from = 0, to = 0; from < run.text.size(); from = to + 1) {
    to = std::min(run.text.find('\n', from), run.text.size());
    if (to - from > 40 && !lines.insert(run.text.substr(from, to - from)).second) return "the box says a line twice";
  }
  const bool refused = run.switched && run.switched->kind == SwitchKind::Refused;
  for (const SwitchFile& f : refused ? run.switched->files : std::vector<SwitchFile>{}) {
    const auto names = f.entry ? NamesOf(IndexOf(f.entry)) : std::array<std::string, 4>{};
    if (f.entry && std::none_of(names.begin(), names.end(), [&](const std::string& n) { return Mentions(run.text, n); }))
      return "the refusal does not name " + names[0];
  }
  return {};
}

// What a step of the tool broke, empty when nothing.
std::string BrokenPromise(const World& before, const ToolRun& run, const Versions& v) {
  const World& after = run.after;
  // A patched file the player backed up as base is the player's word: a
  // killed backup's copy of it is taken for the version still active.
  const auto vouchedFor = [&](const std::string& bytes) {
    return SomeFile([&](size_t i) { return (before.vouched & (1u << i)) && bytes == v.patched[i]; });
  };
  for (const auto& [name, f] : before.folder) {
    if (!f.bytes.empty() && Copies(after, f.bytes) == 0 && !vouchedFor(f.bytes)) return "P1: the last copy of " + name + " is gone";
  }
  for (const auto& [name, bytes] : before.outside) {
    if (Copies(after, bytes) == 0) return "P1: what the link " + name + " leads to is gone";
  }
  for (size_t i = 0; i < kFiles && !after.PlayersWord(); ++i) {
    for (const auto& [setName, wrong] : {std::pair{FileSet[i].BaseCopyName, v.patched[i]}, std::pair{FileSet[i].PatchCopyName, v.base[i]}}) {
      const std::string name = Name(setName);
      if (v.Changes(i) && after.Bytes(name) == wrong && !(before.At(name) && *before.At(name) == *after.At(name)))
        return "P2: " + name + " now holds the other version";
    }
  }
  if (run.crashed) return {};
  if (const std::string unread = BoxTextProblem(run.text); !unread.empty()) return "P3: the box cannot be read whole: " + unread;
  if (const std::string owed = OwedNote(before, run, v); !owed.empty()) return "P3: " + owed;
  if (const std::string words = Misworded(before, run); !words.empty()) return "P3: " + words;

  // P3: the box's claims, file by file.
  std::set<size_t> excused;
  if (run.switched) {
    const SwitchOutcome& o = *run.switched;
    for (const SwitchFile& f : o.files) {
      // What the tool says of a file whose names the player made is the player's.
      if (f.entry && before.PlayersWord()) continue;
      bool excuses = false;
      if (const std::string lie = FalseSwitchClaim(before, after, f, run, v, excuses); !lie.empty()) return "P3: " + lie;
      if (excuses && f.entry) excused.insert(IndexOf(f.entry));
    }
    for (const SwitchFile& f : o.dateDiffers) {
      const FileSetEntry& e = *f.entry;
      const std::string copy = Name(f.verdict == Verdict::SameAsPatchedCopy ? e.PatchCopyName : e.BaseCopyName);
      if (!SameSize(before, Name(e.ActiveName), copy) || before.At(Name(e.ActiveName))->lastWrite == before.At(copy)->lastWrite)
        return "P3: " + Name(e.ActiveName) + " is said to match " + copy + " in size and not in date";
    }
    // Applied with no patched file in the folder, unless the box names every
    // file the patch changes with why it stays.
    if (o.kind == SwitchKind::Applied && o.target == GameVersion::Patched && !after.PlayersWord() &&
        !EveryFile([&](size_t i) { return !v.Changes(i) || excused.count(i); }) &&
        !SomeFile([&](size_t i) { return v.Changes(i) && Copies(before, v.patched[i]) > 0; }))
      return "P3: the patched version is said to be applied, and no patched file is in the folder";
    if (o.kind == SwitchKind::Refused && o.files.empty()) return "P3: the switch is refused, and the box names nothing in the way";
    if ((o.kind == SwitchKind::BaseAlreadyActive || o.kind == SwitchKind::PatchedAlreadyActive) && after.folder != before.folder)
      return "P3: \"nothing changed\", and the folder did";
    const auto& want = o.target == GameVersion::Base ? v.base : v.patched;
    const auto wrong = FirstFile([&](size_t i) {
      return !excused.count(i) && after.Active(i) != want[i] && (v.Shows(i) || o.target == GameVersion::Patched);
    });
    if (o.Succeeded() && wrong && !after.PlayersWord())
      return "P3: success, but " + Name(FileSet[*wrong].ActiveName) + " does not hold the chosen version";
    if (!o.Succeeded() && after.folder != before.folder && o.kind != SwitchKind::Stranded) return "P3: the switch failed and the folder changed";
    if ((o.kind == SwitchKind::BaseAlreadyActive || o.kind == SwitchKind::PatchNotInstalled) && !after.PlayersWord() &&
        SomeFile([&](size_t i) { return v.Shows(i) && after.Holds(v.patched[i]); }))
      return "P3: \"the patch is not installed yet\", but a patched file is there";
  }
  if (run.backedUp) {
    const BackupOutcome& o = *run.backedUp;
    if (run.asked && !EarlierBackup(before)) return "P3: the player is asked about an earlier backup, and there was none";
    // Without the flag and any switch, a stored base copy of another size
    // beside a file with nothing stored may be left from an older install:
    // it does not show the patch installed.
    if (o.kind == BackupKind::AlreadyPatched && !before.Ended() && before.Unstored()) return "P3: the patch is said to be installed on a stray stored copy's word";
    for (size_t k = 0; k < o.files.size() && !before.PlayersWord(); ++k) {
      if (const std::string lie = FalseBackupClaim(before, after, o.files[k], run, v); !lie.empty()) return "P3: " + lie;
    }
    // A file the patch reached before the backup resumed may be active:
    // installing the patch over it, as the box says, loses nothing.
    for (size_t i = 0; i < kFiles && o.kind == BackupKind::Done && !after.PlayersWord(); ++i) {
      const bool either = after.Active(i) == v.base[i] || after.Active(i) == v.patched[i];
      if (v.Shows(i) && (after.Bytes(Name(FileSet[i].BaseCopyName)) != v.base[i] || !either))
        return "P3: \"the backups are made\", but " + Name(FileSet[i].BaseCopyName) + " is not the base version";
    }
    if (const auto i = FirstFile([&](size_t i) { return AllThree(after, i); }); i && o.Succeeded())
      return "P3: the backup says it is done, and left " + Name(FileSet[*i].ActiveName) + " under all three names";
    if (o.kind == BackupKind::Failed && PatchStops(run) && after.folder != before.folder)
      return "P3: nothing was to be copied, but the folder changed";
  }
  // A name that cannot be read, or a link, stops either operation, and the
  // box names it, unless the patch stops the backup before its first copy.
  if (!run.odd.empty() && (run.oddProbe.kind == EntryKind::Unknown || run.oddProbe.link)) {
    if (run.switched ? run.switched->Succeeded() : run.backedUp->Succeeded()) return "P3: " + run.odd + " could not be taken at its word, and the tool went on";
    if (!PatchStops(run) && !Mentions(run.text, run.odd)) return "P3: the box does not name " + run.odd;
  }
  // A refused operation is named with its cause, never a plain success.
  if (!run.refused.empty() && !Mentions(run.text, run.failure.reason)) return "P3: " + run.refused + " was refused, and the box does not say why";
  // The folder's permissions are blamed only where its first change was refused.
  if (!run.refused.empty() && run.failure.kind == FailureKind::FolderDenied &&
      Mentions(run.text, "A Game mappa jogosultságai") != (run.refusedCall == 1))
    return "P3: " + run.refused + " was refused " + (run.refusedCall == 1 ? "first, and the folder is not blamed" : "after other changes, and the folder is blamed");

  if (const std::string undone = LeftUndone(before, run, v); !undone.empty()) return undone;

  const auto onlyBase = FirstFile([&](size_t i) { return v.Changes(i) && Copies(after, v.base[i]) == 1 && after.Active(i) == v.base[i]; });
  // Nor says the backup is made for the patch to come where every file is
  // stored and shows the patch.
  if (run.backedUp && run.backedUp->kind == BackupKind::Done && !before.Unstored() && AdvisesPatch(run.text) && !after.PlayersWord() &&
      EveryFile([&](size_t i) { return !v.Shows(i) || after.Active(i) == v.patched[i]; }))
    return "P4: the backup advises the patch, and every file shows it";
  if (onlyBase && AdvisesPatch(run.text) && !after.PlayersWord())
    return "P4: the box advises the patch, but " + Name(FileSet[*onlyBase].ActiveName) + "'s only base version is active";
  return {};
}

// Both switches from the folder, and back from where each lands, every run
// held to the promises: what the first one broke goes to `broken`.
bool BothSwitchesWork(const World& w, const Versions& v, std::string& broken) {
  // The switches see only the folder: one answer a folder of a world (the
  // worlds differ in what the patch writes to vonu.exe).
  static std::unordered_map<std::string, std::pair<bool, std::string>> known;
  const auto [it, fresh] = known.try_emplace(v.patched[6] + w.Key(), true, std::string());
  bool& work = it->second.first;
  std::string& lie = it->second.second;
  if (fresh) {
    const auto run = [&](const World& from, Act act) {
      ToolRun step = RunTool(from, act, v);
      work = work && step.applies && step.switched->Succeeded();
      if (lie.empty() && step.applies && !(lie = BrokenPromise(from, step, v)).empty())
        lie += "\n" + Describe({act}) + " (both switches tried)\nbox: " + step.text;
      return step.after;
    };
    run(run(w, Act::ToBase), Act::ToPatched);
    run(run(w, Act::ToPatched), Act::ToBase);
  }
  if (broken.empty()) broken = lie;
  return work;
}

// A box that tells what is no longer in the folder and how to get it back,
// or which names hold a file where they contradict each other, as the
// account has it (a switch cut off is for the tool to finish): what is left
// is the player's to sort out by hand.
bool SaysWhatIsGone(const ToolRun& run, const World& w) {
  // Under all three names or under none, under one stored name alone, or odd.
  const auto unsettled = [&](const FileSetEntry* e) {
    return !!w.At(Name(e->ActiveName)) == (w.At(Name(e->BaseCopyName)) && w.At(Name(e->PatchCopyName))) || w.Odd(IndexOf(e));
  };
  for (const SwitchFile& f : run.switched ? run.switched->files : std::vector<SwitchFile>{}) {
    if (f.what == SwitchFinding::BaseOverwritten || f.what == SwitchFinding::NoBaseCopy || f.what == SwitchFinding::Unreadable ||
        f.what == SwitchFinding::PatchedCopyGone || (f.what == SwitchFinding::Unsettled && unsettled(f.entry)))
      return true;
  }
  for (const BackupFile& f : run.backedUp ? run.backedUp->files : std::vector<BackupFile>{}) {
    if (f.what == BackupFinding::PatchedCopyGone || (f.what == BackupFinding::Unsettled && unsettled(f.entry)) ||
        f.what == BackupFinding::SourceMissing || f.what == BackupFinding::Unreadable || f.what == BackupFinding::BaseGone)
      return true;
  }
  return false;
}

// P5: a player who does what the face and the boxes say, and tries the other
// version when one is refused or changes nothing.
std::string DeadEnd(World w, const Versions& v) {
  std::set<std::string> seen;
  for (int runs = 0; runs < 10; ++runs) {
    // Once the player has backed up patched files as base, the tool's account
    // of the versions is the player's: the read-me tells how to start over.
    std::string broken;
    if (BothSwitchesWork(w, v, broken) || w.PlayersWord() || !broken.empty()) return broken;
    World probe = w;
    std::vector<ToolRun> runs_;
    for (Act act : StartFace(probe) == Face::FirstRun ? std::vector<Act>{Act::Ok} : std::vector<Act>{Act::ToBase, Act::ToPatched})
      runs_.push_back(RunTool(w, act, v));
    std::string said;
    bool moved = false, gone = false;
    const World start = w;
    for (const ToolRun& run : runs_) {
      // Every run on the way is held to the promises too.
      if (const std::string broken = BrokenPromise(start, run, v); !broken.empty()) return broken + "\n" + run.text;
      if (!moved && (run.switched ? run.switched->Succeeded() : run.backedUp->Succeeded()) && run.after.Key() != w.Key()) {
        w = run.after, moved = true;
      }
      said += run.text;
      gone = gone || SaysWhatIsGone(run, start);
    }
    if (moved) continue;
    // A box that says what is gone ends the way; no other comes back.
    if (!seen.insert(w.Key() + said).second) return gone ? std::string() : "P5: doing what the box says brings back the same box\n" + said;
    std::optional<World> next;
    if (!w.quarantine.empty() && Mentions(said, "karanténba")) next = PlayerMove(w, {Act::Restore}, v);
    if (!next && (Mentions(said, "elepítsd újra a játék") || Mentions(said, "újra a régi helyére") ||
                  Mentions(said, "alap változatát (például")))
      next = PlayerMove(w, {Act::Reinstall}, v);
    // Starting over: the stored copies deleted too.
    if (next && Mentions(said, "töröld a tárolt példányokat")) {
      for (const char* family : {".mrvdef", ".mrvupd"}) next = PlayerMove(*next, {Act::DeleteFamily, family}, v);
      next->renamed = false;
    }
    // Set aside what the box names as no version of the file's: an empty
    // file, a temporary copy kept, a link or a folder.
    if (!next) {
      World aside = w;
      const auto away = [&](const FileSetEntry& e, const std::array<bool, 3>& empty, std::initializer_list<const char*> names) {
        const char* three[] = {e.ActiveName, e.BaseCopyName, e.PatchCopyName};
        for (size_t k = 0; k < 3; ++k) if (empty[k]) aside.folder.erase(Name(three[k]));
        for (const char* name : names) aside.folder.erase(Name(name)), aside.odd.erase(Name(name));
      };
      for (const ToolRun& run : runs_) {
        for (const BackupFile& f : run.backedUp ? run.backedUp->files : std::vector<BackupFile>{}) {
          const FileSetEntry& e = *f.entry;
          if (f.what == BackupFinding::Empty) away(e, f.empty, {});
          if (f.what == BackupFinding::StoredIsFolder) away(e, {}, {e.BaseCopyName});
          if (f.what == BackupFinding::TempKept || f.what == BackupFinding::TempInTheWay) away(e, {}, {e.TempName});
          if (f.what == BackupFinding::SourceIsFolder) away(e, {}, {e.ActiveName});
          if (f.what == BackupFinding::Linked) away(e, {}, {f.name});
        }
        for (const SwitchFile& f : run.switched ? run.switched->files : std::vector<SwitchFile>{}) {
          if (f.what == SwitchFinding::Empty) away(*f.entry, f.empty, {});
          if (f.what == SwitchFinding::Linked || f.what == SwitchFinding::FolderInTheWay) away(FileSet[0], {}, {f.name});
        }
      }
      if (aside.Key() != w.Key()) next = aside;
    }
    if (!next && AdvisesPatch(said)) next = PlayerMove(w, {Act::Patch, "", 0x7f}, v);
    if (!next) return gone ? std::string() : "P5: nothing the box says helps\n" + said;
    w = *next;
  }
  std::string broken;
  return BothSwitchesWork(w, v, broken) ? broken : "P5: ten runs of the tool do not make both switches work";
}

// P6: the start's face against the account.
std::string WrongFace(const World& w, const Versions& v) {
  World probe = w;
  const bool firstRun = StartFace(probe) == Face::FirstRun;
  // Without its folder, the flag alone says whether the backup was made.
  if (w.folderGone && firstRun == (w.flag == Flag::One)) return "P6: without the Game folder, a face the flag does not ask for";
  if (w.PlayersWord() || w.folderGone || SomeFile([&](size_t i) { return w.Odd(i); })) return {};
  // Without the flag, the backup is asked for wherever a file has no stored
  // base copy and no switch was made: a stray copy shows no patch.
  const bool unsaved = SomeFile([&](size_t i) { return !w.At(Name(FileSet[i].BaseCopyName)); });
  const bool switched = SomeFile([&](size_t i) { return w.At(Name(FileSet[i].PatchCopyName)); });
  if (w.flag != Flag::One && firstRun != (unsaved && !switched))
    return firstRun ? "P6: the first-run face, with a switch made or nothing to back up"
                    : "P6: the version choice, without the flag and with a file not backed up";
  // Names that contradict each other: either face leads to a box that lists them.
  if (w.flag != Flag::One || SomeFile([&](size_t i) { return AllThree(w, i); })) return {};
  bool patchShows = false, patchThere = false;
  for (size_t i = 0; i < kFiles; ++i) {
    const FileSetEntry& e = FileSet[i];
    if (!v.Changes(i)) continue;
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) patchThere = patchThere || w.Bytes(Name(name)) == v.patched[i];
    // A patched file stored, or beside a stored base version, shows in its size.
    patchShows = patchShows || (v.Shows(i) && (w.Bytes(Name(e.PatchCopyName)) == v.patched[i] ||
                                               (w.Active(i) == v.patched[i] && w.Bytes(Name(e.BaseCopyName)) == v.base[i])));
  }
  // A file gone with nothing stored: either face leads to a box that names it.
  const bool nothingStored = SomeFile([&](size_t i) { return !w.StoredAny(i); });
  if (firstRun && (!nothingStored || patchShows)) return "P6: the first-run face, with nothing to back up";
  if (!firstRun && w.Unstored() && !patchThere) return "P6: the version choice, with a file not backed up";
  return {};
}

// ------------------------------------------------------------------ the walk

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
    moves.push_back({Act::Emptied, Name(FileSet[3].BaseCopyName)});
    return moves;
  }
  for (Act act : {Act::Reinstall, Act::DeleteKey, Act::FlagZero}) moves.push_back({act});
  // A stored copy renamed by hand into its other name is tried where every
  // file has a stored copy and the active files differ from them in size:
  // elsewhere a base copy under the patched name looks like the patch
  // installed over the base version, which the tool cannot tell from it.
  bool whole = true;
  for (size_t i = 0; i < kFiles; ++i) {
    whole = whole && w.StoredAny(i) && (!v.Changes(i) || w.Active(i) == v.patched[i] || w.Active(i) == v.base[i]);
    whole = whole && (!v.Shows(i) || (w.Bytes(Name(FileSet[i].BaseCopyName)) != w.Active(i) &&
                                      w.Bytes(Name(FileSet[i].PatchCopyName)) != w.Active(i)));
  }
  if (w.quarantine.empty()) {
    for (const FileSetEntry& e : FileSet) {
      for (const char* stored : {e.BaseCopyName, e.PatchCopyName}) {
        if (!w.At(Name(stored))) continue;
        moves.push_back({Act::Quarantine, Name(stored)});
        if (whole) moves.push_back({Act::RenameStored, Name(stored)});
      }
    }
  } else {
    moves.push_back({Act::Restore});
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
    if (OddName(static_cast<size_t>(odd)).second.kind == EntryKind::Other && w.At(OddName(static_cast<size_t>(odd)).first)) --odd;
    const ToolRun run = RunTool(w, m.act, v, 0, false, odd);
    const char* const kind = run.oddProbe.link ? " a link" : run.oddProbe.kind == EntryKind::Other ? " a folder" : " unreadable";
    const Move described{m.act, " with " + run.odd + kind};
    if (const std::string broken = BrokenPromise(w, run, v); !broken.empty()) walk.Fail(broken, here, &described, run.text);
    // The game running: nothing moves, and the box says so.
    const ToolRun playing = RunTool(w, m.act, v, 0, false, -1, true);
    const bool done = playing.switched ? playing.switched->Succeeded() : playing.backedUp->Succeeded();
    if (done || playing.after.folder != w.folder) walk.Fail("P3: the tool went on while the game ran", here, &m, playing.text);
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
      if (const std::string broken = BrokenPromise(w, cut, v); !broken.empty())
        walk.Fail(broken, here, &crash, "(none: the machine stopped)");
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
  for (size_t i = 0; i < kFiles; ++i) fresh.folder[Name(FileSet[i].ActiveName)] = {v.base[i], {kBaseDate, 0}};
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

// ------------------------------------------------------------ every folder

// What one name holds in a folder made up rather than reached.
enum class Fill { Nothing, Base, Patched, Empty, Folder, Link, Unreadable };
constexpr int kFills = 7;
// The six other files, each as the tool itself leaves it.
enum class Kept { Untouched, BackedUp, Patched, BaseActive };

void Put(World& w, const std::string& name, Fill fill, const MemoryFile& base, const MemoryFile& patched) {
  PathProbe probe;
  switch (fill) {
    case Fill::Nothing: return;
    case Fill::Base: w.folder[name] = base; return;
    case Fill::Patched: w.folder[name] = patched; return;
    case Fill::Empty: w.folder[name] = {"", base.lastWrite}; return;
    case Fill::Folder: probe.kind = EntryKind::Other; break;
    case Fill::Link: probe.kind = EntryKind::File, probe.size = 7, probe.link = true, w.outside[name] = "outside " + name; break;
    case Fill::Unreadable: probe.kind = EntryKind::Unknown, probe.reason = "the drive did not answer"; break;
  }
  w.odd[name] = probe;
}

// `code` picks the flag, then the four names' fills of each file in
// `files`; the others' state, whether the first of them lost its stored
// copy, and how far a copy's date lies from its file's (0 or 2 seconds: the
// same for the tool; 3: not) turn with it.
World MadeFolder(const Versions& v, const std::vector<size_t>& files, uint64_t code) {
  World w;
  const int64_t jitter = std::array<int64_t, 3>{0, 2, 3}[code / 7 % 3];
  const Kept others = static_cast<Kept>((code + code / 3 / kFills) % 4);
  bool unstored = code / 11 % 3 == 0;
  w.flag = static_cast<Flag>(code % 3), code /= 3;
  for (size_t i = 0; i < kFiles; ++i) {
    const FileSetEntry& e = FileSet[i];
    const MemoryFile base{v.base[i], {kBaseDate, 0}}, patched{v.patched[i], {kPatchDate, 0}};
    const MemoryFile baseCopy{v.base[i], {kBaseDate + jitter, 0}}, patchedCopy{v.patched[i], {kPatchDate + jitter, 0}};
    if (std::find(files.begin(), files.end(), i) != files.end()) {
      for (size_t k = 0; k < 4; ++k, code /= kFills)
        Put(w, NamesOf(i)[k], static_cast<Fill>(code % kFills), k == 0 ? base : baseCopy, k == 0 ? patched : patchedCopy);
    }
    // A stored name that holds the other version is a copy renamed by hand:
    // from there on, which version is where is the player's word.
    w.renamed = w.renamed || (v.Changes(i) && (w.Bytes(Name(e.BaseCopyName)) == v.patched[i] || w.Bytes(Name(e.PatchCopyName)) == v.base[i]));
    if (std::find(files.begin(), files.end(), i) != files.end()) continue;
    w.folder[Name(e.ActiveName)] = others == Kept::Patched ? patched : base;
    if (std::exchange(unstored, false)) continue;
    if (others == Kept::BackedUp || others == Kept::Patched) w.folder[Name(e.BaseCopyName)] = baseCopy;
    if (others == Kept::BaseActive) w.folder[Name(e.PatchCopyName)] = patchedCopy;
  }
  return w;
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
  const std::string label = "made folder " + Name(FileSet[file].ActiveName);
  for (uint64_t code = 0; code < 3 * 2401; ++code) StartFrom(v, MadeFolder(v, {file}, code), label + " #" + std::to_string(code), made++, walk);
  for (const Flag flag : {Flag::Missing, Flag::Zero, Flag::One}) {
    World gone;
    gone.flag = flag, gone.folderGone = true;
    StartFrom(v, gone, "no Game folder", made++, walk);
  }
  for (int n = 0; n < pairs; ++n) {
    const size_t other = (file + 1 + walk.random() % (kFiles - 1)) % kFiles;
    const uint64_t code = walk.random() % (3ull * 2401 * 2401);
    StartFrom(v, MadeFolder(v, {file, other}, code), label + "+" + Name(FileSet[other].ActiveName) + " #" + std::to_string(code), made++, walk);
  }
  std::cout << "player world: every folder of " << Name(FileSet[file].ActiveName)
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
TEST(PlayerWorld, EveryHistoryKeepsThePromisesWhereThePatchKeepsOneSizeAndLeavesOneFileAlone) {
  WalkEveryHistory(1u << 2, 1u << 6, 3);
}

// The patch changes every file and its size: where it comes over the base
// files, nothing in the folder holds their base versions.
TEST(PlayerWorld, EveryLifeOfTheToolKeepsThePromisesWhereThePatchChangesEveryFile) { WalkEveryHistory(0, 0, 0); }

// The .bh files all alone: a backup that stopped after them looks whole
// until the .big files show the patch.
TEST(PlayerWorld, EveryHistoryKeepsThePromisesWhereThePatchLeavesTheBhFilesAlone) { WalkEveryHistory(0x7u, 0, 3); }

}  // namespace
