// The few file-system operations through which the version switch and the
// backup reach the game folder. Paths are UTF-8 with backslash separators,
// exactly as built from GameDir and the file-set names. No call throws for a
// file-system failure; each says what went wrong in the system's own words.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How long, at most, the window's thread waits for the disk or for a held
// file before it lets the window paint again.
constexpr unsigned kPaintEveryMs = 50;

// What kind of failure a call met, as far as the advice to the user depends
// on it.
enum class FailureKind {
  Other,
  InUse,          // another program holds or locks the file
  AccessDenied,   // not allowed, or held in a way the system reports as such
  ReadOnlyDrive,  // the drive or medium cannot be written
  NameTooLong,    // the full path is longer than the system takes
  FolderDenied,   // the folder itself refuses new names: its permissions
  FileDenied,     // the folder took other names, this file refuses: read-only, locked, its own rights
  DiskFull,       // the drive has no room left for the bytes written
  Changed,        // a copy's source changed size while it was read
  StillThere,     // a removal reported done, but the name still holds the file
  Unexpected,     // something other than the system failed (out of memory, a lost thread)
};

// Outcome of one file-system call. On failure `reason` holds the system's
// text for the error (FormatMessageW on Windows, strerror on POSIX), and
// `code` its number; a system without a text for it leaves `reason` empty.
struct FileStatus {
  bool ok = true;
  std::string reason;
  FailureKind kind = FailureKind::Other;
  uint32_t code = 0;

  static FileStatus Success() { return {}; }
  static FileStatus Failure(std::string why, FailureKind kind = FailureKind::Other, uint32_t code = 0) {
    return {false, std::move(why), kind, code};
  }
  explicit operator bool() const { return ok; }
};

// Another program has the file open without sharing its deletion, or has
// locked a part of it: what a scanner's or an indexer's look does. Some holds
// show as access denied rather than as a sharing violation; with the names as
// they should be, that is worth the same wait. Waiting may end such a failure.
inline bool MayBeHeld(const FileStatus& status) {
  return status.kind == FailureKind::InUse || status.kind == FailureKind::AccessDenied;
}

// Where the folder refused a name after it took a change of this run's, its
// permissions allow such changes: the refusal is the file's own.
inline void BlameTheFile(FileStatus& status, bool folderChangedBefore) {
  if (folderChangedBefore && status.kind == FailureKind::FolderDenied) status.kind = FailureKind::FileDenied;
}

// Seconds from 1601-01-01, where Windows' file times count from, to
// 1970-01-01 UTC, where FileTime counts from.
constexpr int64_t kFiletimeEpochToUnixSeconds = 11644473600;

// A last-write time: seconds since 1970-01-01 UTC and the fraction below.
struct FileTime {
  int64_t seconds = 0;
  uint32_t nanoseconds = 0;
  bool operator==(const FileTime& o) const { return seconds == o.seconds && nanoseconds == o.nanoseconds; }
  bool operator<(const FileTime& o) const {
    return seconds < o.seconds || (seconds == o.seconds && nanoseconds < o.nanoseconds);
  }
};

enum class EntryKind {
  Missing,  // nothing under this name (and the folder may be missing too)
  File,     // a file, whatever its dates
  Folder,   // a folder, or anything else that holds the name and is not a file
  Unknown,  // the system could not tell; PathProbe::reason says why
};

// Read from the folder's entry for the name; the file itself is not opened.
struct PathProbe {
  EntryKind kind = EntryKind::Missing;
  uint64_t size = 0;     // for a File
  FileTime lastWrite;    // for a File
  std::string reason;    // for Unknown, as FileStatus::reason
  uint32_t code = 0;     // for Unknown, as FileStatus::code
  // A junction or symbolic link holds the name, or anything else whose file
  // is not the folder's own entry (under Wine a Unix symbolic link, even one
  // that leads nowhere): whatever it leads to, the tool works on no file
  // through it.
  bool link = false;
};

// Why the system could not tell what holds a name (a probe of kind Unknown).
inline FileStatus WhyUnknown(const PathProbe& probe) {
  return FileStatus::Failure(probe.reason, FailureKind::Other, probe.code);
}

// The attributes a copy carries over, with the values Windows gives them.
namespace file_attribute {
constexpr uint32_t kReadOnly = 0x1;
constexpr uint32_t kHidden = 0x2;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kCarried = kReadOnly | kHidden | kArchive;
}  // namespace file_attribute

struct FileInfo {
  uint64_t size = 0;
  FileTime lastWrite;
  uint32_t attributes = 0;  // of file_attribute::kCarried; what the system knows of
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Size, last-write time and attributes of the open file.
  virtual FileStatus GetInfo(FileInfo& info) = 0;
  // Reads up to `capacity` bytes; `got` is 0 only at the end of the file.
  virtual FileStatus Read(void* buffer, size_t capacity, size_t& got) = 0;
};

class WritableFile {
 public:
  // Closes without reporting if Close() was not called.
  virtual ~WritableFile() = default;
  // Writes all `size` bytes or fails.
  virtual FileStatus Write(const void* data, size_t size) = 0;
  virtual FileStatus SetLastWriteTime(const FileTime& time) = 0;
  // Gives the file exactly these of file_attribute::kCarried. The handle keeps
  // its right to write, so the flush and the close still work after a
  // read-only bit. A system that keeps none of them has nothing to do.
  virtual FileStatus SetAttributes(uint32_t attributes) {
    (void)attributes;
    return FileStatus::Success();
  }
  // Puts the written bytes on the disk.
  virtual FileStatus Flush() = 0;
  virtual FileStatus Close() = 0;
};

class FileOps {
 public:
  virtual ~FileOps() = default;

  // What, if anything, holds the name `path`. A folder path may end with a
  // separator.
  virtual PathProbe Probe(const std::string& path) = 0;

  // Gives the file `from` the name `to` in the same folder. Never replaces:
  // fails, changing nothing, when `to` exists or `from` is missing. A link
  // under `from` is neither followed nor renamed: that fails too. A failure
  // carries its kind.
  virtual FileStatus Rename(const std::string& from, const std::string& to) = 0;

  // The same as Rename and Delete, for the calls whose failure costs most: the
  // undo of a rename just made, and the last steps of a finished copy (its
  // rename into place, the removal of its temporary file). Where brief holds
  // are waited out, these wait longest.
  virtual FileStatus RenamePatiently(const std::string& from, const std::string& to) { return Rename(from, to); }
  virtual FileStatus DeletePatiently(const std::string& path) { return Delete(path); }

  // Opens an existing file for reading; others may read it meanwhile, not
  // write. A link under the name is not followed: that fails.
  virtual FileStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) = 0;

  // Creates a new, empty file for writing; fails when the name is taken.
  virtual FileStatus CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) = 0;

  // Removes the file `path`; a link under the name fails, as in Rename. A
  // failure carries its kind, as Rename's does.
  virtual FileStatus Delete(const std::string& path) = 0;

  // Bytes the current user may still write on the drive that holds `folder`.
  virtual FileStatus FreeSpace(const std::string& folder, uint64_t& bytes) = 0;

  // The names in `folder`, as the folder spells them. A folder that matches
  // names regardless of case never holds two that differ only in case, which
  // is all the listing is read for: stand-ins of such folders list nothing.
  virtual FileStatus ListNames(const std::string& folder, std::vector<std::string>& names) {
    (void)folder;
    names.clear();
    return FileStatus::Success();
  }
};
