#include "fileset/version_switch.h"

#include <map>
#include <optional>
#include <vector>

#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

struct RenameStep {
  const char* from;
  const char* to;
};

// What the folder's entries say about the three names of every FileSet entry.
using Probes = std::map<std::string, PathProbe>;

bool IsFile(const Probes& probes, const char* name) { return probes.at(name).kind == EntryKind::File; }

// Where one entry's versions are, as far as its names tell.
enum class Holding {
  PatchedActive,  // active file and the stored base copy
  BaseActive,     // active file and the stored patched copy
  BothStored,     // both stored, none active: a switch cut off between its halves
  ActiveOnly,     // no stored copy: the marker file speaks for it
  Unsettled,      // all three names, none, or a stored copy alone
};

Holding HoldingOf(const Probes& probes, const FileSetEntry& e) {
  const bool active = IsFile(probes, e.ActiveName);
  const bool base = IsFile(probes, e.BaseCopyName);
  const bool patch = IsFile(probes, e.PatchCopyName);
  if (active && base && !patch) return Holding::PatchedActive;
  if (active && patch && !base) return Holding::BaseActive;
  if (base && patch && !active) return Holding::BothStored;
  if (active && !base && !patch) return Holding::ActiveOnly;
  return Holding::Unsettled;
}

// The active version that the marker file's names show, if they show one.
std::optional<GameVersion> MarkerSays(const Probes& probes) {
  switch (HoldingOf(probes, MarkerEntry)) {
    case Holding::PatchedActive: return GameVersion::Patched;
    case Holding::BaseActive: return GameVersion::Base;
    default: return std::nullopt;
  }
}

// The renames still needed, in the order they are made: every active file
// that must be put away comes first, so that its ActiveName is free before
// the chosen version's stored copy takes it; both halves in FileSet order.
std::vector<RenameStep> PlanSwitch(const Probes& probes, GameVersion target) {
  const std::optional<GameVersion> marker = MarkerSays(probes);
  std::vector<RenameStep> putAway, bringIn;
  for (const FileSetEntry& e : FileSet) {
    const char* wanted = target == GameVersion::Base ? e.BaseCopyName : e.PatchCopyName;
    const char* other = target == GameVersion::Base ? e.PatchCopyName : e.BaseCopyName;
    std::optional<GameVersion> active;
    switch (HoldingOf(probes, e)) {
      case Holding::PatchedActive: active = GameVersion::Patched; break;
      case Holding::BaseActive: active = GameVersion::Base; break;
      case Holding::ActiveOnly: active = marker; break;
      case Holding::BothStored: bringIn.push_back({wanted, e.ActiveName}); continue;
      case Holding::Unsettled: continue;
    }
    if (active == target) continue;
    // With no stored copy of the chosen version the check names it missing.
    putAway.push_back({e.ActiveName, other});
    bringIn.push_back({wanted, e.ActiveName});
  }
  putAway.insert(putAway.end(), bringIn.begin(), bringIn.end());
  return putAway;
}

// The backup's twins and nothing stored for the patch: the 1.01 patch has not
// been installed over the active files yet.
bool PatchNotInstalled(const Probes& probes) {
  for (const FileSetEntry& e : FileSet) {
    const PathProbe& active = probes.at(e.ActiveName);
    const PathProbe& base = probes.at(e.BaseCopyName);
    if (active.kind != EntryKind::File || base.kind != EntryKind::File || IsFile(probes, e.PatchCopyName)) {
      return false;
    }
    if (active.size != base.size || !(active.lastWrite == base.lastWrite)) return false;
  }
  return true;
}

std::string Applied(GameVersion target) {
  return target == GameVersion::Base ? "Alap VONU11 (v1.0) file-ok alkalmazva."
                                     : "Patchelt VONU11 (v1.01) file-ok alkalmazva.";
}

std::string Headline(GameVersion target) {
  return target == GameVersion::Base ? "Az alap VONU11 (v1.0) file-ok alkalmazása nem sikerült!\n"
                                     : "A patchelt VONU11 (v1.01) file-ok alkalmazása nem sikerült!\n";
}

