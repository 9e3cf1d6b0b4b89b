#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string>

#include "fileset/act/copy_thread.h"
#include "fileset/act/file_copy.h"
#include "support/file_ops_posix.h"
#include "fileset_folder.h"

namespace {

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t k = 0; k < s.size(); ++k) s[k] = static_cast<char>(k * 131 + k / 4093);
  return s;
}

long OpenDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return std::distance(begin(fds), end(fds));
}

class Sink final : public ProgressSink {
 public:
  explicit Sink(int throwAt = -1) : throwAt_(throwAt) {}
  void SetProgress(int32_t) override {}
  void StillWorking() override {
    if (calls_++ == throwAt_) throw std::runtime_error("window closed");
  }

 private:
  int throwAt_;
  int calls_ = 0;
};

// Real files; reads are slow enough that several are still to come when the
// copy gives up, and count who is inside them.
class SlowReads final : public FileOps {
 public:
  SlowReads(int failReadAt, int failWriteAt) : failReadAt_(failReadAt), failWriteAt_(failWriteAt) {}

  PathProbe Probe(const std::string& p) override { return real_.Probe(p); }
  FileStatus Rename(const std::string& f, const std::string& t) override { return real_.Rename(f, t); }
  FileStatus OpenForReading(const std::string& p, std::unique_ptr<ReadableFile>& f) override {
    FileStatus s = real_.OpenForReading(p, f);
    if (s) f = std::make_unique<Reader>(std::move(f), *this);
    return s;
  }
  FileStatus CreateNew(const std::string& p, std::unique_ptr<WritableFile>& f) override {
    FileStatus s = real_.CreateNew(p, f);
    if (s) f = std::make_unique<Writer>(std::move(f), failWriteAt_);
    return s;
  }
  FileStatus Delete(const std::string& p) override { return real_.Delete(p); }
  FileStatus FreeSpace(const std::string& f, uint64_t& b) override { return real_.FreeSpace(f, b); }

  std::atomic<int> inside{0};
  std::atomic<int> reads{0};
  std::atomic<uint64_t> bytes{0};

 private:
  class Reader final : public ReadableFile {
   public:
    Reader(std::unique_ptr<ReadableFile> inner, SlowReads& owner) : inner_(std::move(inner)), owner_(owner) {}
    FileStatus GetInfo(FileInfo& info) override { return inner_->GetInfo(info); }
    FileStatus Read(void* buffer, size_t capacity, size_t& got) override {
      ++owner_.inside;
      usleep(20000);
      const int n = owner_.reads++;
      FileStatus s = n == owner_.failReadAt_ ? FileStatus::Failure("Injected fault") : inner_->Read(buffer, capacity, got);
      if (s) owner_.bytes += got;
      --owner_.inside;
      return s;
    }

   private:
    std::unique_ptr<ReadableFile> inner_;
    SlowReads& owner_;
  };

  class Writer final : public WritableFile {
   public:
    Writer(std::unique_ptr<WritableFile> inner, int failAt) : inner_(std::move(inner)), failAt_(failAt) {}
    FileStatus Write(const void* data, size_t size) override {
      if (writes_++ == failAt_) return FileStatus::Failure("Injected fault");
      return inner_->Write(data, size);
    }
    FileStatus SetLastWriteTime(const FileTime& t) override { return inner_->SetLastWriteTime(t); }
    FileStatus SetAttributes(uint32_t a) override { return inner_->SetAttributes(a); }
    FileStatus Flush() override { return inner_->Flush(); }
    FileStatus Close() override { return inner_->Close(); }

   private:
    std::unique_ptr<WritableFile> inner_;
    int failAt_;
    int writes_ = 0;
  };

  PosixFileOps real_;
  int failReadAt_;
  int failWriteAt_;
};

TEST(CopyWhole, GivingUpWithReadsInFlightLeavesNothingBehind) {
  struct Case {
    const char* what;
    int failReadAt;
    int failWriteAt;
    int sinkThrowsAt;
  };
  const Case cases[] = {
      {"write fails while the next chunks are read", -1, 1, -1},
      {"a later read fails", 3, -1, -1},
      {"the window gives up", -1, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempGameFolder folder;
    const size_t size = (40u << 20) + 777;
    folder.Write("src", Pattern(size));
    const long descriptors = OpenDescriptors();
    SlowReads ops(c.failReadAt, c.failWriteAt);
    Sink sink(c.sinkThrowsAt);
    const std::string dir = folder.GameDir();
    bool threw = false;
    CopyResult result;
    try {
      result = CopyWhole(ops, dir + "src", dir + "tmp", dir + "dst", sink);
    } catch (const std::runtime_error&) {
      threw = true;
    }
    EXPECT_EQ(threw, c.sinkThrowsAt >= 0);
    EXPECT_FALSE(result && !threw);
    // No read runs on, nothing stays open, no file is left.
    EXPECT_EQ(ops.inside.load(), 0);
    const int readsAtReturn = ops.reads.load();
    // The copy gave up early: the reads never reached the end of the file.
    EXPECT_LT(ops.bytes.load(), size);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_FALSE(folder.Has("tmp"));
    EXPECT_FALSE(folder.Has("dst"));
    usleep(50000);
    EXPECT_EQ(ops.reads.load(), readsAtReturn);
  }
}

TEST(CopyWhole, OddSizesCopyExactlyWithTimeAndReadOnlyBit) {
  struct Case {
    size_t size;
    bool readOnly;
  };
  // Empty, one byte, a sector and a bit, and several chunks and an odd tail.
  const Case cases[] = {{0, false}, {1, true}, {4097, false}, {(9u << 20) + 12345, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + (c.readOnly ? " read-only" : ""));
    TempGameFolder folder;
    const std::string content = Pattern(c.size);
    folder.Write("src", content);
    folder.SetModified("src", 1234567890, 987654321);
    if (c.readOnly) chmod(folder.PathOf("src").c_str(), 0444);
    PosixFileOps ops;
    Sink sink;
    const std::string dir = folder.GameDir();
    const CopyResult result = CopyWhole(ops, dir + "src", dir + "tmp", dir + "dst", sink);
    ASSERT_TRUE(result) << result.status.reason;
    EXPECT_FALSE(folder.Has("tmp"));
    EXPECT_TRUE(folder.Read("dst") == content);
    const timespec written = folder.Modified("dst");
    EXPECT_EQ(written.tv_sec, 1234567890);
    EXPECT_EQ(written.tv_nsec, 987654321);
    struct stat st {};
    ASSERT_EQ(stat(folder.PathOf("dst").c_str(), &st), 0);
    EXPECT_EQ((st.st_mode & 0222) == 0, c.readOnly);
  }
}

// Whatever leaves a helper thread's body, the waiting side can see that the
// thread ended, and so never waits for word that will not come.
TEST(CopyThread, EndIsSeenWhateverEndsTheBody) {
  for (bool throws : {false, true}) {
    CopyThread thread;
    std::atomic<bool> go{false};
    ASSERT_TRUE(thread.Start([&] {
      while (!go) usleep(1000);
      if (throws) throw std::runtime_error("escaped");
    }));
    EXPECT_FALSE(thread.Ended());
    go = true;
    for (int i = 0; i < 5000 && !thread.Ended(); ++i) usleep(1000);
    EXPECT_TRUE(thread.Ended()) << (throws ? "after a throw" : "after a return");
  }
}

}  // namespace
