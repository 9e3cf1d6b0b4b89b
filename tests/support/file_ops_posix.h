// FileOps on a POSIX file system, for running the core against real folders
// on the build machine. Backslashes in paths are read as '/'.
#pragma once
#include "fileset/system/file_ops.h"

class PosixFileOps final : public FileOps {
 public:
  PathProbe Probe(const std::string& path) override;
  FileStatus Rename(const std::string& from, const std::string& to) override;
  FileStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) override;
  FileStatus CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) override;
  FileStatus Delete(const std::string& path) override;
  FileStatus FreeSpace(const std::string& folder, uint64_t& bytes) override;
  FileStatus ListNames(const std::string& folder, std::vector<std::string>& names) override;
};

// The path as the POSIX calls take it: every '\' becomes '/'.
std::string ToPosixPath(const std::string& path);
