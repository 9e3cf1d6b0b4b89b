// Every answer Windows gives the PC checks, the unreadable and failing ones
// first, and what each counts as: the link walk, the owner of a link or of
// the instance mutex, two files' identities, a running program's image.
#include <gtest/gtest.h>

#include <string>

#include "fileset/system/pc_answers.h"

namespace {

constexpr uint32_t kNotFound = 2, kAccessDenied = 5;
constexpr uint32_t kDirectory = 0x10, kLinked = kDirectory | win_answer::kReparsePoint;
constexpr uint32_t kJunction = 0xA0000003, kSymlink = 0xA000000C, kLinuxSymlink = 0xA000001D;
constexpr uint32_t kDeduplicated = 0x80000013, kCloudFile = 0x9000001A;

std::string Said(const StepJudgement& j) {
  const char* const doubts[] = {"none", "made by other", "attributes unread", "owner unread"};
  return doubts[static_cast<int>(j.doubt)] + (j.code ? " " + std::to_string(j.code) : std::string());
}
std::string Said(Sameness s) {
  return s == Sameness::Same ? "same" : s == Sameness::Different ? "different" : "unknown";
}
std::string Said(InstanceVerdict v) {
  return v == InstanceVerdict::ThisCopy ? "this copy" : v == InstanceVerdict::OtherCopy ? "other copy" : "unguarded";
}

StepAnswer Folder(uint32_t attributes, uint32_t tag, OwnerKind owner, uint32_t ownerError = 0, bool wine = false) {
  StepAnswer a;
  a.attributes = attributes, a.reparseTag = tag, a.owner = owner, a.ownerError = ownerError;
  a.sameUserEverywhere = wine;
  return a;
}
StepAnswer Unread(uint32_t error, bool wine = false) {
  StepAnswer a;
  a.attributesError = error, a.sameUserEverywhere = wine;
  return a;
}
// A 64-bit index, or FileIdInfo's 128-bit id as its two halves.
FileId Id(uint64_t volume, uint64_t low, bool wide = false, uint64_t high = 0) {
  FileId id;
  id.known = true, id.wide = wide, id.volume = volume;
  for (int i = 0; i < 8; ++i)
    id.id[i] = static_cast<uint8_t>(low >> (8 * i)), id.id[8 + i] = static_cast<uint8_t>(high >> (8 * i));
  return id;
}
const FileId kUnknown{};
const FileId kExe = Id(7, 42, true);
ImageAnswer Image(bool pathRead, bool samePath, FileId image, bool sameName) {
  ImageAnswer a;
  a.pathRead = pathRead, a.samePath = samePath, a.image = image, a.sameName = sameName;
  return a;
}
MutexAnswer Mutex(bool had, uint32_t wait, bool privateNamespace, OwnerKind owner, bool wine = false) {
  MutexAnswer a;
  a.had = had, a.wait = wait, a.privateNamespace = privateNamespace, a.owner = owner, a.sameUserEverywhere = wine;
  return a;
}

// What each judgement makes of an answer, in words.
std::string Step(const StepAnswer& a) { return Said(JudgeStep(a)); }
std::string Same(const FileId& a, const FileId& b) { return Said(SameFile(a, b)); }
std::string Runs(const ImageAnswer& a, const FileId& wanted) { return RunsFrom(a, wanted) ? "runs" : "not"; }
std::string Instance(const MutexAnswer& a) { return Said(JudgeInstance(a)); }

struct Row {
  const char* answer;
  std::string judged;
  const char* counts;
};

TEST(PcAnswers, EveryAnswerCountsAsTheChecksPromise) {
  using namespace win_answer;
  const OwnerKind kAdmins = OwnerKind::Administrators, kOther = OwnerKind::Other, kUnread = OwnerKind::Unread;
  const Row rows[] = {
      // The link walk: what cannot be read stops both operations, under Wine too.
      {"step: attributes denied", Step(Unread(kAccessDenied)), "attributes unread 5"},
      {"step: gone while looked at", Step(Unread(kNotFound)), "attributes unread 2"},
      {"step: attributes denied, Wine", Step(Unread(kAccessDenied, true)), "attributes unread 5"},
      {"junction: owner denied", Step(Folder(kLinked, kJunction, kUnread, kAccessDenied)), "owner unread 5"},
      {"symlink: no owner given", Step(Folder(kLinked, kSymlink, kUnread)), "owner unread"},
      {"junction: a user's", Step(Folder(kLinked, kJunction, kOther)), "made by other"},
      {"Linux symlink: a user's", Step(Folder(kLinked, kLinuxSymlink, kOther)), "made by other"},
      {"junction: Administrators'", Step(Folder(kLinked, kJunction, kAdmins)), "none"},
      {"symlink: SYSTEM's", Step(Folder(kLinked, kSymlink, OwnerKind::System)), "none"},
      {"junction: TrustedInstaller's", Step(Folder(kLinked, kJunction, OwnerKind::TrustedInstaller)), "none"},
      {"junction: owner denied, Wine", Step(Folder(kLinked, kJunction, kUnread, kAccessDenied, true)), "none"},
      {"deduplicated folder", Step(Folder(kLinked, kDeduplicated, kOther)), "none"},
      {"cloud folder", Step(Folder(kLinked, kCloudFile, kUnread, kAccessDenied)), "none"},
      {"plain folder", Step(Folder(kDirectory, 0, kUnread, kAccessDenied)), "none"},
      // Identity: an unknown or a mixed pair decides nothing.
      {"id: one unknown", Same(kUnknown, kExe), "unknown"},
      {"id: both unknown", Same(kUnknown, kUnknown), "unknown"},
      {"id: 64 against 128 bits", Same(Id(7, 42), kExe), "unknown"},
      {"id: 128 bits, upper halves differ", Same(Id(7, 42, true, 1), kExe), "different"},
      {"id: 128 bits, other volume", Same(Id(8, 42, true), kExe), "different"},
      {"id: 128 bits, same", Same(Id(7, 42, true), kExe), "same"},
      {"id: 64 bits, same", Same(Id(7, 42), Id(7, 42)), "same"},
      {"id: 64 bits, other index", Same(Id(7, 43), Id(7, 42)), "different"},
      // A running program: by identity, else by its path, else by its name.
      {"image: path unread, the exe's name", Runs(Image(false, false, kUnknown, true), kExe), "runs"},
      {"image: path unread, another name", Runs(Image(false, false, kUnknown, false), kExe), "not"},
      {"image: not opened, same path", Runs(Image(true, true, kUnknown, true), kExe), "runs"},
      {"image: not opened, other path", Runs(Image(true, false, kUnknown, true), kExe), "not"},
      {"image: exe not opened, same path", Runs(Image(true, true, kExe, true), kUnknown), "runs"},
      {"image: ids of two widths, same path", Runs(Image(true, true, Id(7, 42), true), kExe), "runs"},
      {"image: same file through a link", Runs(Image(true, false, kExe, false), kExe), "runs"},
      {"image: another file, same path", Runs(Image(true, true, Id(7, 9, true), true), kExe), "not"},
      // The instance mutex: only an owner that is a copy of the tool keeps this one from starting.
      {"mutex: not had", Instance(Mutex(false, kWaitFailed, true, kAdmins)), "unguarded"},
      {"mutex: wait failed", Instance(Mutex(true, kWaitFailed, true, kAdmins)), "unguarded"},
      {"Global: held, a user's", Instance(Mutex(true, kWaitTimeout, false, kOther)), "unguarded"},
      {"Global: held, owner unread", Instance(Mutex(true, kWaitTimeout, false, kUnread)), "unguarded"},
      {"Global: held, Administrators'", Instance(Mutex(true, kWaitTimeout, false, kAdmins)), "other copy"},
      {"Global: held, a user's, Wine", Instance(Mutex(true, kWaitTimeout, false, kOther, true)), "other copy"},
      {"namespace: held", Instance(Mutex(true, kWaitTimeout, true, kUnread)), "other copy"},
      {"namespace: free", Instance(Mutex(true, kWaitObject, true, kAdmins)), "this copy"},
      {"Global: a user's, left free", Instance(Mutex(true, kWaitObject, false, kOther)), "this copy"},
      {"mutex: abandoned by a crash", Instance(Mutex(true, kWaitAbandoned, false, kOther)), "this copy"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.judged, row.counts) << row.answer;
}

}  // namespace
