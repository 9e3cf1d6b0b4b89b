// The whole-file copy behind the first-run backup: a copy appears under its
// target name only once every byte is on the disk.
#pragma once
#include <cstdint>
#include <string>

#include "fileset/system/file_ops.h"

// Where the backup reports how far it is; the window's gauge.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetProgress(int32_t value) = 0;
  // Called on the copying thread after every chunk of a copy, and every few
  // hundredths of a second while it waits for the disk (a read, the flush):
  // a copy of a large file takes many seconds, and a window that runs it has
  // to keep answering meanwhile. May throw; the copy then removes its
  // temporary file, waits for its helper thread and lets the error through.
  virtual void StillWorking() {}
};

// Which of a copy's three names its failure belongs to.
enum class CopyStage {
  Source,  // opening or reading the source
  Temp,    // creating, writing, flushing or closing the temporary copy
  Target,  // renaming the finished temporary copy to its target name
};

struct CopyResult {
  FileStatus status;
  CopyStage stage = CopyStage::Source;
  uint64_t copied = 0, expected = 0;  // FailureKind::Changed: bytes copied, the source's size
  FileStatus removal;                 // the temporary copy could not be removed: why
  explicit operator bool() const { return status.ok; }
};

// Copies source to tempPath, reading ahead of the writes on a helper thread,
// checks that every byte came across, carries the last-write time and the
// read-only, hidden and archive attributes over, flushes, and only then
// renames tempPath to target (never replacing), with the patience of the
// calls whose failure costs most: a scanner reads a fresh large file for a
// while. Whatever fails, the temporary copy is removed (and looked for
// again) and no thread outlives the call.
CopyResult CopyWhole(FileOps& ops, const std::string& source, const std::string& tempPath,
                     const std::string& target, ProgressSink& progress);

// Removes a temporary copy, patiently, and looks again: a removal that the
// system reported done may not be. Success when the name is free.
FileStatus RemoveTempCopy(FileOps& ops, const std::string& tempPath);
