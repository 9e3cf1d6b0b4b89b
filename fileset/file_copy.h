// The whole-file copy behind the first-run backup: a copy appears under its
// target name only once every byte is on the disk.
#pragma once
#include <cstdint>
#include <string>

#include "fileset/file_ops.h"

// Where the backup reports how far it is; the window's gauge.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetProgress(int32_t value) = 0;
  // Called after every chunk of a copy: a copy of a large file takes many
  // seconds, and a window that runs it has to keep answering meanwhile.
  virtual void StillWorking() {}
};

// Copies source to tempPath, checks that every byte came across, carries the
// last-write time over, flushes, and only then renames tempPath to target
// (never replacing). Whatever fails, no file stays under tempPath.
FileStatus CopyWhole(FileOps& ops, const std::string& source, const std::string& tempPath,
                     const std::string& target, ProgressSink& progress);
