#include "fileset/system/file_ops_win32.h"

#include <windows.h>

#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "common/system_library_win32.h"
#include "common/utf.h"
#include "common/win_handles.h"
#include "fileset/system/pc_answers_win32.h"
#include "fileset/system/win32_calls.h"

namespace {

// The kind of failure that a code means whatever the call.
FailureKind KindOf(DWORD code) {
  switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return FailureKind::InUse;
    case ERROR_ACCESS_DENIED: return FailureKind::AccessDenied;
    case ERROR_WRITE_PROTECT: return FailureKind::ReadOnlyDrive;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return FailureKind::NameTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FailureKind::DiskFull;
    default: return FailureKind::Other;
  }
}

FileStatus Failure(DWORD code) { return FileStatus::Failure(SystemErrorText(code), KindOf(code), code); }
FileStatus LastError() { return Failure(GetLastError()); }
// A call's BOOL answer as a status.
FileStatus Checked(BOOL done) { return done ? FileStatus::Success() : LastError(); }

bool WidePath(const std::string& path, std::wstring& wide) { return LongPath(Widen(path), wide); }

bool IsLinkTag(DWORD tag) { return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT; }

// Whether a reparse point under `path` is a junction or a symbolic link; other
// kinds (a compressed, deduplicated or cloud file) hold the file itself.
bool IsLink(const std::wstring& path) {
  std::wstring name = path;
  while (name.size() > 7 && (name.back() == L'\\' || name.back() == L'/')) name.pop_back();
  WIN32_FIND_DATAW found;
  if (!UniqueFind(FindFirstFileW(name.c_str(), &found)).Valid()) return false;
  return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(found.dwReserved0);
}

// The native calls, from ntdll, which every process has loaded: looked up
// rather than imported, so that the exe imports only what it needs to start.
struct NativeCalls {
  using QueryObject = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  using SetInformationFile = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
  using StatusToError = ULONG(NTAPI*)(NTSTATUS);
  QueryObject queryObject = nullptr;
  SetInformationFile setInformationFile = nullptr;
  StatusToError statusToError = nullptr;
  NativeCalls() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    queryObject = SystemFunction<QueryObject>(ntdll, "NtQueryObject");
    setInformationFile = SystemFunction<SetInformationFile>(ntdll, "NtSetInformationFile");
    statusToError = SystemFunction<StatusToError>(ntdll, "RtlNtStatusToDosError");
  }
  bool Whole() const { return queryObject && setInformationFile && statusToError; }
};

const NativeCalls& Native() {
  static const NativeCalls calls;
  return calls;
}

// The name the system keeps for an open file or folder: the path it reached
// it by, every link on the way resolved; under Wine a Unix symbolic link too.
// Wine's GetFinalPathNameByHandleW says the same in other words, but fails on
// a name longer than MAX_PATH and on a drive letter made since the wineserver
// started. False, with the last error set, where the system cannot tell.
bool ResolvedNameOf(HANDLE h, std::wstring& name) {
  // The longest name a UNICODE_STRING holds fits.
  std::vector<unsigned char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 0x10000);
  ULONG length = 0;
  // Without the call, nothing can be told: that counts against.
  if (!Native().Whole()) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
  }
  const NTSTATUS status =
      Native().queryObject(h, ObjectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length);
  if (!NT_SUCCESS(status)) {
    SetLastError(Native().statusToError(status));
    return false;
  }
  const UNICODE_STRING& found = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.data())->Name;
  name.assign(found.Buffer, found.Length / sizeof(wchar_t));
  return true;
}

