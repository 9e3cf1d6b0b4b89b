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

// A path in the "\\?\" form, which the W functions take at any length the
// file system allows: every path the tool hands to Windows goes through this.
// False when it is longer than the system takes.
bool LongPath(const std::wstring& path, std::wstring& longForm);
// A path without the "\\?\" prefix, as a person reads it.
std::wstring PlainPath(std::wstring path);
// Whether two names or paths are the same, ignoring case as Windows does for file names.
bool SameText(const std::wstring& a, const std::wstring& b);
// Opens what `path` names, with `access` and `flags` and every kind of
// sharing: a look at a file or folder stands in no other program's way.
UniqueHandle OpenExisting(const std::wstring& path, DWORD access, DWORD flags);

// A file time as Windows keeps it, and back: false for a time before 1601
// or beyond what Windows counts.
FileTime FromFiletime(const FILETIME& ft);
bool ToFiletime(const FileTime& t, FILETIME& ft);

// The last error, or a general failure where the failing call left none.
DWORD LastErrorOrGeneral();

// The system's text for a Windows error code, in UTF-8, without the trailing
// line break; empty when the system has no text for it.
std::string SystemErrorText(unsigned long code);

// Wine runs the program: every program is the same Linux user there, and a
// Linux folder's permissions show only when a call fails.
bool RunningUnderWine();
