// Whether GameDir names one folder whatever the current drive and folder.
#pragma once
#include <string>

// "X:\..." with a drive letter, or "\\server\share\..." ('/' counts as '\').
// Anything else ("\Game", "Games\VONU 11", "C:Games") is resolved against the
// current drive or folder, which the user never chose.
bool IsAbsoluteWindowsPath(const std::string& path);

// Why the operations may not act on a GameDir.
enum class GameDirProblem {
  None,           // an absolute path: usable
  NotRead,        // empty: reading the install directory failed (the start-up's error box said why)
  NotRegistered,  // "\Game\": the install directory is missing or empty
  NotAbsolute,    // a relative install directory, which the game's installer never writes
};
GameDirProblem GameDirProblemOf(const std::string& gameDir);

// The install directory that gameDir was made from, without "\Game\".
std::string InstallDirOf(const std::string& gameDir);

// The drive that holds gameDir as the user names it: "C:", or
// "\\server\share"; gameDir itself where it names neither.
std::string DriveOf(const std::string& gameDir);
