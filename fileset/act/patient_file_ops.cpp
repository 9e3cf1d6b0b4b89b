#include "fileset/act/patient_file_ops.h"

#include <algorithm>

FileStatus PatientFileOps::Rename(const std::string& from, const std::string& to) {
  return PatientRename(from, to, kPatienceMs);
}

FileStatus PatientFileOps::RenamePatiently(const std::string& from, const std::string& to) {
  return PatientRename(from, to, kUndoPatienceMs);
}

FileStatus PatientFileOps::PatientRename(const std::string& from, const std::string& to, unsigned patienceMs) {
  return Retry(patienceMs, [&] { return inner_.Rename(from, to); }, [&] {
    // A taken name or a missing file stays so however long one waits.
    return inner_.Probe(to).kind == EntryKind::Missing && inner_.Probe(from).kind == EntryKind::File;
  });
}

FileStatus PatientFileOps::Delete(const std::string& path) { return PatientDelete(path, kPatienceMs); }

FileStatus PatientFileOps::DeletePatiently(const std::string& path) { return PatientDelete(path, kUndoPatienceMs); }

FileStatus PatientFileOps::PatientDelete(const std::string& path, unsigned patienceMs) {
  return Retry(patienceMs, [&] { return inner_.Delete(path); },
               [&] { return inner_.Probe(path).kind == EntryKind::File; });
}

FileStatus PatientFileOps::Retry(unsigned patienceMs, const std::function<FileStatus()>& attempt,
                                 const std::function<bool()>& worthWaiting) {
  const uint64_t start = clock_.NowMs();
  unsigned step = kFirstStepMs;
  for (;;) {
    FileStatus status = attempt();
    if (status || !MayBeHeld(status) || !worthWaiting()) return status;
    const uint64_t waited = clock_.NowMs() - start;
    if (waited >= patienceMs) return status;
    // The last step ends with the patience, so that the last attempt comes
    // when it runs out rather than a step too early.
    clock_.Wait(static_cast<unsigned>(std::min<uint64_t>(step, patienceMs - waited)), meanwhile_);
    step = std::min(step * 2, kLongestStepMs);
  }
}