// Whether the open `entry` is the folder's own entry for the last name of
// `path`, not a file that a link under the name leads to: the system resolves
// it to what it resolves the folder that holds the name to, plus the name.
// Wine shows a Unix symbolic link as the file it leads to, with no reparse
// point, and this is where the two differ. The folder is resolved, not taken
// as written, so that a Game folder reached through a link is as good as any.
// False with `error` set where the system could not tell.
bool IsOwnEntry(HANDLE entry, const std::wstring& path, DWORD& error) {
  error = ERROR_SUCCESS;
  const size_t end = path.find_last_not_of(L"\\/");
  const size_t slash = end == std::wstring::npos ? end : path.find_last_of(L"\\/", end);
  // A drive's root is no folder's entry.
  if (slash == std::wstring::npos || slash <= 4 || path.find(L':', slash) != std::wstring::npos) return true;
  UniqueHandle folder = OpenExisting(path.substr(0, slash + 1), FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  std::wstring entryPath, folderPath;
  if (!folder.Valid() || !ResolvedNameOf(folder.Get(), folderPath) || !ResolvedNameOf(entry, entryPath)) {
    error = LastErrorOrGeneral();
    return false;
  }
  if (folderPath.empty() || folderPath.back() != L'\\') folderPath += L'\\';
  return SameText(entryPath, folderPath + path.substr(slash + 1, end - slash));
}

// The entry that holds a name, opened as itself, or why it was not.
struct OwnEntry {
  UniqueHandle handle;          // valid only when the name's own entry is open
  bool linked = false;          // a link holds the name; nothing was opened through it
  DWORD error = ERROR_SUCCESS;  // the name could not be opened or checked
};

// Opens the entry that holds the name `path` in its folder, as OpenExisting
// does; never a file that a link there leads to. A call made through the
// handle acts on what was checked, even if the name changes meanwhile.
OwnEntry OpenOwnEntry(const std::wstring& path, DWORD access, DWORD flags) {
  OwnEntry found;
  UniqueHandle h = OpenExisting(path, access | FILE_READ_ATTRIBUTES, flags | FILE_FLAG_OPEN_REPARSE_POINT);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!h.Valid() || !GetFileInformationByHandleEx(h.Get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    found.error = GetLastError();
  } else if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(tag.ReparseTag)) {
    found.linked = true;
  } else {
    found.linked = !IsOwnEntry(h.Get(), path, found.error) && found.error == ERROR_SUCCESS;
    if (!found.linked && found.error == ERROR_SUCCESS) found.handle = std::move(h);
  }
  return found;
}

// Wine shows a Unix symbolic link that leads nowhere as no file at all, to
// every call but a search for its name, which ends without an entry instead
// of finding no such name.
bool HiddenLink(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  UniqueFind search(FindFirstFileW(path.c_str(), &found));
  return !search.Valid() && GetLastError() == ERROR_NO_MORE_FILES;
}

// Marks an open file for removal when its handles close. A copy takes its
// source's read-only bit before it is renamed into place; one that fails after
// that must still be removable, so the bit goes where it alone refuses. False
// with the first refusal's error.
bool MarkForDeletion(HANDLE h) {
  FILE_DISPOSITION_INFO gone{};
  gone.DeleteFile = TRUE;
  if (SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone)) return true;
  const DWORD error = GetLastError();
  FILE_BASIC_INFO basic{};
  if (error == ERROR_ACCESS_DENIED && GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == FILE_ATTRIBUTE_READONLY) {
    // Zero times leave the times as they are.
    FILE_BASIC_INFO writable{};
    writable.FileAttributes = basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY;
    if (writable.FileAttributes == 0) writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (SetFileInformationByHandle(h, FileBasicInfo, &writable, sizeof writable) &&
        SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone)) {
      return true;
    }
  }
  SetLastError(error);
  return false;
}

// Gives an open file the name `target` (in the "\\?\" form), never replacing
// what holds it: the native call that MoveFileW makes, whose "\??\" form names
// the same path on every Windows and under Wine.
DWORD RenameOpenFile(HANDLE h, const std::wstring& target) {
  const std::wstring native = L"\\??\\" + target.substr(4);
  const size_t nameBytes = native.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) + nameBytes + sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<ULONG>(nameBytes);
  std::memcpy(info->FileName, native.data(), nameBytes);
  IO_STATUS_BLOCK io{};
  if (!Native().Whole()) return ERROR_PROC_NOT_FOUND;
  const NTSTATUS status =
      Native().setInformationFile(h, &io, info, static_cast<ULONG>(buffer.size()), FileRenameInformation);
  return NT_SUCCESS(status) ? ERROR_SUCCESS : Native().statusToError(status);
}

class Win32ReadableFile final : public ReadableFile {
 public:
  explicit Win32ReadableFile(HANDLE h) : h_(h) {}

  FileStatus GetInfo(FileInfo& info) override {
    BY_HANDLE_FILE_INFORMATION data;
    if (!GetFileInformationByHandle(h_.Get(), &data)) return LastError();
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.lastWrite = FromFiletime(data.ftLastWriteTime);
    info.attributes = data.dwFileAttributes & file_attribute::kCarried;
    return FileStatus::Success();
  }

  FileStatus Read(void* buffer, size_t capacity, size_t& got) override {
    got = 0;
    const DWORD want = capacity > 0x40000000u ? 0x40000000u : static_cast<DWORD>(capacity);
    DWORD read = 0;
    if (!ReadFile(h_.Get(), buffer, want, &read, nullptr)) return LastError();
    got = read;
    return FileStatus::Success();
  }

