#include "support/memory_folder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

class MemoryReader final : public ReadableFile {
 public:
  explicit MemoryReader(MemoryFile file) : file_(std::move(file)) {}
  FileStatus GetInfo(FileInfo& info) override {
    info.size = file_.bytes.size();
    info.lastWrite = file_.lastWrite;
    info.attributes = file_attribute::kArchive;
    return FileStatus::Success();
  }
  FileStatus Read(void* buffer, size_t capacity, size_t& got) override {
    got = std::min(capacity, file_.bytes.size() - at_);
    std::memcpy(buffer, file_.bytes.data() + at_, got);
    at_ += got;
    return FileStatus::Success();
  }

 private:
  MemoryFile file_;
  size_t at_ = 0;
};

FileStatus Gone() { return FileStatus::Failure("the file was removed while open", FailureKind::Other); }

class MemoryWriter final : public WritableFile {
 public:
  MemoryWriter(MemoryFolder& folder, std::string name) : folder_(folder), name_(std::move(name)) {}
  FileStatus Write(const void* data, size_t size) override {
    MemoryFile* file = folder_.Find(name_);
    if (!file) return Gone();
    // A write meets no folder's permissions: the file was made.
    if (folder_.Refused(name_)) {
      FileStatus failure = folder_.failure();
      if (failure.kind == FailureKind::FolderDenied) failure.kind = FailureKind::AccessDenied;
      return failure;
    }
    file->bytes.append(static_cast<const char*>(data), size);
    folder_.Changed();
    return FileStatus::Success();
  }
  FileStatus SetLastWriteTime(const FileTime& time) override {
    MemoryFile* file = folder_.Find(name_);
    if (!file) return Gone();
    file->lastWrite = time;
    folder_.Changed();
    return FileStatus::Success();
  }
  FileStatus Flush() override { return FileStatus::Success(); }
  FileStatus Close() override { return FileStatus::Success(); }

 private:
  MemoryFolder& folder_;
  std::string name_;
};

}  // namespace

std::string MemoryFolder::NameOf(const std::string& path) const {
  if (path.size() <= folder_.size() || Lower(path.substr(0, folder_.size())) != Lower(folder_)) return {};
  const std::string name = path.substr(folder_.size());
  return name.find_first_of("\\/") == std::string::npos ? Lower(name) : std::string();
}

MemoryFile* MemoryFolder::Find(const std::string& name) {
  const auto it = files_.find(name);
  return it == files_.end() ? nullptr : &it->second;
}

PathProbe MemoryFolder::Probe(const std::string& path) {
  PathProbe probe;
  if (Lower(path) == Lower(folder_)) {
    probe.kind = folderGone_ ? EntryKind::Missing : EntryKind::Folder;
    return probe;
  }
  if (const auto it = odd_.find(NameOf(path)); it != odd_.end()) return it->second;
  if (const MemoryFile* file = Find(NameOf(path))) {
    probe.kind = EntryKind::File;
    probe.size = file->bytes.size();
    probe.lastWrite = file->lastWrite;
  }
  return probe;
}

FileStatus MemoryFolder::Rename(const std::string& from, const std::string& to) {
  const std::string source = NameOf(from), target = NameOf(to);
  if (!Find(source)) return FileStatus::Failure("no such file", FailureKind::Other);
  if (target.empty() || Find(target) || HoldsFolder(target)) return FileStatus::Failure("the name is taken", FailureKind::Other);
  if (Refused(source)) return failure_;
  MemoryFile moved = std::move(files_[source]);
  files_.erase(source);
  files_[target] = std::move(moved);
  Changed();
  return FileStatus::Success();
}

FileStatus MemoryFolder::OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) {
  const MemoryFile* found = Find(NameOf(path));
  if (!found) return FileStatus::Failure("no such file", FailureKind::Other);
  file = std::make_unique<MemoryReader>(*found);
  return FileStatus::Success();
}

FileStatus MemoryFolder::CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) {
  const std::string name = NameOf(path);
  if (name.empty() || Find(name) || HoldsFolder(name)) return FileStatus::Failure("the name is taken", FailureKind::Other);
  if (Refused(name)) return failure_;
  files_[name] = MemoryFile{};
  Changed();
  file = std::make_unique<MemoryWriter>(*this, name);
  return FileStatus::Success();
}

FileStatus MemoryFolder::Delete(const std::string& path) {
  const std::string name = NameOf(path);
  if (const auto it = odd_.find(name); it != odd_.end() && it->second.link && !Refused(name)) {
    deletedThrough_.push_back(name);
    Changed();
    return FileStatus::Success();
  }
  if (!Find(name)) return FileStatus::Failure("no such file", FailureKind::Other);
  if (Refused(name)) return failure_;
  files_.erase(name);
  Changed();
  return FileStatus::Success();
}

FileStatus MemoryFolder::FreeSpace(const std::string&, uint64_t& bytes) {
  bytes = free_;
  return FileStatus::Success();
}
