#include "fileset/patient_file_ops.h"

#include <algorithm>

namespace {

// Another program has the file open without sharing its deletion, or has
// locked a part of it: what a scanner's or an indexer's look does.
bool Held(const FileStatus& status) { return status.kind == FailureKind::InUse; }

}  // namespace

FileStatus PatientFileOps::Rename(const std::string& from, const std::string& to) {
  return PatientRename(from, to, kPatienceMs);
}

FileStatus PatientFileOps::RenameBack(const std::string& from, const std::string& to) {
  return PatientRename(from, to, kUndoPatienceMs);
}

FileStatus PatientFileOps::PatientRename(const std::string& from, const std::string& to, unsigned patienceMs) {
  return Retry(
      patienceMs, [&] { return inner_.Rename(from, to); },
      [&](const FileStatus& failure) {
        if (!Held(failure) && failure.kind != FailureKind::AccessDenied) return false;
        // A taken name or a missing file stays so however long one waits.
        // Some holds show as access denied rather than as a sharing
        // violation; with both names as they should be, that is worth the
        // same wait.
        return inner_.Probe(to).kind == EntryKind::Missing && inner_.Probe(from).kind == EntryKind::File;
      });
}

FileStatus PatientFileOps::Delete(const std::string& path) {
  return Retry(
      kPatienceMs, [&] { return inner_.Delete(path); },
      [&](const FileStatus& failure) {
        if (!Held(failure) && failure.kind != FailureKind::AccessDenied) return false;
        return inner_.Probe(path).kind == EntryKind::File;
      });
}

FileStatus PatientFileOps::Retry(unsigned patienceMs, const std::function<FileStatus()>& attempt,
                                 const std::function<bool(const FileStatus&)>& worthWaiting) {
  const uint64_t start = clock_.NowMs();
  unsigned step = kFirstStepMs;
  for (;;) {
    FileStatus status = attempt();
    if (status || !worthWaiting(status)) return status;
    const uint64_t waited = clock_.NowMs() - start;
    if (waited >= patienceMs) return status;
    // The last step ends with the patience, so that the last attempt comes
    // when it runs out rather than a step too early.
    clock_.Wait(static_cast<unsigned>(std::min<uint64_t>(step, patienceMs - waited)), meanwhile_);
    step = std::min(step * 2, kLongestStepMs);
  }
}