const char kNothingChanged[] = "Semmi sem változott, minden file a helyén maradt.";
const char kBaseStillActive[] =
    "Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott.\n"
    "A Vonu11 1.01 Patch még nincs telepítve. Ha patchelt Vonuval is szeretnél játszani, most telepítsd a "
    "Patchet, majd futtasd újra ezt a programot!";
const char kPatchNotInstalled[] =
    "A Vonu11 1.01 Patch még nincs telepítve: a Game mappában az alap file-ok aktívak, mellettük a biztonsági "
    "mentésük, patchelt file-ok még nincsenek.\n"
    "Telepítsd a Vonu11 1.01 Patchet, majd futtasd újra ezt a programot, és válaszd a patchelt változatot!\n";

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ", ";
    out += n;
  }
  return out;
}

// What each of an entry's three names holds, for an entry whose names do
// not tell where its versions are.
std::string Found(const Probes& probes, const FileSetEntry& e) {
  std::vector<std::string> present, folders, absent;
  for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) {
    const EntryKind kind = probes.at(name).kind;
    (kind == EntryKind::File ? present : kind == EntryKind::Other ? folders : absent).push_back(ShownName(name));
  }
  std::string out = ShownName(e.ActiveName) + ": ";
  std::string sep;
  if (!present.empty()) out += sep + "megvan: " + JoinNames(present), sep = "; ";
  if (!folders.empty()) out += sep + "mappa: " + JoinNames(folders), sep = "; ";
  if (!absent.empty()) out += sep + "hiányzik: " + JoinNames(absent);
  return out + "\n";
}

// Tests every rename of the plan before any is made: each source must be a
// file, and each target must be free or freed by an earlier rename.
std::string CheckPlan(const Probes& probes, const std::vector<RenameStep>& steps) {
  std::vector<std::string> missing, blocking;
  for (size_t i = 0; i < steps.size(); ++i) {
    const PathProbe& source = probes.at(steps[i].from);
    if (source.kind == EntryKind::Other) {
      missing.push_back(ShownName(steps[i].from) + " (ezen a néven mappa van)");
    } else if (source.kind != EntryKind::File) {
      missing.push_back(ShownName(steps[i].from));
    }
    bool freed = false;
    for (size_t k = 0; k < i; ++k) freed = freed || std::string(steps[k].from) == steps[i].to;
    const PathProbe& dest = probes.at(steps[i].to);
    if (!freed && dest.kind != EntryKind::Missing) {
      blocking.push_back(ShownName(steps[i].to) + (dest.kind == EntryKind::Other ? " (mappa)" : ""));
    }
  }
  std::string problems;
  if (!missing.empty()) problems += "Hiányzó file-ok a Game mappában: " + JoinNames(missing) + ".\n";
  if (!blocking.empty()) problems += "Már létező, útban lévő file-ok: " + JoinNames(blocking) + ".\n";
  return problems;
}

// What to do about a rename that failed, by what made it fail.
std::string Advice(FailureKind kind) {
  switch (kind) {
    case FailureKind::ReadOnlyDrive:
      return "A játék meghajtója nem írható (írásvédett vagy csak olvasható). Tedd írhatóvá, majd próbáld újra!";
    case FailureKind::NameTooLong:
      return "A file teljes neve a mappával együtt túl hosszú a Windows számára. Helyezd a játékot rövidebb "
             "nevű mappába, majd próbáld újra!";
    case FailureKind::AccessDenied:
      return "Zárd be a játékot és minden programot, amely a file-jait használhatja! Ha ez sem segít, nincs "
             "jogod átnevezni a Game mappa file-jait: futtasd ezt a programot rendszergazdaként!";
    default:
      return "Zárd be a játékot és minden programot, amely a file-jait használhatja, majd próbáld újra!";
  }
}

}  // namespace

