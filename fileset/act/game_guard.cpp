#include "fileset/act/game_guard.h"

#include "fileset/decide/file_set.h"

namespace {
const FileSetEntry& kGameExe = FileSet.back();
}

Obstacle FindObstacle(PcWatch& pc, FileOps& ops, const std::string& gameDir) {
  Obstacle found;
  const char* const exeNames[] = {kGameExe.ActiveName, kGameExe.BaseCopyName, kGameExe.PatchCopyName};
  std::vector<std::string> exePaths;
  for (const char* name : exeNames) exePaths.push_back(GamePath(gameDir, name));
  const int running = pc.RunningFrom(exePaths);
  if (running >= 0) {
    found.kind = Obstacle::Kind::GameRunning;
    found.exe = ShownName(exeNames[running]);
    return found;
  }
  for (const std::string& privateDir : pc.PrivateCopyFolders(gameDir)) {
    for (const FileSetEntry& e : FileSet) {
      for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) {
        if (ops.Probe(GamePath(privateDir, name)).kind == EntryKind::File) found.names.push_back(ShownName(name));
      }
    }
    if (!found.names.empty()) {
      found.kind = Obstacle::Kind::PrivateCopies;
      found.folder = privateDir;
      return found;
    }
  }
  return found;
}

FolderCheck CheckFolder(FileOps& ops, PcWatch& pc, const std::string& gameDir) {
  FolderCheck check;
  check.dirProblem = GameDirProblemOf(gameDir);
  if (check.dirProblem != GameDirProblem::None) {
    check.state = FolderCheck::State::DirUnusable;
    return check;
  }
  const PathProbe folder = ops.Probe(gameDir);
  if (folder.kind == EntryKind::Unknown) {
    check.state = FolderCheck::State::Unreachable;
    check.why = WhyUnknown(folder);
    return check;
  }
  if (folder.kind != EntryKind::Folder) {
    check.state = FolderCheck::State::Missing;
    return check;
  }
  check.link = pc.LinkOnTheWay(gameDir);
  if (!check.link.link.empty()) {
    check.state = FolderCheck::State::LinkOnTheWay;
    return check;
  }
  // A folder that tells names apart by case (a Linux folder under Wine) may
  // hold a name of the set twice: every call would take one of them, and a
  // rename meet the other. What cannot be listed is not known to be free.
  std::vector<std::string> names;
  check.why = ops.ListNames(gameDir, names);
  if (!check.why) {
    check.state = FolderCheck::State::Unreachable;
    return check;
  }
  check.twinned = NamesTwinnedByCase(names);
  if (!check.twinned.empty()) {
    check.state = FolderCheck::State::NamesByCase;
    return check;
  }
  check.obstacle = FindObstacle(pc, ops, gameDir);
  if (check.obstacle.kind != Obstacle::Kind::None) check.state = FolderCheck::State::Obstructed;
  // A found obstacle stands whatever else failed; nothing found counts only
  // where every check ran.
  check.notRun = pc.NotRun();
  if (check.state == FolderCheck::State::Ready && check.notRun.step != CheckNotRun::Step::None) {
    check.state = FolderCheck::State::NotChecked;
  }
  return check;
}
