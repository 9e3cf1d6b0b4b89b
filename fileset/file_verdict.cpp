#include "fileset/file_verdict.h"

#include <utility>

#include "fileset/game_folder.h"

namespace {

Verdict Judge(const PathProbe& active, const PathProbe& base, const PathProbe& patched) {
  const bool a = active.kind == EntryKind::File, b = base.kind == EntryKind::File,
             p = patched.kind == EntryKind::File;
  if (a && b && p) return Verdict::Contradictory;
  if (a && p) return Verdict::BaseActive;
  if (a && b) {
    if (AreTwins(active, base)) return Verdict::NotPatchedYet;
    return base.size == 0 && active.size > 0 ? Verdict::EmptyCopy : Verdict::PatchedActive;
  }
  if (a) return Verdict::NoStoredCopy;
  if (b && p) return Verdict::HalfSwitched;
  return b || p ? Verdict::Contradictory : Verdict::Missing;
}

}  // namespace

FolderVerdicts ReadVerdicts(FileOps& ops, const std::string& gameDir) {
  FolderVerdicts files;
  for (size_t i = 0; i < FileSet.size(); ++i) {
    const FileSetEntry& e = FileSet[i];
    FileVerdict& f = files[i];
    f.entry = &e;
    f.active = ops.Probe(GamePath(gameDir, e.ActiveName));
    f.base = ops.Probe(GamePath(gameDir, e.BaseCopyName));
    f.patched = ops.Probe(GamePath(gameDir, e.PatchCopyName));
    // The active name's failure is the one named, then the base copy's.
    for (const auto& [name, probe] : {std::pair{e.PatchCopyName, &f.patched}, std::pair{e.BaseCopyName, &f.base},
                                      std::pair{e.ActiveName, &f.active}}) {
      if (probe->kind == EntryKind::Unknown) f.unreadable = name, f.why = WhyUnknown(*probe);
    }
    f.verdict = f.unreadable ? Verdict::Unreadable : Judge(f.active, f.base, f.patched);
  }
  return files;
}

bool Any(const FolderVerdicts& files, Verdict verdict) {
  for (const FileVerdict& f : files) {
    if (f.verdict == verdict) return true;
  }
  return false;
}

bool All(const FolderVerdicts& files, Verdict verdict) {
  for (const FileVerdict& f : files) {
    if (f.verdict != verdict) return false;
  }
  return true;
}

bool ShowsPatch(const FolderVerdicts& files) {
  return Any(files, Verdict::BaseActive) || Any(files, Verdict::PatchedActive) || Any(files, Verdict::HalfSwitched);
}

bool BackupIncomplete(FileOps& ops, const std::string& gameDir) {
  if (GameDirProblemOf(gameDir) != GameDirProblem::None || ops.Probe(gameDir).kind != EntryKind::Other) return false;
  const FolderVerdicts files = ReadVerdicts(ops, gameDir);
  return !ShowsPatch(files) && Any(files, Verdict::NoStoredCopy);
}
