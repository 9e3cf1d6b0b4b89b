#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/file_ops_posix.h"
#include "fileset/act/patient_file_ops.h"
#include "fileset_folder.h"

namespace {

class FakeClock final : public RetryClock {
 public:
  uint64_t NowMs() override { return now; }
  void Wait(unsigned milliseconds, const std::function<void()>& meanwhile) override {
    longestWait = std::max(longestWait, milliseconds);
    now += milliseconds;
    meanwhile();
  }
  uint64_t now = 1000;
  unsigned longestWait = 0;
};

// Renames and removals fail with `kind` until the clock reaches `releaseAt`,
// as they do while another program holds the file.
class HeldFiles final : public FileOps {
 public:
  HeldFiles(FakeClock& clock, FailureKind kind, uint64_t releaseAt) : clock_(clock), kind_(kind), releaseAt_(releaseAt) {}
  PathProbe Probe(const std::string& p) override { return real_.Probe(p); }
  FileStatus Rename(const std::string& from, const std::string& to) override {
    return Held() ? FileStatus::Failure("Injected hold", kind_) : real_.Rename(from, to);
  }
  FileStatus OpenForReading(const std::string& p, std::unique_ptr<ReadableFile>& f) override {
    return real_.OpenForReading(p, f);
  }
  FileStatus CreateNew(const std::string& p, std::unique_ptr<WritableFile>& f) override { return real_.CreateNew(p, f); }
  FileStatus Delete(const std::string& p) override {
    return Held() ? FileStatus::Failure("Injected hold", kind_) : real_.Delete(p);
  }
  FileStatus FreeSpace(const std::string& f, uint64_t& b) override { return real_.FreeSpace(f, b); }

 private:
  bool Held() const { return clock_.now < releaseAt_; }
  PosixFileOps real_;
  FakeClock& clock_;
  FailureKind kind_;
  uint64_t releaseAt_;
};

enum class Op { Rename, RenamePatiently, Delete, DeletePatiently };
enum class Names { Free, TargetTaken, SourceMissing };

TEST(PatientFileOps, WaitsOutBriefHoldsOnly) {
  constexpr auto kInUse = FailureKind::InUse;
  constexpr auto kDenied = FailureKind::AccessDenied;
  constexpr auto kOther = FailureKind::Other;
  constexpr unsigned kPatience = PatientFileOps::kPatienceMs;
  constexpr unsigned kUndo = PatientFileOps::kUndoPatienceMs;
  struct Case {
    Op op;
    FailureKind kind;
    Names names;
    unsigned holdMs;
    bool done;
    unsigned gaveUpAfterMs;  // when not done: 0 means at once
  };
  const Case cases[] = {
      {Op::Rename, kInUse, Names::Free, 300, true, 0},
      {Op::Rename, kInUse, Names::Free, kPatience + 1, false, kPatience},
      {Op::Rename, kDenied, Names::Free, 1500, true, 0},
      {Op::Rename, kDenied, Names::Free, 60000, false, kPatience},
      {Op::Rename, kOther, Names::Free, 300, false, 0},
      {Op::Rename, kInUse, Names::TargetTaken, 300, false, 0},
      {Op::Rename, kDenied, Names::TargetTaken, 300, false, 0},
      {Op::Rename, kInUse, Names::SourceMissing, 300, false, 0},
      {Op::RenamePatiently, kInUse, Names::Free, kPatience * 3, true, 0},
      {Op::RenamePatiently, kDenied, Names::Free, kUndo + 1, false, kUndo},
      {Op::RenamePatiently, kInUse, Names::TargetTaken, 300, false, 0},
      {Op::Delete, kInUse, Names::Free, 1900, true, 0},
      {Op::Delete, kDenied, Names::Free, kPatience + 1, false, kPatience},
      {Op::Delete, kOther, Names::Free, 300, false, 0},
      {Op::Delete, kInUse, Names::SourceMissing, 300, false, 0},
      {Op::DeletePatiently, kInUse, Names::Free, kPatience * 3, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    TempGameFolder folder;
    if (c.names != Names::SourceMissing) folder.Write("a", "A");
    if (c.names == Names::TargetTaken) folder.Write("b", "B");
    FakeClock clock;
    const uint64_t start = clock.now;
    HeldFiles held(clock, c.kind, start + c.holdMs);
    int painted = 0;
    PatientFileOps ops(held, clock, [&] { ++painted; });
    const std::string a = folder.GameDir() + "\\a", b = folder.GameDir() + "\\b";
    const FileStatus status = c.op == Op::Delete            ? ops.Delete(a)
                              : c.op == Op::DeletePatiently ? ops.DeletePatiently(a)
                              : c.op == Op::RenamePatiently ? ops.RenamePatiently(a, b)
                                                            : ops.Rename(a, b);
    const uint64_t elapsed = clock.now - start;
    EXPECT_EQ(status.ok, c.done);
    EXPECT_LE(clock.longestWait, PatientFileOps::kLongestStepMs);
    EXPECT_EQ(painted > 0, elapsed > 0);
    if (c.done) {
      // Tried again soon after the hold ended, and the work is done.
      EXPECT_GE(elapsed, c.holdMs);
      EXPECT_LT(elapsed, c.holdMs + PatientFileOps::kLongestStepMs);
      EXPECT_FALSE(folder.Has("a"));
      EXPECT_EQ(folder.Has("b"), c.op == Op::Rename || c.op == Op::RenamePatiently);
    } else {
      EXPECT_EQ(elapsed, c.gaveUpAfterMs);
      EXPECT_EQ(status.kind, c.kind);
      EXPECT_EQ(folder.Has("a"), c.names != Names::SourceMissing);
      EXPECT_EQ(folder.Has("b"), c.names == Names::TargetTaken);
    }
  }
}

}  // namespace
