// The Windows calls that the system's files share: paths in the form the W
// functions take, names compared as Windows compares them, opening a file or
// folder to look at it, file times, and what a failure's code says.
#pragma once
#include <windows.h>

#include <string>

#include "common/win_handles.h"
#include "fileset/system/file_ops.h"

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
