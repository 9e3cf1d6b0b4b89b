#include "fileset/version_switch.h"

#include <vector>

#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

struct RenameStep {
  const char* from;
  const char* to;
};

// The fourteen renames in the order they are made: the active files go to
// the stored names of the version being put away first, so that every
// ActiveName is free before the other version's stored files take it.
std::vector<RenameStep> PlanSwitch(GameVersion target) {
  std::vector<RenameStep> steps;
  steps.reserve(FileSet.size() * 2);
  for (const FileSetEntry& e : FileSet) {
    steps.push_back({e.ActiveName, target == GameVersion::Base ? e.PatchCopyName : e.BaseCopyName});
  }
  for (const FileSetEntry& e : FileSet) {
    steps.push_back({target == GameVersion::Base ? e.BaseCopyName : e.PatchCopyName, e.ActiveName});
  }
  return steps;
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

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ", ";
    out += n;
  }
  return out;
}

// Tests every rename before any is made: each source must be a file and each
// target of the first seven must be free (the last seven's targets are the
// ActiveNames that the first seven free). Empty when all can happen.
std::string CheckPlan(FileOps& ops, const std::string& gameDir, const std::vector<RenameStep>& steps) {
  const PathProbe folder = ops.Probe(gameDir);
  if (folder.kind == EntryKind::Missing || folder.kind == EntryKind::File) {
    return "A játék mappája nem található: " + gameDir + "\n";
  }
  if (folder.kind == EntryKind::Unknown) {
    return "A játék mappája nem érhető el: " + gameDir + " (" + folder.reason + ")\n";
  }

  std::vector<std::string> missing, blocking, unknown;
  const size_t half = steps.size() / 2;
  for (size_t i = 0; i < steps.size(); ++i) {
    const PathProbe source = ops.Probe(gameDir + steps[i].from);
    if (source.kind == EntryKind::Unknown) {
      unknown.push_back(ShownName(steps[i].from) + " (" + source.reason + ")");
    } else if (source.kind != EntryKind::File) {
      missing.push_back(ShownName(steps[i].from));
    }
    if (i < half) {
      const PathProbe dest = ops.Probe(gameDir + steps[i].to);
      if (dest.kind == EntryKind::Unknown) {
        unknown.push_back(ShownName(steps[i].to) + " (" + dest.reason + ")");
      } else if (dest.kind != EntryKind::Missing) {
        blocking.push_back(ShownName(steps[i].to));
      }
    }
  }
  std::string problems;
  if (!missing.empty()) problems += "Hiányzó file-ok a Game mappában: " + JoinNames(missing) + ".\n";
  if (!blocking.empty()) problems += "Már létező, útban lévő file-ok: " + JoinNames(blocking) + ".\n";
  if (!unknown.empty()) problems += "Nem ellenőrizhető file-ok: " + JoinNames(unknown) + ".\n";
  return problems;
}

}  // namespace

SwitchResult VersionSwitch(FileOps& ops, const std::string& gameDir, GameVersion target) {
  const std::string unusable = GameDirProblem(gameDir);
  if (!unusable.empty()) return {false, Headline(target) + unusable + kNothingChanged};
  // The marker names the version that is stored, hence not active.
  const char* marker = target == GameVersion::Base ? PatchStoredMarker : BaseStoredMarker;
  if (ops.Exists(gameDir + marker)) return {true, Applied(target)};

  const std::vector<RenameStep> steps = PlanSwitch(target);
  const std::string problems = CheckPlan(ops, gameDir, steps);
  if (!problems.empty()) return {false, Headline(target) + problems + kNothingChanged};

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
    const FileStatus undo = ops.Rename(gameDir + s.to, gameDir + s.from);
    if (!undo) {
      stranded.push_back(ShownName(s.to) + ", eredeti neve: " + ShownName(s.from) + " (" + undo.reason + ")");
    }
  }
  if (stranded.empty()) {
    text += "Az addigi átnevezések visszavonva. ";
    text += kNothingChanged;
    text += "\nZárd be a játékot és minden programot, amely a file-jait használhatja, majd próbáld újra!";
    return {false, text};
  }
  text += "A visszaállítás sem sikerült teljesen. Ezek a file-ok most más néven vannak a Game mappában:\n";
  for (const std::string& line : stranded) text += line + "\n";
  text += "A többi file a helyén van. Nevezd vissza kézzel a fenti file-okat az eredeti nevükre, ebben a "
          "sorrendben!";
  return {false, text};
}
