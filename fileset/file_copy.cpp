#include "fileset/file_copy.h"

#include <memory>
#include <utility>

#include "fileset/copy_thread.h"

namespace {
// Small: on Linux under Wine the read copies the chunk out of the system's
// page cache and the write copies it back in, and both run fastest while the
// chunk still sits in the processor's cache. A 2 GiB backup took about half as
// long with 64 KiB chunks as with 1 MiB ones; smaller chunks gained nothing
// more. The per-call cost still vanishes next to the disk's speed.
constexpr size_t kChunkSize = 64u << 10;
// How far the reads may run ahead of the writes: the disk reads the next
// chunks while the last ones are handed to the file system.
constexpr size_t kChunks = 64;
// How long the window's thread waits, at most, before it looks at the window
// again while the disk is busy.
constexpr unsigned kLookEveryMs = 50;

const char kUnexpected[] = "váratlan hiba történt";

// Reads a file into a ring of chunks ahead of the writes, on a helper thread
// when the system gives one, else in turn with them. The writer takes the
// chunks in order; a chunk stays the writer's until it is released.
class ReadAhead {
 public:
  ReadAhead(ReadableFile& in, uint64_t expected) : in_(in), expected_(expected), buffer_(new char[kChunks * kChunkSize]) {}
  ~ReadAhead() { Stop(); }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  void Start() {
    threaded_ = reader_.Start([this] {
      try {
        while (FillOne()) {
        }
      } catch (...) {
        EndUnexpectedly();
      }
    });
  }

  // The next chunk, waiting for it as long as the disk takes and keeping the
  // window answering meanwhile. False once the reads are over; `status` then
  // says whether they ended at the end of the file or with an error.
  bool Next(const char*& data, size_t& size, FileStatus& status, ProgressSink& progress) {
    if (!threaded_) {
      bool empty;
      {
        CopyLockHeld held(lock_);
        empty = filled_ == 0 && !ended_;
      }
      if (empty) FillOne();
    }
    for (;;) {
      {
        CopyLockHeld held(lock_);
        if (filled_ == 0 && !ended_) lock_.Wait(kLookEveryMs);
        if (filled_ > 0) {
          data = Chunk(head_);
          size = sizes_[head_];
          return true;
        }
        if (ended_) {
          status = readStatus_;
          if (!status && status.reason.empty()) status.reason = kUnexpected;
          return false;
        }
      }
      progress.StillWorking();
    }
  }

  // The chunk from Next() is written; the reads may fill it again.
  void Release() {
    CopyLockHeld held(lock_);
    head_ = (head_ + 1) % kChunks;
    --filled_;
    lock_.WakeAll();
  }

  // Ends the reads and waits for the helper thread; a read under way runs to
  // its end first.
  void Stop() {
    {
      CopyLockHeld held(lock_);
      stopped_ = true;
      lock_.WakeAll();
    }
    reader_.Join();
  }

 private:
  char* Chunk(size_t slot) { return buffer_.get() + slot * kChunkSize; }

  // Whatever left the reads on the helper thread ends them as a failure the
  // writer reports; nothing here allocates.
  void EndUnexpectedly() noexcept {
    CopyLockHeld held(lock_);
    readStatus_.ok = false;
    ended_ = true;
    lock_.WakeAll();
  }

  // Reads one chunk into the next free slot. False when the reads are over:
  // the end of the file, an error, more bytes than the file had when the
  // copy began, or a stop.
  bool FillOne() {
    size_t slot = 0;
    {
      CopyLockHeld held(lock_);
      while (!stopped_ && filled_ == kChunks) lock_.Wait(1000);
      if (stopped_) return false;
      slot = (head_ + filled_) % kChunks;
    }
    size_t got = 0;
    FileStatus status;
    try {
      status = in_.Read(Chunk(slot), kChunkSize, got);
    } catch (...) {
      status.ok = false;
    }
    CopyLockHeld held(lock_);
    if (!status) {
      readStatus_ = std::move(status);
      ended_ = true;
    } else if (got == 0) {
      ended_ = true;
    } else {
      sizes_[slot] = got;
      ++filled_;
      read_ += got;
      // A file that grew shows in the byte count; no need to read the rest.
      if (read_ > expected_) ended_ = true;
    }
    lock_.WakeAll();
    return !ended_;
  }

