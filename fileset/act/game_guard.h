// What the player's PC adds around the Game folder that would make an
// operation wrong: the game running from it, or Windows' per-user private
// copies of its files. Looked at before anything is renamed or copied.
#pragma once
#include <string>
#include <vector>

#include "fileset/decide/game_folder.h"
#include "fileset/system/file_ops.h"
#include "fileset/system/pc_answers.h"

struct FolderLink {
  std::string link;    // empty: none
  std::string target;  // where it leads, where that can be read
  LinkDoubt doubt = LinkDoubt::MadeByOther;
  FileStatus unread;   // AttributesUnread, OwnerUnread: the system's words
};

// A check of the PC that could not run at all: which one, and the system's
// words. Its answers count for nothing, so both operations stop.
struct CheckNotRun {
  enum class Step { None, RunningGame, HoldFolder, LinkWalk, Profiles };
  Step step = Step::None;
  FileStatus why;
};

class PcWatch {
 public:
  virtual ~PcWatch() = default;
  // Which of exePaths a running program's image is (its index), or -1;
  // every running program is looked at once for all of them.
  virtual int RunningFrom(const std::vector<std::string>& exePaths) = 0;
  // The folders where Windows keeps private copies of the files of `gameDir`
  // for programs without administrator rights (the VirtualStore of every
  // profile on the PC), or none where Windows keeps none for gameDir.
  virtual std::vector<std::string> PrivateCopyFolders(const std::string& gameDir) = 0;
  // A junction or symbolic link on the way to gameDir that someone other than
  // an administrator made, which could steer the tool's copies and renames
  // elsewhere. Where it can, the PC also keeps the folder from being swapped
  // until this object goes.
  virtual FolderLink LinkOnTheWay(const std::string& gameDir) {
    (void)gameDir;
    return {};
  }
  // The first of this object's checks that could not run at all.
  virtual CheckNotRun NotRun() const { return {}; }
};

struct Obstacle {
  enum class Kind { None, GameRunning, PrivateCopies };
  Kind kind = Kind::None;
  std::string exe;                 // GameRunning: the game's exe, as shown in the Game folder
  std::string folder;              // PrivateCopies: the private copy of the Game folder
  std::vector<std::string> names;  // PrivateCopies: the set's names found there
};

// The game running under any of its exe's three names comes first: it holds
// its files. Then the private copies, of any of the set's 21 names.
Obstacle FindObstacle(PcWatch& pc, FileOps& ops, const std::string& gameDir);

// Everything both operations check before they read a single name: the
// GameDir itself, the folder, and the obstacles above.
struct FolderCheck {
  enum class State { Ready, DirUnusable, Missing, Unreachable, Obstructed, LinkOnTheWay, NotChecked, NamesByCase };
  State state = State::Ready;
  GameDirProblem dirProblem = GameDirProblem::None;
  FileStatus why;  // Unreachable
  Obstacle obstacle;
  FolderLink link;  // LinkOnTheWay
  CheckNotRun notRun;  // NotChecked
  std::vector<std::string> twinned;  // NamesByCase: names of the set beside a twin in other case
};
FolderCheck CheckFolder(FileOps& ops, PcWatch& pc, const std::string& gameDir);
