#include "fileset/game_folder.h"

#include "settings/settings_store.h"

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

// Where the game's installer registers the folder, as the user would look it up.
std::string WhereRegistered() {
  return std::string("HKEY_LOCAL_MACHINE\\") + kGameKey + " kulcs, \"" + kInstallDirValue + "\" érték";
}

const char kGameSuffix[] = "\\Game\\";

}  // namespace

bool IsAbsoluteWindowsPath(const std::string& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // \\server\share: both names present.
  size_t at = 2;
  const size_t server = at;
  while (at < path.size() && !IsSeparator(path[at])) ++at;
  if (at == server || at == path.size()) return false;
  const size_t share = ++at;
  while (at < path.size() && !IsSeparator(path[at])) ++at;
  return at > share;
}

std::string GameDirProblem(const std::string& gameDir) {
  if (gameDir.empty()) {
    return "A játék telepítési mappáját nem sikerült kiolvasni a registryből (" + WhereRegistered() +
           "); az okát a program indulásakor megjelent hibaüzenet írta le.\n";
  }
  if (IsAbsoluteHere(gameDir)) return {};
  // Name the install directory as registered, without the "\Game\" added to it.
  std::string installDir = gameDir;
  const size_t suffix = sizeof kGameSuffix - 1;
  if (installDir.size() >= suffix && installDir.compare(installDir.size() - suffix, suffix, kGameSuffix) == 0)
    installDir.resize(installDir.size() - suffix);
  const std::string text =
      installDir.empty()
          ? "A játék telepítési mappája nincs bejegyezve a registryben (" + WhereRegistered() + ").\n"
          : "A játék telepítési mappája nincs teljes elérési úttal bejegyezve a registryben (" +
                WhereRegistered() + ": " + installDir + ").\n";
  return text + "Ezt az értéket a játék telepítője írja be.\n";
}
