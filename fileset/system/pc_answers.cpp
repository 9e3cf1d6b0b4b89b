#include "fileset/system/pc_answers.h"

namespace {
// Administrators, SYSTEM and TrustedInstaller: a game moved to another drive
// by its installer or by an administrator.
bool Trusted(OwnerKind owner) {
  return owner == OwnerKind::Administrators || owner == OwnerKind::System || owner == OwnerKind::TrustedInstaller;
}
}  // namespace

StepJudgement JudgeStep(const StepAnswer& a) {
  if (a.attributesError != 0) return {LinkDoubt::AttributesUnread, a.attributesError};
  // A compressed, deduplicated or cloud folder is itself; a junction, a
  // symbolic link or any other point that names another place is not.
  if (!(a.attributes & win_answer::kReparsePoint) || !(a.reparseTag & win_answer::kNameSurrogate)) return {};
  if (a.sameUserEverywhere) return {};
  if (a.ownerError != 0 || a.owner == OwnerKind::Unread) return {LinkDoubt::OwnerUnread, a.ownerError};
  return Trusted(a.owner) ? StepJudgement{} : StepJudgement{LinkDoubt::MadeByOther, 0};
}

Sameness SameFile(const FileId& a, const FileId& b) {
  if (!a.known || !b.known || a.wide != b.wide) return Sameness::Unknown;
  return a.volume == b.volume && a.id == b.id ? Sameness::Same : Sameness::Different;
}

bool RunsFrom(const ImageAnswer& a, const FileId& wanted) {
  if (!a.pathRead) return a.sameName;
  switch (SameFile(a.image, wanted)) {
    case Sameness::Same: return true;
    case Sameness::Different: return false;
    case Sameness::Unknown: break;
  }
  return a.samePath;
}

InstanceVerdict JudgeInstance(const MutexAnswer& a) {
  if (!a.had) return InstanceVerdict::Unguarded;
  if (a.wait == win_answer::kWaitObject || a.wait == win_answer::kWaitAbandoned) return InstanceVerdict::ThisCopy;
  if (a.wait != win_answer::kWaitTimeout) return InstanceVerdict::Unguarded;
  // Outside the administrators' namespace any account may make the name
  // first and hold it: only a copy run by an administrator counts.
  if (a.privateNamespace || a.sameUserEverywhere || Trusted(a.owner)) return InstanceVerdict::OtherCopy;
  return InstanceVerdict::Unguarded;
}
