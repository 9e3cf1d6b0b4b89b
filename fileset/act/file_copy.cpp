#include "fileset/act/file_copy.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "fileset/act/copy_thread.h"

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
FileStatus Unexpected() { return FileStatus::Failure("", FailureKind::Unexpected); }

// Reads a file into a ring of chunks ahead of the writes, on a helper thread
// when the system gives one, else in turn with them. The writer takes the
// chunks in order; a chunk stays the writer's until it is released.
class ReadAhead {
 public:
  // A small file takes a ring of its own size, and one chunk more for the
  // read that finds its end.
  ReadAhead(ReadableFile& in, uint64_t expected)
      : in_(in),
        expected_(expected),
        slots_(static_cast<size_t>(std::min<uint64_t>(kChunks, expected / kChunkSize + 2))),
        buffer_(new char[slots_ * kChunkSize]) {}
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
        if (filled_ == 0 && !ended_) lock_.Wait(kPaintEveryMs);
        if (filled_ > 0) {
          data = Chunk(head_);
          size = sizes_[head_];
          return true;
        }
        // A helper thread that ended without saying so (whatever left it)
        // ended the reads.
        if (!ended_ && threaded_ && reader_.Ended()) {
          readStatus_ = Unexpected();
          ended_ = true;
        }
        if (ended_) {
          status = readStatus_;
          return false;
        }
      }
      progress.StillWorking();
    }
  }

  // The chunk from Next() is written; the reads may fill it again.
  void Release() {
    CopyLockHeld held(lock_);
    head_ = (head_ + 1) % slots_;
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
    readStatus_.kind = FailureKind::Unexpected;
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
      while (!stopped_ && filled_ == slots_) lock_.Wait(1000);
      if (stopped_) return false;
      slot = (head_ + filled_) % slots_;
    }
    size_t got = 0;
    FileStatus status;
    try {
      status = in_.Read(Chunk(slot), kChunkSize, got);
    } catch (...) {
      status.ok = false;
      status.kind = FailureKind::Unexpected;
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
  const size_t slots_;
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
      status.kind = FailureKind::Unexpected;
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
      if (!done) lock.Wait(kPaintEveryMs);
      if (done) break;
      // The thread ended without saying so.
      if (flusher.Ended()) {
        result = Unexpected();
        break;
      }
    }
    progress.StillWorking();
  }
  flusher.Join();
  return result;
}

// Everything up to the flush; `out` stays open.
CopyResult CopyContents(ReadableFile& in, WritableFile& out, const FileInfo& info, ProgressSink& progress) {
  CopyResult result;
  FileStatus& status = result.status;
  uint64_t copied = 0;
  {
    ReadAhead reads(in, info.size);
    reads.Start();
    const char* data = nullptr;
    size_t size = 0;
    while (reads.Next(data, size, status, progress)) {
      status = out.Write(data, size);
      if (!status) {
        result.stage = CopyStage::Temp;
        break;
      }
      reads.Release();
      copied += size;
      progress.StillWorking();
    }
  }
  if (!status) return result;
  // A read error mistaken for the end of the file, or a file that changed
  // while it was read, shows here.
  result.stage = CopyStage::Temp;
  if (copied != info.size) {
    status = FileStatus::Failure("", FailureKind::Changed);
    result.stage = CopyStage::Source;
    result.copied = copied;
    result.expected = info.size;
    return result;
  }
  status = out.SetLastWriteTime(info.lastWrite);
  if (status) status = out.SetAttributes(info.attributes & file_attribute::kCarried);
  if (status) status = FlushWhileWorking(out, progress);
  return result;
}

}  // namespace

FileStatus RemoveTempCopy(FileOps& ops, const std::string& tempPath) {
  FileStatus deleted = ops.DeletePatiently(tempPath);
  const PathProbe after = ops.Probe(tempPath);
  if (after.kind == EntryKind::Missing) return FileStatus::Success();
  if (deleted) deleted = FileStatus::Failure("", FailureKind::StillThere);
  return deleted;
}

CopyResult CopyWhole(FileOps& ops, const std::string& source, const std::string& tempPath,
                     const std::string& target, ProgressSink& progress) {
  CopyResult result;
  std::unique_ptr<ReadableFile> in;
  result.status = ops.OpenForReading(source, in);
  if (!result) return result;
  FileInfo info;
  result.status = in->GetInfo(info);
  if (!result) return result;

  std::unique_ptr<WritableFile> out;
  result.stage = CopyStage::Temp;
  result.status = ops.CreateNew(tempPath, out);
  if (!result) return result;

  try {
    result = CopyContents(*in, *out, info, progress);
  } catch (...) {
    // The window gave up on the copy: it goes, and so do its handles.
    out.reset();
    in.reset();
    RemoveTempCopy(ops, tempPath);
    throw;
  }
  const FileStatus closed = out->Close();
  if (result && !closed) result.status = closed, result.stage = CopyStage::Temp;
  out.reset();
  in.reset();
  if (result) {
    result.status = ops.RenamePatiently(tempPath, target);
    result.stage = CopyStage::Target;
  }
  if (!result) result.removal = RemoveTempCopy(ops, tempPath);
  return result;
}