 private:
  UniqueHandle h_;
};

// Made by CreateNew from the handle it opened, and called on by the copy
// only until its Close: the handle is open for every call.
class Win32WritableFile final : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE h) : h_(h) {}

  FileStatus Write(const void* data, size_t size) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(h_.Get(), p, want, &written, nullptr)) return LastError();
      if (written == 0) return Failure(ERROR_DISK_FULL);
      p += written;
      size -= written;
    }
    return FileStatus::Success();
  }

  FileStatus SetLastWriteTime(const FileTime& time) override {
    FILETIME ft;
    if (!ToFiletime(time, ft)) return Failure(ERROR_INVALID_PARAMETER);
    return Checked(SetFileTime(h_.Get(), nullptr, nullptr, &ft));
  }

  FileStatus SetAttributes(uint32_t attributes) override {
    // Zero times leave the times as they are; zero attributes would too,
    // so "none" is said as FILE_ATTRIBUTE_NORMAL.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes & file_attribute::kCarried;
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return Checked(SetFileInformationByHandle(h_.Get(), FileBasicInfo, &basic, sizeof(basic)));
  }

  FileStatus Flush() override {
    return Checked(FlushFileBuffers(h_.Get()));
  }

  FileStatus Close() override { return Checked(h_.Close()); }

 private:
  UniqueHandle h_;
};

// A read-only medium or share often answers a rename with plain "access
// denied"; the volume's own flags tell that case apart.
bool OnReadOnlyVolume(const std::wstring& path) {
  wchar_t root[MAX_PATH];
  if (path.empty() || !GetVolumePathNameW(path.c_str(), root, MAX_PATH)) return false;
  DWORD flags = 0;
  if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
  return (flags & FILE_READ_ONLY_VOLUME) != 0;
}

// The folder that holds `path` refuses new names to this user: its
// permissions, not a hold on the file, stop a rename.
bool FolderRefusesNames(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return false;
  const std::wstring folder = path.substr(0, slash + 1);
  UniqueHandle h = OpenExisting(folder, FILE_ADD_FILE | FILE_DELETE_CHILD, FILE_FLAG_BACKUP_SEMANTICS);
  return !h.Valid() && GetLastError() == ERROR_ACCESS_DENIED;
}

// Under Wine a folder opens for writing whatever Linux then refuses: an
// access denied on a file that nothing holds is the folder's.
bool NothingHolds(const std::wstring& path) {
  return OpenExisting(path, DELETE, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT).Valid();
}

// What holds a name, where the system could not tell: why.
PathProbe UnknownEntry(DWORD code) {
  PathProbe probe;
  probe.kind = EntryKind::Unknown;
  probe.reason = SystemErrorText(code);
  probe.code = code;
  return probe;
}

// A rename's, a removal's or a new file's failure, with the kind the advice
// and the wait for a brief hold depend on.
FileStatus NameFailure(DWORD code, const std::wstring& path, bool newName = false) {
  FailureKind kind = KindOf(code);
  if (code == ERROR_ACCESS_DENIED && !path.empty()) {
    if (OnReadOnlyVolume(path)) {
      kind = FailureKind::ReadOnlyDrive;
    } else if (FolderRefusesNames(path) || (RunningUnderWine() && (newName || NothingHolds(path)))) {
      kind = FailureKind::FolderDenied;
    }
  }
  return FileStatus::Failure(SystemErrorText(code), kind, code);
}

// A rename or a removal of the name `path`, made by `change` through `own`,
// the entry that holds it; `change` answers with the system's error. A link
// under the name is refused, nothing done. The failure is judged with the
// handle closed, as another program would find the file.
template <class Change>
FileStatus ChangeEntry(const std::wstring& path, OwnEntry own, Change change) {
  if (own.linked) return Failure(ERROR_CANT_ACCESS_FILE);
  const DWORD error = own.error != ERROR_SUCCESS ? own.error : change(own.handle.Get());
  own.handle.Reset();
  if (error != ERROR_SUCCESS) return NameFailure(error, path);
  return FileStatus::Success();
}

}  // namespace

