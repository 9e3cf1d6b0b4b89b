#include "fileset/decide/game_folder.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The tests run the operations against folders of the build machine, where
// a path that begins with '/' is absolute.
bool IsAbsoluteHere(const std::string& path) {
#ifdef _WIN32
  return IsAbsoluteWindowsPath(path);
#else
  return IsAbsoluteWindowsPath(path) || (!path.empty() && path[0] == '/');
#endif
}

const char kGameSuffix[] = "\\Game\\";

}  // namespace

bool IsAbsoluteWindowsPath(const std::string& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // \\server\share: both names present.
  const size_t afterServer = path.find_first_of("\\/", 2);
  if (afterServer == 2 || afterServer == std::string::npos) return false;
  return afterServer + 1 < path.size() && !IsSeparator(path[afterServer + 1]);
}

GameDirProblem GameDirProblemOf(const std::string& gameDir) {
  if (gameDir.empty()) return GameDirProblem::NotRead;
  if (IsAbsoluteHere(gameDir)) return GameDirProblem::None;
  return InstallDirOf(gameDir).empty() ? GameDirProblem::NotRegistered : GameDirProblem::NotAbsolute;
}

std::string InstallDirOf(const std::string& gameDir) {
  const size_t suffix = sizeof kGameSuffix - 1;
  if (gameDir.size() >= suffix && gameDir.compare(gameDir.size() - suffix, suffix, kGameSuffix) == 0)
    return gameDir.substr(0, gameDir.size() - suffix);
  return gameDir;
}

std::string DriveOf(const std::string& gameDir) {
  std::string path = gameDir;
  if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
    path = "\\\\" + path.substr(8);
  } else if (path.rfind("\\\\?\\", 0) == 0) {
    path = path.substr(4);
  }
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') return path.substr(0, 2);
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return path;
  // \\server\share
  size_t at = path.find_first_of("\\/", 2);
  if (at != std::string::npos) at = path.find_first_of("\\/", at + 1);
  return path.substr(0, at);
}
