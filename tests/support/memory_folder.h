// A Game folder held in memory, for walking thousands of folder histories
// through the core: names matched without regard to case as Windows matches
// them, and the folder as it stood after each change, which is what a power
// cut at that moment leaves on the disk.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fileset/system/file_ops.h"

struct MemoryFile {
  std::string bytes;
  FileTime lastWrite;
  bool operator==(const MemoryFile& o) const { return bytes == o.bytes && lastWrite == o.lastWrite; }
};

class MemoryFolder final : public FileOps {
 public:
  // `folder` is the Game folder's path as the core builds it, with its
  // trailing separator; `files` maps a name in it to the file.
  using Files = std::map<std::string, MemoryFile>;
  MemoryFolder(std::string folder, Files files) : folder_(std::move(folder)), files_(std::move(files)) {}

  const Files& files() const { return files_; }
  // The folder after each change so far, in order.
  const std::vector<Files>& AfterEachChange() const { return history_; }

  PathProbe Probe(const std::string& path) override;
  FileStatus Rename(const std::string& from, const std::string& to) override;
  FileStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) override;
  FileStatus CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) override;
  FileStatus Delete(const std::string& path) override;
  FileStatus FreeSpace(const std::string& folder, uint64_t& bytes) override;

  // Refuses the `n`th (from 1) rename, creation, write or removal with
  // `failure`, changing nothing, as a file held by another program or a full
  // drive would, and the `also`th too; 0 refuses none. `refused` names the
  // file the first was about.
  void Refuse(int n, FileStatus failure, int also = 0) { refuseAt_ = n, alsoAt_ = also, failure_ = std::move(failure); }
  const std::string& refused() const { return refused_; }
  int calls() const { return calls_; }
  // Whether this call is the one to refuse.
  bool Refused(const std::string& name) {
    if (++calls_ != refuseAt_ && calls_ != alsoAt_) return false;
    if (refused_.empty()) refused_ = name;
    return true;
  }
  const FileStatus& failure() const { return failure_; }
  // Answers `probe` for `name` (lower-case): a name the system cannot read,
  // a link or a folder, whatever the folder holds under it. A link removed
  // is removed as Wine removes it: the file it leads to goes, the link stays.
  void Odd(std::string name, PathProbe probe) { odd_[std::move(name)] = std::move(probe); }
  const std::vector<std::string>& deletedThrough() const { return deletedThrough_; }
  // The Game folder itself is gone: it answers as missing.
  void FolderGone() { folderGone_ = true; }
  // The room the drive says it has; it writes past it all the same.
  void SetFree(uint64_t bytes) { free_ = bytes; }
  bool HoldsFolder(const std::string& name) const {
    const auto it = odd_.find(name);
    return it != odd_.end() && it->second.kind == EntryKind::Folder;
  }

  // Keeps the folder as a change left it.
  void Changed() { history_.push_back(files_); }
  // The name of a path inside the folder, lower-case; empty for any other path.
  std::string NameOf(const std::string& path) const;
  MemoryFile* Find(const std::string& name);

 private:
  uint64_t free_ = uint64_t{1} << 40;
  bool folderGone_ = false;
  std::map<std::string, PathProbe> odd_;
  std::vector<std::string> deletedThrough_;
  std::string folder_;
  Files files_;
  std::vector<Files> history_;
  int calls_ = 0, refuseAt_ = 0, alsoAt_ = 0;
  FileStatus failure_;
  std::string refused_;
};