PathProbe Win32FileOps::Probe(const std::string& path) {
  PathProbe probe;
  std::wstring wide;
  if (!WidePath(path, wide)) return UnknownEntry(ERROR_FILENAME_EXCED_RANGE);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return UnknownEntry(error);
    probe.link = HiddenLink(wide);
    probe.kind = probe.link ? EntryKind::Folder : EntryKind::Missing;
    return probe;
  }
  probe.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLink(wide);
  if (!probe.link) {
    const OwnEntry own = OpenOwnEntry(wide, 0, FILE_FLAG_BACKUP_SEMANTICS);
    if (own.error != ERROR_SUCCESS) return UnknownEntry(own.error);
    probe.link = own.linked;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    probe.kind = EntryKind::Folder;
  } else {
    probe.kind = EntryKind::File;
    probe.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    probe.lastWrite = FromFiletime(data.ftLastWriteTime);
  }
  return probe;
}

FileStatus Win32FileOps::Rename(const std::string& from, const std::string& to) {
  std::wstring source, target;
  if (!WidePath(from, source) || !WidePath(to, target)) return NameFailure(ERROR_FILENAME_EXCED_RANGE, L"");
  return ChangeEntry(source, OpenOwnEntry(source, DELETE, FILE_FLAG_BACKUP_SEMANTICS),
                     [&](HANDLE h) { return RenameOpenFile(h, target); });
}

FileStatus Win32FileOps::OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) {
  file.reset();
  std::wstring wide;
  if (!WidePath(path, wide)) return Failure(ERROR_FILENAME_EXCED_RANGE);
  // The name itself is opened, never what a link there leads to: a link to a
  // file that only administrators may read must not become a copy that
  // anyone may read.
  UniqueHandle own(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!own.Valid()) return LastError();
  // Under Wine a Unix symbolic link opens as the file it leads to.
  DWORD unread = ERROR_SUCCESS;
  if (!IsOwnEntry(own.Get(), wide, unread)) return Failure(unread == ERROR_SUCCESS ? ERROR_CANT_ACCESS_FILE : unread);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (GetFileInformationByHandleEx(own.Get(), FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (IsLinkTag(tag.ReparseTag)) return Failure(ERROR_CANT_ACCESS_FILE);
    // A compressed, deduplicated or cloud file is read through its filter:
    // opened again normally, and only if the name still holds the same file.
    UniqueHandle content(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!content.Valid()) return LastError();
    if (SameFile(FileIdOf(own.Get()), FileIdOf(content.Get())) != Sameness::Same) {
      return Failure(ERROR_CANT_ACCESS_FILE);
    }
    own = std::move(content);
  }
  file = std::make_unique<Win32ReadableFile>(own.Release());
  return FileStatus::Success();
}

FileStatus Win32FileOps::CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) {
  file.reset();
  std::wstring wide;
  if (!WidePath(path, wide)) return Failure(ERROR_FILENAME_EXCED_RANGE);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return NameFailure(GetLastError(), wide, true);
  file = std::make_unique<Win32WritableFile>(h);
  return FileStatus::Success();
}

FileStatus Win32FileOps::Delete(const std::string& path) {
  std::wstring wide;
  if (!WidePath(path, wide)) return NameFailure(ERROR_FILENAME_EXCED_RANGE, L"");
  // The right to change attributes serves a read-only file; a removal
  // without it is still worth trying. The file goes as the handle closes.
  OwnEntry own = OpenOwnEntry(wide, DELETE | FILE_WRITE_ATTRIBUTES, 0);
  if (own.error == ERROR_ACCESS_DENIED) own = OpenOwnEntry(wide, DELETE, 0);
  return ChangeEntry(wide, std::move(own),
                     [](HANDLE h) { return MarkForDeletion(h) ? ERROR_SUCCESS : GetLastError(); });
}

FileStatus Win32FileOps::ListNames(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  std::wstring wide;
  if (!WidePath(folder, wide)) return Failure(ERROR_FILENAME_EXCED_RANGE);
  if (!wide.empty() && wide.back() != L'\\') wide += L'\\';
  wide += L'*';
  WIN32_FIND_DATAW found;
  UniqueFind search(FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
  if (!search.Valid()) return LastError();
  do {
    names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search.Get(), &found));
  const DWORD ended = GetLastError();
  return ended == ERROR_NO_MORE_FILES ? FileStatus::Success() : Failure(ended);
}

FileStatus Win32FileOps::FreeSpace(const std::string& folder, uint64_t& bytes) {
  std::wstring wide;
  if (!WidePath(folder, wide)) return Failure(ERROR_FILENAME_EXCED_RANGE);
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) return LastError();
  bytes = available.QuadPart;
  return FileStatus::Success();
}
