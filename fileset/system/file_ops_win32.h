// FileOps on Windows, through the W functions only, every path in the
// "\\?\" form so that a deep Game folder works like any other; a path still
// too long for the system gets its "too long" text.
#pragma once
#include <string>

#include "common/win_handles.h"
#include "fileset/system/file_ops.h"

class Win32FileOps final : public FileOps {
 public:
  PathProbe Probe(const std::string& path) override;
  FileStatus Rename(const std::string& from, const std::string& to) override;
  FileStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) override;
  FileStatus CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) override;
  FileStatus Delete(const std::string& path) override;
  FileStatus FreeSpace(const std::string& folder, uint64_t& bytes) override;
  FileStatus ListNames(const std::string& folder, std::vector<std::string>& names) override;
};
