// The player's world as a model that believes nothing the tool says. Per
// file a base and a patched content (the patch leaves some files alone, and
// may keep a changed file's size); the player's moves (see Act), a crash
// after every single change the tool makes, and any single operation of the
// tool refused. The model keeps its own account of which content sits under
// which name, the account the promises (promises.h) are judged from.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fileset/act/first_run_backup.h"
#include "fileset/act/version_switch.h"
#include "fileset/decide/file_set.h"
#include "support/memory_folder.h"

namespace player_world {

inline const std::string kGameDir = MakeGameDir("C:\\VONU11");
constexpr int64_t kBaseDate = 1000000000, kPatchDate = 1100000000;
constexpr size_t kFiles = FileSet.size();

inline std::string Name(const char* setName) { return ShownName(setName); }
inline std::string ActiveName(size_t i) { return Name(FileSet[i].ActiveName); }
inline std::string BaseCopyName(size_t i) { return Name(FileSet[i].BaseCopyName); }
inline std::string PatchCopyName(size_t i) { return Name(FileSet[i].PatchCopyName); }
inline std::string Temp(size_t i) { return Name(FileSet[i].TempName); }
inline size_t IndexOf(const FileSetEntry* e) { return static_cast<size_t>(e - FileSet.data()); }
// A file's four names: active, both stored copies, and a killed backup's temporary copy.
inline std::array<std::string, 4> NamesOf(size_t i) { return {ActiveName(i), BaseCopyName(i), PatchCopyName(i), Temp(i)}; }

// The first file of the set that `holds` is true of; whether some is, or every one.
template <class F> std::optional<size_t> FirstFile(F holds) {
  for (size_t i = 0; i < kFiles; ++i) {
    if (holds(i)) return i;
  }
  return std::nullopt;
}
template <class F> bool SomeFile(F holds) { return FirstFile(holds).has_value(); }
template <class F> bool EveryFile(F holds) { return !FirstFile([&](size_t i) { return !holds(i); }); }

// Each file's two versions: `leftAlone` has a bit for each file the patch
// does not change, `keepsSize` one for each it rewrites in the same size.
struct Versions {
  std::array<std::string, kFiles> base, patched;
  bool Changes(size_t i) const { return base[i] != patched[i]; }
  // The tool takes files of one size for one version: where the patch keeps
  // the size, it cannot tell them apart.
  bool Shows(size_t i) const { return base[i].size() != patched[i].size(); }
  const std::array<std::string, kFiles>& Of(GameVersion version) const { return version == GameVersion::Base ? base : patched; }
};

inline Versions MakeVersions(unsigned leftAlone, unsigned keepsSize) {
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
  std::string Active(size_t i) const { return Bytes(ActiveName(i)); }
  // Under a name of the set, a killed backup's temporary copy aside.
  bool Holds(const std::string& bytes) const {
    const auto holds = [&](const auto& named) { return named.second.bytes == bytes && named.first.find("mrvtmp") == std::string::npos; };
    return std::any_of(folder.begin(), folder.end(), holds);
  }
  // The copies of `bytes` in the folder and where its links lead.
  int Copies(const std::string& bytes) const {
    int n = 0;
    for (const auto& [name, f] : folder) n += f.bytes == bytes;
    for (const auto& [name, content] : outside) n += content == bytes;
    return n;
  }
  bool StoredAny(size_t i) const { return At(BaseCopyName(i)) || At(PatchCopyName(i)); }
  // Some file is active with nothing stored.
  bool Unstored() const { return SomeFile([&](size_t i) { return At(ActiveName(i)) && !StoredAny(i); }); }
  // The flag says the backup ended, or a stored patched copy says a switch was made.
  bool Ended() const { return flag == Flag::One || SomeFile([&](size_t i) { return At(PatchCopyName(i)); }); }
  // A name the player made odd, or an empty file: either face leads to a box that names it.
  bool Odd(size_t i) const {
    const std::array<std::string, 4> names = NamesOf(i);
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return odd.count(n) || (At(n) && At(n)->bytes.empty()); });
  }
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

inline std::string Describe(const Move& m) {
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
  bool Succeeded() const { return switched ? switched->Succeeded() : backedUp->Succeeded(); }
};

