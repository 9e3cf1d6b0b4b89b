#include "fileset/decide/file_verdict.h"

#include <utility>

namespace {

bool SameSize(const PathProbe& a, const PathProbe& b) { return a.size == b.size; }

void Judge(FileVerdict& f) {
  const bool a = f.active.kind == EntryKind::File, b = f.base.kind == EntryKind::File,
             p = f.patched.kind == EntryKind::File;
  const PathProbe* stored = nullptr;
  f.empty = {a && f.active.size == 0, b && f.base.size == 0, p && f.patched.size == 0};
  if (f.empty[0] || f.empty[1] || f.empty[2]) {
    f.verdict = Verdict::Empty;
  } else if (a && b && p) {
    f.verdict = Verdict::Contradictory;
  } else if (a && p) {
    stored = &f.patched;
    f.verdict = SameSize(f.active, f.patched) ? Verdict::SameAsPatchedCopy : Verdict::BaseActive;
  } else if (a && b) {
    stored = &f.base;
    f.verdict = SameSize(f.active, f.base) ? Verdict::NotPatchedYet : Verdict::PatchedActive;
  } else if (a) {
    f.verdict = Verdict::NoStoredCopy;
  } else if (b && p) {
    f.verdict = Verdict::HalfSwitched;
  } else {
    f.verdict = b || p ? Verdict::Contradictory : Verdict::NoFile;
  }
  if (f.base.kind == EntryKind::Folder) {
    f.folderAt = FolderAt::Stored;
  } else if (f.temp.kind == EntryKind::Folder) {
    f.folderAt = FolderAt::Temp;
  } else if (f.verdict == Verdict::NoFile && f.active.kind == EntryKind::Folder) {
    f.folderAt = FolderAt::Active;
  }
  const bool sameVersion = f.verdict == Verdict::NotPatchedYet || f.verdict == Verdict::SameAsPatchedCopy;
  f.dateDiffers = sameVersion && !AreTwins(f.active, *stored);
}

}  // namespace

FileVerdict::FileVerdict() = default;
FileVerdict::FileVerdict(const FileVerdict&) = default;
FileVerdict& FileVerdict::operator=(const FileVerdict&) = default;
FileVerdict::~FileVerdict() = default;

FolderVerdicts ReadVerdicts(FileOps& ops, const std::string& gameDir) {
  FolderVerdicts files;
  for (size_t i = 0; i < FileSet.size(); ++i) {
    const FileSetEntry& e = FileSet[i];
    FileVerdict& f = files[i];
    f.entry = &e;
    f.active = ops.Probe(GamePath(gameDir, e.ActiveName));
    f.base = ops.Probe(GamePath(gameDir, e.BaseCopyName));
    f.patched = ops.Probe(GamePath(gameDir, e.PatchCopyName));
    f.temp = ops.Probe(GamePath(gameDir, e.TempName));
    if (f.temp.kind == EntryKind::File && !f.temp.link) f.tempLeft = f.temp.size == 0 ? LeftCopy::Empty : LeftCopy::Bytes;
    // The active name first, then the base copy's.
    const std::pair<const char*, const PathProbe*> names[] = {
        {e.TempName, &f.temp}, {e.PatchCopyName, &f.patched}, {e.BaseCopyName, &f.base}, {e.ActiveName, &f.active}};
    for (const auto& [name, probe] : names) {
      if (probe->kind == EntryKind::Unknown) f.unreadables.insert(f.unreadables.begin(), {name, WhyUnknown(*probe)});
      if (probe->link) f.links.insert(f.links.begin(), name);
    }
    if (!f.unreadables.empty()) {
      f.verdict = Verdict::Unreadable;
    } else if (!f.links.empty()) {
      f.verdict = Verdict::Linked;
    } else {
      Judge(f);
    }
  }
  return files;
}
