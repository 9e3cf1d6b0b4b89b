#include "fileset/words/text_parts.h"

#include "common/texts.h"
#include "fileset/decide/game_folder.h"
#include "settings/settings_store.h"

std::string Why(const FileStatus& status) {
  if (!status.reason.empty()) return status.reason;
  switch (status.kind) {
    case FailureKind::Unexpected: return kUnexpectedFailure;
    case FailureKind::StillThere: return kStillThere;
    default: return Filled(kWindowsErrorCode, {std::to_string(status.code)});
  }
}

std::string Advice(FailureKind kind, const std::string& gameDir) {
  switch (kind) {
    case FailureKind::ReadOnlyDrive: return kMakeDriveWritable;
    case FailureKind::NameTooLong: return kShortenPath;
    case FailureKind::FolderDenied: return Filled(kGrantFolder, {gameDir});
    case FailureKind::FileDenied: return kFreeFile;
    case FailureKind::AccessDenied: return kFindWhatHoldsFile;
    case FailureKind::DiskFull: return Filled(kDiskFull, {DriveOf(gameDir)});
    case FailureKind::Unexpected: return kRestartPcAndRetry;
    default: return kCloseGameAndRetry;
  }
}

namespace {

// Where the game's installer registers the folder, in both of the key's forms:
// a 32-bit installer on 64-bit Windows writes under WOW6432Node.
std::string WhereRegistered() {
  const std::string key = kGameKey;
  const size_t afterSoftware = key.find('\\') + 1;
  return Filled(kWhereRegistered,
                {key, key.substr(0, afterSoftware) + "WOW6432Node\\" + key.substr(afterSoftware), kInstallDirValue});
}

Problem GameDirText(GameDirProblem problem, const std::string& gameDir) {
  std::string found;
  switch (problem) {  // GCOVR_EXCL_BR_LINE an unusable GameDir always has its problem
    case GameDirProblem::NotRead: found = Filled(kGameDirNotRead, {WhereRegistered()}); break;
    case GameDirProblem::NotRegistered: found = Filled(kGameDirNotRegistered, {WhereRegistered()}); break;
    case GameDirProblem::NotAbsolute:
      found = Filled(kGameDirNotAbsolute, {WhereRegistered(), InstallDirOf(gameDir)});
      break;
    case GameDirProblem::None: return {};
  }
  return {found, kReinstallToRegister};
}

// What stands on the way, by what could be read of it.
std::string LinkFound(const FolderLink& link) {
  switch (link.doubt) {
    case LinkDoubt::AttributesUnread: return Filled(kLinkAttributesUnread, {Why(link.unread), link.link});
    case LinkDoubt::OwnerUnread: return Filled(kLinkOwnerUnread, {Why(link.unread), link.link});
    default: return Filled(kLinkByOther, {link.link});
  }
}

// A link on the way to the Game folder that an administrator did not make,
// or may not have.
Problem LinkText(const FolderLink& link, const char* button) {
  return {LinkFound(link) + (link.target.empty() ? "" : Filled(kLinkLeadsTo, {link.target})) + kLinkNotFollowed,
          Filled(kRemakeLink, {button})};
}

// A check of the PC that could not run: what it would have found counts against.
Problem NotCheckedText(const CheckNotRun& notRun, const char* button) {
  const char* step = "";
  switch (notRun.step) {  // GCOVR_EXCL_BR_LINE a check that did not run always names its step
    case CheckNotRun::Step::RunningGame: step = kRunningGameCheck; break;
    case CheckNotRun::Step::HoldFolder: step = kHoldFolderCheck; break;
    case CheckNotRun::Step::LinkWalk: step = kLinkWalkCheck; break;
    case CheckNotRun::Step::Profiles: step = kProfilesCheck; break;
    case CheckNotRun::Step::None: break;
  }
  return {Filled(kCheckNotRun, {step, Why(notRun.why)}), Filled(kCloseOtherPrograms, {button})};
}

Problem ObstacleText(const Obstacle& o, const char* button) {
  if (o.kind == Obstacle::Kind::GameRunning) return {Filled(kGameRunning, {o.exe}), Filled(kCloseGame, {button})};
  return {Filled(kPrivateCopies, {o.folder, JoinNames(o.names)}), kMovePrivateCopies};
}

}  // namespace

Problem NotReadyText(const FolderCheck& folder, const std::string& gameDir, const char* button) {
  switch (folder.state) {  // GCOVR_EXCL_BR_LINE a ready folder is no reason to stop
    case FolderCheck::State::DirUnusable: return GameDirText(folder.dirProblem, gameDir);
    case FolderCheck::State::Missing: return {Filled(kFolderMissing, {gameDir}), kReinstallInPlace};
    case FolderCheck::State::Unreachable:
      return {Filled(kFolderUnreachable, {gameDir, Why(folder.why)}), kConnectDrive};
    case FolderCheck::State::Obstructed: return ObstacleText(folder.obstacle, button);
    case FolderCheck::State::LinkOnTheWay: return LinkText(folder.link, button);
    case FolderCheck::State::NamesByCase:
      return {Filled(kNamesByCase, {JoinNames(folder.twinned)}), Filled(kRenameOneTwin, {button})};
    case FolderCheck::State::NotChecked: return NotCheckedText(folder.notRun, button);
    case FolderCheck::State::Ready: break;
  }
  return {};
}