  ReadableFile& in_;
  const uint64_t expected_;
  std::unique_ptr<char[]> buffer_;  // left uninitialised: every byte is read before it is written
  CopyLock lock_;
  // Guarded by lock_.
  size_t head_ = 0;    // the writer's next slot
  size_t filled_ = 0;  // slots read and not yet released, from head_ on
  size_t sizes_[kChunks] = {};
  uint64_t read_ = 0;
  bool ended_ = false;
  bool stopped_ = false;
  FileStatus readStatus_;
  // Last, so that it is gone before anything it uses.
  CopyThread reader_;
  bool threaded_ = false;
};

// A flush of a few GiB can take longer than Windows waits for a window to
// answer; the helper thread waits for the disk, the window's thread keeps
// answering.
FileStatus FlushWhileWorking(WritableFile& out, ProgressSink& progress) {
  CopyLock lock;
  bool done = false;
  FileStatus result;
  CopyThread flusher;
  // Nothing leaves the helper thread: a flush that throws counts as failed,
  // and the status moves across without allocating.
  const bool started = flusher.Start([&] {
    FileStatus status;
    try {
      status = out.Flush();
    } catch (...) {
      status.ok = false;
    }
    CopyLockHeld held(lock);
    result = std::move(status);
    done = true;
    lock.WakeAll();
  });
  if (!started) return out.Flush();
  for (;;) {
    {
      CopyLockHeld held(lock);
      if (!done) lock.Wait(kLookEveryMs);
      if (done) break;
    }
    progress.StillWorking();
  }
  flusher.Join();
  if (!result && result.reason.empty()) result.reason = kUnexpected;
  return result;
}

// Everything up to the flush; `out` stays open.
FileStatus CopyContents(ReadableFile& in, WritableFile& out, const FileInfo& info, ProgressSink& progress) {
  FileStatus status;
  uint64_t copied = 0;
  {
    ReadAhead reads(in, info.size);
    reads.Start();
    const char* data = nullptr;
    size_t size = 0;
    while (reads.Next(data, size, status, progress)) {
      status = out.Write(data, size);
      if (!status) break;
      reads.Release();
      copied += size;
      progress.StillWorking();
    }
  }
  if (!status) return status;
  // A read error mistaken for the end of the file, or a file that changed
  // while it was read, shows here.
  if (copied != info.size) {
    return FileStatus::Failure("a másolat mérete (" + std::to_string(copied) + " bájt) eltér az eredetiétől (" +
                                   std::to_string(info.size) + " bájt)",
                               FailureKind::Changed);
  }
  status = out.SetLastWriteTime(info.lastWrite);
  if (status) status = out.SetAttributes(info.attributes & file_attribute::kCarried);
  if (status) status = FlushWhileWorking(out, progress);
  return status;
}

FileStatus RemoveTemp(FileOps& ops, const std::string& tempPath) {
  const FileStatus deleted = ops.Delete(tempPath);
  if (!deleted && ops.Probe(tempPath).kind != EntryKind::Missing) return deleted;
  return FileStatus::Success();
}

}  // namespace

FileStatus CopyWhole(FileOps& ops, const std::string& source, const std::string& tempPath,
                     const std::string& target, ProgressSink& progress) {
  std::unique_ptr<ReadableFile> in;
  FileStatus status = ops.OpenForReading(source, in);
  if (!status) return status;
  FileInfo info;
  status = in->GetInfo(info);
  if (!status) return status;

  std::unique_ptr<WritableFile> out;
  status = ops.CreateNew(tempPath, out);
  if (!status) return status;

  try {
    status = CopyContents(*in, *out, info, progress);
  } catch (...) {
    // The window gave up on the copy: it goes, and so do its handles.
    out.reset();
    in.reset();
    RemoveTemp(ops, tempPath);
    throw;
  }
  const FileStatus closed = out->Close();
  if (status) status = closed;
  out.reset();
  in.reset();
  if (status) status = ops.Rename(tempPath, target);
  if (!status) {
    const FileStatus removed = RemoveTemp(ops, tempPath);
    if (!removed) status.reason += "; a félkész másolat nem törölhető: " + removed.reason;
  }
  return status;
}
