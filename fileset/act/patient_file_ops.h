// FileOps that wait out a brief hold on a file. On a player's PC a virus
// scanner or the search indexer opens every file that was just written or
// renamed, for a fraction of a second and without letting it be deleted; a
// rename or removal that meets such a handle fails although it would work a
// moment later. Renames and removals are tried again for a while, in growing
// steps; everything else goes straight through.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "fileset/system/file_ops.h"

// Time as the waits see it. Each system provides its own; tests use a fake.
class RetryClock {
 public:
  virtual ~RetryClock() = default;
  // Milliseconds from any fixed point; never goes back.
  virtual uint64_t NowMs() = 0;
  // Waits `milliseconds`, calling `meanwhile` at least every kPaintEveryMs.
  virtual void Wait(unsigned milliseconds, const std::function<void()>& meanwhile) = 0;
};

class PatientFileOps final : public FileOps {
 public:
  // How long a rename or a removal is tried in all, and the patient ones
  // (an undo, a finished copy's last steps): a file left under a stored name,
  // or a whole copy thrown away, is worth more patience. A scanner may read
  // a fresh copy of several hundred MB for seconds before it lets go.
  static constexpr unsigned kPatienceMs = 2000;
  static constexpr unsigned kUndoPatienceMs = 10000;
  // The first wait, doubled after each attempt up to the longest.
  static constexpr unsigned kFirstStepMs = 25;
  static constexpr unsigned kLongestStepMs = 250;

  // `meanwhile` runs while a wait lasts (the window keeps painting); it may
  // throw, which ends the wait and the call.
  PatientFileOps(FileOps& inner, RetryClock& clock, std::function<void()> meanwhile)
      : inner_(inner), clock_(clock), meanwhile_(std::move(meanwhile)) {}

  PathProbe Probe(const std::string& path) override { return inner_.Probe(path); }
  FileStatus Rename(const std::string& from, const std::string& to) override;
  FileStatus RenamePatiently(const std::string& from, const std::string& to) override;
  FileStatus OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) override {
    return inner_.OpenForReading(path, file);
  }
  FileStatus CreateNew(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    return inner_.CreateNew(path, file);
  }
  FileStatus Delete(const std::string& path) override;
  FileStatus DeletePatiently(const std::string& path) override;
  FileStatus FreeSpace(const std::string& folder, uint64_t& bytes) override { return inner_.FreeSpace(folder, bytes); }
  FileStatus ListNames(const std::string& folder, std::vector<std::string>& names) override {
    return inner_.ListNames(folder, names);
  }

 private:
  FileStatus PatientRename(const std::string& from, const std::string& to, unsigned patienceMs);
  FileStatus PatientDelete(const std::string& path, unsigned patienceMs);
  // Runs `attempt` until it succeeds, fails in a way that waiting does not
  // end (not MayBeHeld, or `worthWaiting` says no), or `patienceMs` have
  // passed; the last failure is the answer.
  FileStatus Retry(unsigned patienceMs, const std::function<FileStatus()>& attempt,
                   const std::function<bool()>& worthWaiting);

  FileOps& inner_;
  RetryClock& clock_;
  std::function<void()> meanwhile_;
};
