#include "fileset/file_copy.h"

#include <memory>
#include <vector>

namespace {
// Large enough that the per-call cost vanishes next to the disk's speed.
constexpr size_t kChunkSize = 4u << 20;
}  // namespace

FileStatus CopyWhole(FileOps& ops, const std::string& source, const std::string& tempPath,
                     const std::string& target, ProgressSink& progress) {
  std::vector<char> buffer(kChunkSize);
  std::unique_ptr<ReadableFile> in;
  FileStatus status = ops.OpenForReading(source, in);
  if (!status) return status;
  FileInfo info;
  status = in->GetInfo(info);
  if (!status) return status;

  std::unique_ptr<WritableFile> out;
  status = ops.CreateNew(tempPath, out);
  if (!status) return status;

  uint64_t copied = 0;
  for (;;) {
    size_t got = 0;
    status = in->Read(buffer.data(), buffer.size(), got);
    if (!status || got == 0) break;
    status = out->Write(buffer.data(), got);
    if (!status) break;
    copied += got;
    if (copied > info.size) break;
    progress.StillWorking();
  }
  // A read error mistaken for the end of the file, or a file that changed
  // while it was read, shows here.
  if (status && copied != info.size) {
    status = FileStatus::Failure("a másolat mérete (" + std::to_string(copied) + " bájt) eltér az eredetiétől (" +
                                 std::to_string(info.size) + " bájt)");
  }
  if (status) status = out->SetLastWriteTime(info.lastWrite);
  if (status) status = out->Flush();
  const FileStatus closed = out->Close();
  if (status) status = closed;
  out.reset();
  in.reset();
  if (status) status = ops.Rename(tempPath, target);
  if (!status) {
    const FileStatus deleted = ops.Delete(tempPath);
    if (!deleted && ops.Probe(tempPath).kind != EntryKind::Missing) {
      status.reason += "; a félkész másolat nem törölhető: " + deleted.reason;
    }
  }
  return status;
}