SwitchResult VersionSwitch(FileOps& ops, const std::string& gameDir, GameVersion target) {
  const std::string unusable = GameDirProblem(gameDir);
  if (!unusable.empty()) return {false, Headline(target) + unusable + kNothingChanged};
  const PathProbe folder = ops.Probe(gameDir);
  if (folder.kind == EntryKind::Missing || folder.kind == EntryKind::File) {
    return {false, Headline(target) + "A játék mappája nem található: " + gameDir + "\n" + kNothingChanged};
  }
  if (folder.kind == EntryKind::Unknown) {
    return {false, Headline(target) + "A játék mappája nem érhető el: " + gameDir + " (" + folder.reason + ")\n" +
                       kNothingChanged};
  }

  // Every decision below reads these entries and nothing else.
  Probes probes;
  std::vector<std::string> unknown;
  for (const FileSetEntry& e : FileSet) {
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) {
      const PathProbe& probe = probes[name] = ops.Probe(gameDir + name);
      if (probe.kind == EntryKind::Unknown) unknown.push_back(ShownName(name) + " (" + probe.reason + ")");
    }
  }
  if (!unknown.empty()) {
    return {false, Headline(target) + "Nem ellenőrizhető file-ok: " + JoinNames(unknown) + ".\n" + kNothingChanged};
  }

  if (PatchNotInstalled(probes)) {
    if (target == GameVersion::Base) return {true, kBaseStillActive};
    return {false, Headline(target) + kPatchNotInstalled + kNothingChanged};
  }

  // Files whose names settle nothing are left alone, and so is everything
  // else then; the box names every problem at once.
  std::string unsettled;
  for (const FileSetEntry& e : FileSet) {
    if (HoldingOf(probes, e) == Holding::Unsettled) unsettled += Found(probes, e);
  }
  const std::vector<RenameStep> steps = PlanSwitch(probes, target);
  std::string problems = CheckPlan(probes, steps);
  if (!unsettled.empty()) {
    problems += "Ezeknél a file-oknál a nevekből nem derül ki, melyik változat hol van:\n" + unsettled +
                "Minden file egyik változata az eredeti nevén, a másik a tárolt (mrvdef vagy mrvupd) nevén legyen "
                "meg. Tedd félre a fölösleges, pótold a hiányzó file-okat, majd próbáld újra!\n";
  }
  if (!problems.empty()) return {false, Headline(target) + problems + kNothingChanged};
  if (steps.empty()) return {true, Applied(target)};

  size_t done = 0;
  FileStatus failure;
  for (; done < steps.size(); ++done) {
    failure = ops.Rename(gameDir + steps[done].from, gameDir + steps[done].to);
    if (!failure) break;
  }
  if (done == steps.size()) return {true, Applied(target)};

  std::string text = Headline(target) + "A " + ShownName(steps[done].from) + " átnevezése " +
                     ShownName(steps[done].to) + " névre nem sikerült: " + failure.reason + "\n";

  // Undo newest first, so that each ActiveName is free again before the file
  // that held it comes back. Keep going past a failed undo: every file put
  // back is one fewer for the user to rename by hand. The stranded files are
  // listed in the same order, the order in which renaming them back works.
  std::vector<std::string> stranded;
  while (done > 0) {
    --done;
    const RenameStep& s = steps[done];
    const FileStatus undo = ops.RenameBack(gameDir + s.to, gameDir + s.from);
    if (!undo) {
      stranded.push_back(ShownName(s.to) + ", eredeti neve: " + ShownName(s.from) + " (" + undo.reason + ")");
    }
  }
  if (stranded.empty()) {
    text += "Az addigi átnevezések visszavonva. ";
    text += kNothingChanged;
    text += "\n" + Advice(failure.kind);
    return {false, text};
  }
  text += "A visszaállítás sem sikerült teljesen. Ezek a file-ok most más néven vannak a Game mappában:\n";
  for (const std::string& line : stranded) text += line + "\n";
  text += "A többi file a helyén van. Nevezd vissza kézzel a fenti file-okat az eredeti nevükre, ebben a "
          "sorrendben!";
  return {false, text};
}
