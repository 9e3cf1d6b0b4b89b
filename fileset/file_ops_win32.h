// FileOps on Windows, through the W functions only. Paths of MAX_PATH
// characters or more are refused with the system's "too long" text rather
// than handed to calls that would cut or misread them.
#pragma once
#include "fileset/file_ops.h"

class Win32FileOps final : public FileOps {
 public:
  PathProbe Probe(const std::string& path) override;
  FileStatus Rename(const std::string& from, const std::string& to) override;
  FileStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) override;
  FileStatus CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) override;
  FileStatus Delete(const std::string& path) override;
  FileStatus FreeSpace(const std::string& folder, uint64_t& bytes) override;
};

// The system's text for a Windows error code, in UTF-8, without the trailing
// line break; empty when the system has no text for it.
std::string SystemErrorText(unsigned long code);
