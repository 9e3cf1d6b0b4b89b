#include "fileset/game_guard.h"

#include "fileset/file_set.h"

namespace {
const FileSetEntry& kGameExe = FileSet.back();
}

Obstacle FindObstacle(PcWatch& pc, FileOps& ops, const std::string& gameDir) {
  Obstacle found;
  for (const char* name : {kGameExe.ActiveName, kGameExe.BaseCopyName, kGameExe.PatchCopyName}) {
    if (!pc.IsRunning(GamePath(gameDir, name))) continue;
    found.kind = Obstacle::Kind::GameRunning;
    found.exe = ShownName(name);
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
  if (folder.kind != EntryKind::Other) {
    check.state = FolderCheck::State::Missing;
    return check;
  }
  check.link = pc.LinkOnTheWay(gameDir);
  if (!check.link.link.empty()) {
    check.state = FolderCheck::State::Linked;
    return check;
  }
  check.obstacle = FindObstacle(pc, ops, gameDir);
  if (check.obstacle.kind != Obstacle::Kind::None) check.state = FolderCheck::State::Obstructed;
  return check;
}
