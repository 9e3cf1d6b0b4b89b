#ifndef _GNU_SOURCE
#define _GNU_SOURCE  // renameat2 and RENAME_NOREPLACE
#endif
#include "support/file_ops_posix.h"

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

FileStatus ErrnoFailure(int error) { return FileStatus::Failure(std::strerror(error)); }

FileStatus LastErrno() { return ErrnoFailure(errno); }

int RenameNoReplace(const char* from, const char* to) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
  return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#elif defined(SYS_renameat2)
  return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
  errno = ENOSYS;
  return -1;
#endif
}

FailureKind KindOf(int error) {
  switch (error) {
    case EBUSY:
    case ETXTBSY:
      return FailureKind::InUse;
    case EACCES:
    case EPERM:
      return FailureKind::AccessDenied;
    case EROFS:
      return FailureKind::ReadOnlyDrive;
    case ENAMETOOLONG:
      return FailureKind::NameTooLong;
    default:
      return FailureKind::Other;
  }
}

// A rename's or a removal's failure, with its kind.
FileStatus RenameFailure(int error) { return FileStatus::Failure(std::strerror(error), KindOf(error)); }

class PosixReadableFile final : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override { ::close(fd_); }
  PosixReadableFile(const PosixReadableFile&) = delete;
  PosixReadableFile& operator=(const PosixReadableFile&) = delete;

  FileStatus GetInfo(FileInfo& info) override {
    struct stat st {};
    if (fstat(fd_, &st) != 0) return LastErrno();
    info.size = static_cast<uint64_t>(st.st_size);
    info.lastWrite.seconds = st.st_mtim.tv_sec;
    info.lastWrite.nanoseconds = static_cast<uint32_t>(st.st_mtim.tv_nsec);
    // Of the carried attributes only read-only has a POSIX meaning: the
    // owner may not write.
    info.attributes = (st.st_mode & S_IWUSR) ? 0 : file_attribute::kReadOnly;
    return FileStatus::Success();
  }

  FileStatus Read(void* buffer, size_t capacity, size_t& got) override {
    got = 0;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, capacity);
      if (n >= 0) {
        got = static_cast<size_t>(n);
        return FileStatus::Success();
      }
      if (errno != EINTR) return LastErrno();
    }
  }

 private:
  int fd_;
};

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixWritableFile(const PosixWritableFile&) = delete;
  PosixWritableFile& operator=(const PosixWritableFile&) = delete;

  FileStatus Write(const void* data, size_t size) override {
    if (fd_ < 0) return ErrnoFailure(EBADF);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t n = ::write(fd_, p, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastErrno();
      }
      if (n == 0) return ErrnoFailure(ENOSPC);
      p += n;
      size -= static_cast<size_t>(n);
    }
    return FileStatus::Success();
  }

  FileStatus SetLastWriteTime(const FileTime& time) override {
    if (fd_ < 0) return ErrnoFailure(EBADF);
    struct timespec times[2] {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(time.seconds);
    times[1].tv_nsec = static_cast<long>(time.nanoseconds);
    if (futimens(fd_, times) != 0) return LastErrno();
    return FileStatus::Success();
  }

  // The open descriptor keeps its right to write after the mode loses it.
  FileStatus SetAttributes(uint32_t attributes) override {
    if (fd_ < 0) return ErrnoFailure(EBADF);
    if (!(attributes & file_attribute::kReadOnly)) return FileStatus::Success();
    struct stat st {};
    if (fstat(fd_, &st) != 0) return LastErrno();
    if (fchmod(fd_, st.st_mode & 07555) != 0) return LastErrno();
    return FileStatus::Success();
  }

  FileStatus Flush() override {
    if (fd_ < 0) return ErrnoFailure(EBADF);
    if (fsync(fd_) != 0) return LastErrno();
    return FileStatus::Success();
  }

  FileStatus Close() override {
    if (fd_ < 0) return FileStatus::Success();
    const int fd = fd_;
    fd_ = -1;
    // The descriptor is gone even when close reports an error; never retry.
    if (::close(fd) != 0) return LastErrno();
    return FileStatus::Success();
  }

 private:
  int fd_;
};

}  // namespace

std::string ToPosixPath(const std::string& path) {
  std::string out = path;
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

PathProbe PosixFileOps::Probe(const std::string& path) {
  PathProbe probe;
  struct stat st {};
  if (stat(ToPosixPath(path).c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      probe.kind = EntryKind::Missing;
    } else {
      probe.kind = EntryKind::Unknown;
      probe.reason = std::strerror(errno);
    }
    return probe;
  }
  if (S_ISREG(st.st_mode)) {
    probe.kind = EntryKind::File;
    probe.size = static_cast<uint64_t>(st.st_size);
    probe.lastWrite.seconds = st.st_mtim.tv_sec;
    probe.lastWrite.nanoseconds = static_cast<uint32_t>(st.st_mtim.tv_nsec);
  } else {
    probe.kind = EntryKind::Folder;
  }
  struct stat own {};
  probe.link = lstat(ToPosixPath(path).c_str(), &own) == 0 && S_ISLNK(own.st_mode);
  return probe;
}

FileStatus PosixFileOps::Rename(const std::string& from, const std::string& to) {
  const std::string source = ToPosixPath(from);
  const std::string target = ToPosixPath(to);
  if (RenameNoReplace(source.c_str(), target.c_str()) == 0) return FileStatus::Success();
  if (errno != EINVAL && errno != ENOSYS) return RenameFailure(errno);
  // The file system does not know RENAME_NOREPLACE. link() refuses an
  // existing target just as well; a plain rename() would replace it.
  struct stat st {};
  if (lstat(source.c_str(), &st) != 0) return RenameFailure(errno);
  if (S_ISDIR(st.st_mode)) return RenameFailure(EISDIR);
  if (link(source.c_str(), target.c_str()) != 0) return RenameFailure(errno);
  if (unlink(source.c_str()) != 0) {
    const int error = errno;
    unlink(target.c_str());
    return RenameFailure(error);
  }
  return FileStatus::Success();
}

FileStatus PosixFileOps::OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) {
  file.reset();
  const int fd = ::open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return LastErrno();
  struct stat st {};
  int error = 0;
  if (fstat(fd, &st) != 0) {
    error = errno;
  } else if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  }
  if (error != 0) {
    ::close(fd);
    return ErrnoFailure(error);
  }
  file = std::make_unique<PosixReadableFile>(fd);
  return FileStatus::Success();
}

FileStatus PosixFileOps::CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) {
  file.reset();
  const int fd = ::open(ToPosixPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return LastErrno();
  file = std::make_unique<PosixWritableFile>(fd);
  return FileStatus::Success();
}

FileStatus PosixFileOps::Delete(const std::string& path) {
  if (unlink(ToPosixPath(path).c_str()) != 0) return RenameFailure(errno);
  return FileStatus::Success();
}

FileStatus PosixFileOps::ListNames(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* dir = opendir(ToPosixPath(folder).c_str());
  if (!dir) return LastErrno();
  while (const dirent* entry = readdir(dir)) names.push_back(entry->d_name);
  closedir(dir);
  return FileStatus::Success();
}

FileStatus PosixFileOps::FreeSpace(const std::string& folder, uint64_t& bytes) {
  struct statvfs vfs {};
  if (statvfs(ToPosixPath(folder).c_str(), &vfs) != 0) return LastErrno();
  bytes = static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize);
  return FileStatus::Success();
}
