// A throw-away game folder on the build machine's disk, reached through the
// same POSIX file operations that the core uses in the tests.
#pragma once
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "fileset/decide/file_set.h"
#include "support/file_ops_posix.h"
#include "fileset/act/game_guard.h"

class TempGameFolder {
 public:
  // The Game folder itself is made only when `withGameFolder` is set.
  explicit TempGameFolder(bool withGameFolder = true) {
    char pattern[] = "/tmp/xq_fileset_XXXXXX";
    root_ = mkdtemp(pattern);
    if (withGameFolder) std::filesystem::create_directory(game());
    gameDir_ = MakeGameDir(root_);
  }
  ~TempGameFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempGameFolder(const TempGameFolder&) = delete;
  TempGameFolder& operator=(const TempGameFolder&) = delete;

  // As the core receives it: install directory + "\Game\".
  const std::string& GameDir() const { return gameDir_; }
  std::filesystem::path root() const { return root_; }
  std::filesystem::path game() const { return root() / "Game"; }
  // `name` with or without the file set's leading backslash.
  std::filesystem::path PathOf(const std::string& name) const {
    return game() / (name.size() && name[0] == '\\' ? name.substr(1) : name);
  }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(PathOf(name), std::ios::binary) << content;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary | std::ios::ate);
    std::string content(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
  }
  bool Has(const std::string& name) const { return std::filesystem::exists(PathOf(name)); }

  // Every name in the Game folder with the file's content ("<dir>" for a folder).
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> out;
    for (const auto& item : std::filesystem::directory_iterator(game())) {
      const std::string name = item.path().filename().string();
      out[name] = item.is_directory() ? "<dir>" : Read(name);
    }
    return out;
  }

  void SetModified(const std::string& name, time_t seconds, long nanoseconds = 0) const {
    struct timespec times[2] {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = seconds;
    times[1].tv_nsec = nanoseconds;
    utimensat(AT_FDCWD, PathOf(name).c_str(), times, 0);
  }
  struct timespec Modified(const std::string& name) const {
    struct stat st {};
    stat(PathOf(name).c_str(), &st);
    return st.st_mtim;
  }

 private:
  std::string root_;
  std::string gameDir_;
};

// The real POSIX operations, for a stand-in that changes one of them.
class ForwardingOps : public FileOps {
 public:
  PathProbe Probe(const std::string& p) override { return real_.Probe(p); }
  FileStatus Rename(const std::string& f, const std::string& t) override { return real_.Rename(f, t); }
  FileStatus OpenForReading(const std::string& p, std::unique_ptr<ReadableFile>& f) override {
    return real_.OpenForReading(p, f);
  }
  FileStatus CreateNew(const std::string& p, std::unique_ptr<WritableFile>& f) override {
    return real_.CreateNew(p, f);
  }
  FileStatus Delete(const std::string& p) override { return real_.Delete(p); }
  FileStatus FreeSpace(const std::string& f, uint64_t& b) override { return real_.FreeSpace(f, b); }
  FileStatus ListNames(const std::string& f, std::vector<std::string>& n) override { return real_.ListNames(f, n); }

 private:
  PosixFileOps real_;
};

// The PC around the folder: no game runs and Windows keeps no private copies,
// unless a test says otherwise.
class FakePc final : public PcWatch {
 public:
  std::string running;      // the exe path that runs
  std::string privateCopy;  // the folder of the private copies
  int RunningFrom(const std::vector<std::string>& exePaths) override {
    const auto at = std::find(exePaths.begin(), exePaths.end(), running);
    return running.empty() || at == exePaths.end() ? -1 : static_cast<int>(at - exePaths.begin());
  }
  FolderLink link;          // a link on the way that no administrator made
  std::vector<std::string> PrivateCopyFolders(const std::string&) override {
    return privateCopy.empty() ? std::vector<std::string>{} : std::vector<std::string>{privateCopy};
  }
  FolderLink LinkOnTheWay(const std::string&) override { return link; }
};
