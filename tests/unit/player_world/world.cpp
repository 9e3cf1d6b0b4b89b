#include "world.h"

#include "fileset/decide/folder_rules.h"
#include "fileset/words/outcome_text.h"
#include "support/quiet.h"

namespace player_world {

class NoPc final : public PcWatch {
 public:
  bool running = false;  // the game, under its active name
  int RunningFrom(const std::vector<std::string>&) override { return running ? 0 : -1; }
  std::vector<std::string> PrivateCopyFolders(const std::string&) override { return {}; }
};

Face StartFace(const World& w) {
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

// A folder that leaves the tool no doubt: nothing odd, empty or left over
// under the set's names, each file active under its name or under both
// stored ones and never under all three, every name holding its own
// version and every file the patch changes telling which by its size.
bool Plain(const World& w, const Versions& v) {
  return !w.PlayersWord() && w.odd.empty() && EveryFile([&](size_t i) {
    const int names = !!w.At(ActiveName(i)) + !!w.At(BaseCopyName(i)) + !!w.At(PatchCopyName(i));
    return !w.Odd(i) && !w.At(Temp(i)) && names != 3 && (w.At(ActiveName(i)) || names >= 2) && (!v.Changes(i) || v.Shows(i));
  });
}

// The room the backup needs where it can be made whole: its files not stored yet.
uint64_t RoomNeeded(const World& w) {
  uint64_t bytes = 0;
  for (const FileSetEntry& e : FileSet) bytes += w.At(Name(e.BaseCopyName)) ? 0 : w.Bytes(Name(e.ActiveName)).size();
  return bytes;
}

ToolRun RunTool(const World& before, Act act, const Versions& v, int refuse, bool anyFace, int odd, bool gameRunning, bool driveFull,
                bool lie, int alsoRefused) {
  ToolRun run;
  run.after = before;
  World& w = run.after;
  if (w.flag == Flag::Missing) w.flag = Flag::Zero;
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
      const bool truth = EveryFile([&](size_t i) { return !Listed(run.question, i) || w.Active(i) == v.base[i]; });
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
    const bool ownNames = !w.renamed && EveryFile([&](size_t i) {
      return !v.Changes(i) || (w.Bytes(BaseCopyName(i)) != v.patched[i] && w.Bytes(PatchCopyName(i)) != v.base[i]);
    });
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

std::optional<World> PlayerMove(const World& before, const Move& m, const Versions& v) {
  World w = before;
  w.now += 100;
  switch (m.act) {
    case Act::Patch:
      for (size_t i = 0; i < kFiles; ++i) {
        if (v.Changes(i) && (m.files & (1u << i))) w.folder[ActiveName(i)] = {v.patched[i], {m.fresh ? w.now : kPatchDate, 0}};
      }
      return w;
    case Act::Reinstall:
      w.folderGone = false;
      for (size_t i = 0; i < kFiles; ++i) w.folder[ActiveName(i)] = {v.base[i], {w.now, 0}};
      return w;
    case Act::Quarantine:
      if (!w.At(m.name)) return std::nullopt;
      w.quarantine.insert(w.folder.extract(m.name));
      return w;
    case Act::Restore:
      if (w.quarantine.empty() || w.folder.count(w.quarantine.begin()->first)) return std::nullopt;
      w.folder.insert(w.quarantine.extract(w.quarantine.begin()));
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
    case Fill::Folder: probe.kind = EntryKind::Folder; break;
    case Fill::Link: probe.kind = EntryKind::File, probe.size = 7, probe.link = true, w.outside[name] = "outside " + name; break;
    case Fill::Unreadable: probe.kind = EntryKind::Unknown, probe.reason = "the drive did not answer"; break;
  }
  w.odd[name] = probe;
}

World MadeFolder(const Versions& v, const std::vector<size_t>& files, uint64_t code) {
  World w;
  const int64_t jitter = std::array<int64_t, 3>{0, 2, 3}[code / 7 % 3];
  const Kept others = static_cast<Kept>((code + code / 3 / kFills) % 4);
  bool unstored = code / 11 % 3 == 0;
  w.flag = static_cast<Flag>(code % 3), code /= 3;
  for (size_t i = 0; i < kFiles; ++i) {
    const MemoryFile base{v.base[i], {kBaseDate, 0}}, patched{v.patched[i], {kPatchDate, 0}};
    const MemoryFile baseCopy{v.base[i], {kBaseDate + jitter, 0}}, patchedCopy{v.patched[i], {kPatchDate + jitter, 0}};
    const bool made = std::find(files.begin(), files.end(), i) != files.end();
    for (size_t k = 0; made && k < 4; ++k, code /= kFills)
      Put(w, NamesOf(i)[k], static_cast<Fill>(code % kFills), k == 0 ? base : baseCopy, k == 0 ? patched : patchedCopy);
    // A stored name that holds the other version is a copy renamed by hand:
    // from there on, which version is where is the player's word.
    w.renamed = w.renamed || (v.Changes(i) && (w.Bytes(BaseCopyName(i)) == v.patched[i] || w.Bytes(PatchCopyName(i)) == v.base[i]));
    if (made) continue;
    w.folder[ActiveName(i)] = others == Kept::Patched ? patched : base;
    if (std::exchange(unstored, false)) continue;
    if (others == Kept::BackedUp || others == Kept::Patched) w.folder[BaseCopyName(i)] = baseCopy;
    if (others == Kept::BaseActive) w.folder[PatchCopyName(i)] = patchedCopy;
  }
  return w;
}

}  // namespace player_world
