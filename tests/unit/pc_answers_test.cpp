// Every answer Windows gives the PC checks, the unreadable and failing ones
// first, and what each counts as: the link walk, the owner of a link or of
// the instance mutex, two files' identities, a running program's image.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fileset/pc_answers.h"

namespace {

constexpr uint32_t kNotFound = 2, kAccessDenied = 5;
constexpr uint32_t kDirectory = 0x10, kLinkedFolder = kDirectory | win_answer::kReparsePoint;
constexpr uint32_t kJunction = 0xA0000003, kSymlink = 0xA000000C, kLinuxSymlink = 0xA000001D;
constexpr uint32_t kDeduplicated = 0x80000013, kCloudFile = 0x9000001A;

std::string Said(const StepJudgement& j) {
  const char* const doubts[] = {"none", "made by other", "attributes unread", "owner unread"};
  return doubts[static_cast<int>(j.doubt)] + (j.code ? " " + std::to_string(j.code) : std::string());
}
std::string Said(Sameness s) { return s == Sameness::Same ? "same" : s == Sameness::Different ? "different" : "unknown"; }
std::string Said(InstanceVerdict v) {
  return v == InstanceVerdict::ThisCopy ? "this copy" : v == InstanceVerdict::OtherCopy ? "other copy" : "unguarded";
}

StepAnswer Step(uint32_t attributes, uint32_t tag, OwnerKind owner, uint32_t ownerError = 0, bool wine = false) {
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
  for (int i = 0; i < 8; ++i) id.id[i] = static_cast<uint8_t>(low >> (8 * i)), id.id[8 + i] = static_cast<uint8_t>(high >> (8 * i));
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

struct Row {
  const char* answer;
  std::function<std::string()> judged;
  const char* counts;
};

TEST(PcAnswers, EveryAnswerCountsAsTheChecksPromise) {
  using namespace win_answer;
  const OwnerKind kAdmins = OwnerKind::Administrators, kOther = OwnerKind::Other, kUnread = OwnerKind::Unread;
  const std::vector<Row> rows = {
      // The link walk: what cannot be read stops both operations, under Wine too.
      {"step: attributes denied", [] { return Said(JudgeStep(Unread(kAccessDenied))); }, "attributes unread 5"},
      {"step: gone while looked at", [] { return Said(JudgeStep(Unread(kNotFound))); }, "attributes unread 2"},
      {"step: attributes denied, Wine", [] { return Said(JudgeStep(Unread(kAccessDenied, true))); }, "attributes unread 5"},
      {"junction: owner denied", [=] { return Said(JudgeStep(Step(kLinkedFolder, kJunction, kUnread, kAccessDenied))); },
       "owner unread 5"},
      {"symlink: no owner given", [=] { return Said(JudgeStep(Step(kLinkedFolder, kSymlink, kUnread))); }, "owner unread"},
      {"junction: a user's", [=] { return Said(JudgeStep(Step(kLinkedFolder, kJunction, kOther))); }, "made by other"},
      {"Linux symlink: a user's", [=] { return Said(JudgeStep(Step(kLinkedFolder, kLinuxSymlink, kOther))); },
       "made by other"},
      {"junction: Administrators'", [=] { return Said(JudgeStep(Step(kLinkedFolder, kJunction, kAdmins))); }, "none"},
      {"symlink: SYSTEM's", [] { return Said(JudgeStep(Step(kLinkedFolder, kSymlink, OwnerKind::System))); }, "none"},
      {"junction: TrustedInstaller's",
       [] { return Said(JudgeStep(Step(kLinkedFolder, kJunction, OwnerKind::TrustedInstaller))); }, "none"},
      {"junction: owner denied, Wine",
       [=] { return Said(JudgeStep(Step(kLinkedFolder, kJunction, kUnread, kAccessDenied, true))); }, "none"},
      {"deduplicated folder", [=] { return Said(JudgeStep(Step(kLinkedFolder, kDeduplicated, kOther))); }, "none"},
      {"cloud folder", [=] { return Said(JudgeStep(Step(kLinkedFolder, kCloudFile, kUnread, kAccessDenied))); }, "none"},
      {"plain folder", [=] { return Said(JudgeStep(Step(kDirectory, 0, kUnread, kAccessDenied))); }, "none"},
      // Identity: an unknown or a mixed pair decides nothing.
      {"id: one unknown", [] { return Said(SameFile(kUnknown, kExe)); }, "unknown"},
      {"id: both unknown", [] { return Said(SameFile(kUnknown, kUnknown)); }, "unknown"},
      {"id: 64 against 128 bits", [] { return Said(SameFile(Id(7, 42), kExe)); }, "unknown"},
      {"id: 128 bits, upper halves differ", [] { return Said(SameFile(Id(7, 42, true, 1), kExe)); }, "different"},
      {"id: 128 bits, other volume", [] { return Said(SameFile(Id(8, 42, true), kExe)); }, "different"},
      {"id: 128 bits, same", [] { return Said(SameFile(Id(7, 42, true), kExe)); }, "same"},
      {"id: 64 bits, same", [] { return Said(SameFile(Id(7, 42), Id(7, 42))); }, "same"},
      {"id: 64 bits, other index", [] { return Said(SameFile(Id(7, 43), Id(7, 42))); }, "different"},
      // A running program: by identity, else by its path, else by its name.
      {"image: path unread, the exe's name", [] { return std::to_string(RunsFrom(Image(false, false, kUnknown, true), kExe)); },
       "1"},
      {"image: path unread, another name", [] { return std::to_string(RunsFrom(Image(false, false, kUnknown, false), kExe)); },
       "0"},
      {"image: not opened, same path", [] { return std::to_string(RunsFrom(Image(true, true, kUnknown, true), kExe)); }, "1"},
      {"image: not opened, other path", [] { return std::to_string(RunsFrom(Image(true, false, kUnknown, true), kExe)); },
       "0"},
      {"image: exe not opened, same path", [] { return std::to_string(RunsFrom(Image(true, true, kExe, true), kUnknown)); },
       "1"},
      {"image: ids of two widths, same path", [] { return std::to_string(RunsFrom(Image(true, true, Id(7, 42), true), kExe)); },
       "1"},
      {"image: same file by a link", [] { return std::to_string(RunsFrom(Image(true, false, kExe, false), kExe)); }, "1"},
      {"image: another file, same path", [] { return std::to_string(RunsFrom(Image(true, true, Id(7, 9, true), true), kExe)); },
       "0"},
      // The instance mutex: only an owner that is a copy of the tool keeps this one from starting.
      {"mutex: not had", [=] { return Said(JudgeInstance(Mutex(false, kWaitFailed, true, kAdmins))); }, "unguarded"},
      {"mutex: wait failed", [=] { return Said(JudgeInstance(Mutex(true, kWaitFailed, true, kAdmins))); }, "unguarded"},
      {"Global: owned by a user", [=] { return Said(JudgeInstance(Mutex(true, kWaitTimeout, false, kOther))); },
       "unguarded"},
      {"Global: owner unread", [=] { return Said(JudgeInstance(Mutex(true, kWaitTimeout, false, kUnread))); },
       "unguarded"},
      {"Global: owned by Administrators", [=] { return Said(JudgeInstance(Mutex(true, kWaitTimeout, false, kAdmins))); },
       "other copy"},
      {"Global: a user's, Wine", [=] { return Said(JudgeInstance(Mutex(true, kWaitTimeout, false, kOther, true))); },
       "other copy"},
      {"namespace: held", [=] { return Said(JudgeInstance(Mutex(true, kWaitTimeout, true, kUnread))); }, "other copy"},
      {"namespace: free", [=] { return Said(JudgeInstance(Mutex(true, kWaitObject, true, kAdmins))); }, "this copy"},
      {"Global: a user's, left free", [=] { return Said(JudgeInstance(Mutex(true, kWaitObject, false, kOther))); },
       "this copy"},
      {"mutex: abandoned by a crash", [=] { return Said(JudgeInstance(Mutex(true, kWaitAbandoned, false, kOther))); },
       "this copy"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.judged(), row.counts) << row.answer;
}

}  // namespace
