#include "fileset/decide/file_set.h"

std::string MakeGameDir(const std::string& installDir) {
  // A "\\?\" path takes every separator literally, so its trailing one is not
  // doubled; any other keeps the pair, which the file system reads as one
  // ("\\server\" must not become the share "Game").
  const bool literal = installDir.rfind("\\\\?\\", 0) == 0;
  const bool ends = !installDir.empty() && (installDir.back() == '\\' || installDir.back() == '/');
  return installDir + (literal && ends ? "Game\\" : "\\Game\\");
}

namespace {

std::string Folded(std::string name) {
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return name;
}

}  // namespace

std::vector<std::string> NamesTwinnedByCase(const std::vector<std::string>& listed) {
  std::vector<std::string> ours;
  for (const FileSetEntry& e : FileSet) {
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) ours.push_back(ShownName(name));
    ours.push_back(ShownName(e.TempName));
  }
  std::vector<std::string> twinned;
  for (const std::string& name : listed) {
    const std::string folded = Folded(name);
    bool mine = false, twin = false;
    for (const std::string& o : ours) mine = mine || o == folded;
    for (const std::string& other : listed) twin = twin || (other != name && Folded(other) == folded);
    if (mine && twin) twinned.push_back(name);
  }
  return twinned;
}

std::string ShownName(const char* name) {
  return name[0] == '\\' ? std::string(name + 1) : std::string(name);
}

std::string GamePath(const std::string& gameDir, const char* name) {
  const bool dirEnds = !gameDir.empty() && (gameDir.back() == '\\' || gameDir.back() == '/');
  return gameDir + (dirEnds && name[0] == '\\' ? name + 1 : name);
}

bool AreTwins(const PathProbe& a, const PathProbe& b) {
  if (a.kind != EntryKind::File || b.kind != EntryKind::File || a.size != b.size) return false;
  const FileTime& early = a.lastWrite < b.lastWrite ? a.lastWrite : b.lastWrite;
  const FileTime& late = a.lastWrite < b.lastWrite ? b.lastWrite : a.lastWrite;
  if (late.seconds - early.seconds > 3) return false;  // also keeps the product below from overflowing
  const int64_t kNanos = 1000000000;
  const int64_t apart = (late.seconds - early.seconds) * kNanos + static_cast<int64_t>(late.nanoseconds) -
                        static_cast<int64_t>(early.nanoseconds);
  return apart <= 2 * kNanos;
}