Face StartFace(const World& w);
// `anyFace`: the move runs though the face hides it, as a check of what it
// would do: the window may have stood open while the folder changed.
// `lie`: the player answers untruly, which makes the account the player's word.
ToolRun RunTool(const World& before, Act act, const Versions& v, int refuse = 0, bool anyFace = false, int odd = -1,
                bool gameRunning = false, bool driveFull = false, bool lie = false, int alsoRefused = 0);
std::optional<World> PlayerMove(const World& before, const Move& m, const Versions& v);
// `code` picks the flag, then the four names' fills of each file in
// `files`; the others' state, whether the first of them lost its stored
// copy, and how far a copy's date lies from its file's (0 or 2 seconds: the
// same for the tool; 3: not) turn with it.
World MadeFolder(const Versions& v, const std::vector<size_t>& files, uint64_t code);

// The `n`th of the set's names, each in turn unreadable, a link and a folder.
inline std::pair<std::string, PathProbe> OddName(size_t n) {
  PathProbe probe;
  probe.kind = n % 3 == 2 ? EntryKind::Folder : n % 3 == 1 ? EntryKind::File : EntryKind::Unknown;
  probe.link = n % 3 == 1;
  probe.reason = "the drive did not answer";
  return {NamesOf(n / 12 % kFiles)[n / 3 % 4], probe};
}

// Whether the resume question lists file i among those it is about.
inline bool Listed(const std::string& question, size_t i) {
  const size_t from = question.find(":\n"), to = question.find("\n", from + 2);
  return from != std::string::npos && question.substr(from, to - from).find(ActiveName(i)) != std::string::npos;
}

// Some file the patch changes shows `version` active: it is active beside
// the other version stored.
inline bool ShowsActive(const World& w, const Versions& v, GameVersion version) {
  const bool base = version == GameVersion::Base;
  return SomeFile([&](size_t i) {
    const std::string stored = base ? PatchCopyName(i) : BaseCopyName(i);
    return v.Changes(i) && w.At(ActiveName(i)) && w.Active(i) == (base ? v.base : v.patched)[i] && w.Bytes(stored) == (base ? v.patched : v.base)[i];
  });
}

// A file with nothing stored holds `version`, and the rest of the folder
// says that version is active and none says the other: as far as the
// folder tells, its other version's copy is what is gone.
inline bool StaysUnstored(const World& w, const Versions& v, GameVersion version, size_t i) {
  const bool base = version == GameVersion::Base;
  return !w.StoredAny(i) && w.At(ActiveName(i)) && w.Active(i) == (base ? v.base : v.patched)[i] &&
         ShowsActive(w, v, version) && !ShowsActive(w, v, base ? GameVersion::Patched : GameVersion::Base);
}

// Renames alone make `target` active: each file's wanted version stands
// under its active or stored name, and the other version's stored name is
// free where the other is active. A file with nothing stored stays; for the
// patched version only where a switch was made or the backup ended:
// elsewhere the backup is not whole.
inline bool Reachable(const World& w, const Versions& v, GameVersion target) {
  const bool base = target == GameVersion::Base;
  return EveryFile([&](size_t i) {
    const std::string& wanted = base ? v.base[i] : v.patched[i];
    const bool renamable = w.Bytes(base ? BaseCopyName(i) : PatchCopyName(i)) == wanted && !w.At(base ? PatchCopyName(i) : BaseCopyName(i));
    return (w.StoredAny(i) || (StaysUnstored(w, v, target, i) && (base || w.Ended()))) &&
           (!w.At(ActiveName(i)) || w.Active(i) == wanted || renamable);
  });
}

// No patched version anywhere: the patch never came, or its files were put back.
inline bool NothingPatched(const World& w, const Versions& v) {
  return !SomeFile([&](size_t i) { return w.At(PatchCopyName(i)) || (v.Changes(i) && w.Copies(v.patched[i]) > 0); });
}

// The backup can be made whole: each file's base version is stored already,
// or is active beside its patched one stored, or where nothing is patched,
// or where the rest of the folder says the base version is active.
inline bool BackupCanBeWhole(const World& w, const Versions& v) {
  const bool unpatched = NothingPatched(w, v);
  return EveryFile([&](size_t i) {
    const bool baseActive = w.At(ActiveName(i)) && w.Active(i) == v.base[i];
    return w.Bytes(BaseCopyName(i)) == v.base[i] || (unpatched && baseActive) || StaysUnstored(w, v, GameVersion::Base, i) ||
           (v.Changes(i) && baseActive && w.Bytes(PatchCopyName(i)) == v.patched[i]);
  });
}

}  // namespace player_world
