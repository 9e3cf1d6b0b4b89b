// Whether GameDir names one folder whatever the current drive and folder, and
// what to tell the user when it does not.
#pragma once
#include <string>

// "X:\..." with a drive letter, or "\\server\share\..." ('/' counts as '\').
// Anything else ("\Game", "Games\VONU 11", "C:Games") is resolved against the
// current drive or folder, which the user never chose.
bool IsAbsoluteWindowsPath(const std::string& path);

// Empty when the operations may act on gameDir, an absolute path. Otherwise
// the lines that open their error box: an empty gameDir means the install
// directory could not be read from the game's key (the start-up's error box
// said why); any other gameDir that is not absolute comes from an install
// directory that is missing, empty or relative, which the game's installer
// never writes.
std::string GameDirProblem(const std::string& gameDir);
