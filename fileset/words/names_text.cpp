#include "fileset/words/text_parts.h"

#include "common/texts.h"

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ", ";
    out += n;
  }
  return out;
}

std::string TempNote(const FileSetEntry& e, LeftCopy left) {
  switch (left) {  // GCOVR_EXCL_BR_LINE every kind of copy has its case
    case LeftCopy::Bytes: return Filled(kTempHoldsBytes, {ShownName(e.TempName)});
    case LeftCopy::Empty: return Filled(kTempEmpty, {ShownName(e.TempName)});
    case LeftCopy::None: break;
  }
  return {};
}

std::string Noted(const std::string& name, const std::string& note, const std::string& more) {
  const std::string both = note.empty() || more.empty() ? note + more : note + "; " + more;
  return both.empty() ? name : name + " (" + both + ")";
}

std::string PatchedCopyGoneNote(const std::vector<std::string>& names) {
  return names.empty() ? "" : "\n" + Filled(kPatchedCopyGone, {JoinNames(names)}) + kRestorePatchedCopy;
}

std::string NamesHeld(const FileVerdict& f) {
  const FileSetEntry& e = *f.entry;
  const std::array<EntryKind, 3> kinds = f.Kinds();
  std::vector<std::string> present, folders, absent;
  const char* names[] = {e.ActiveName, e.BaseCopyName, e.PatchCopyName};
  for (size_t i = 0; i < 3; ++i) {
    const EntryKind kind = kinds[i];
    (kind == EntryKind::File ? present : kind == EntryKind::Folder ? folders : absent).push_back(ShownName(names[i]));
  }
  std::string out, sep;
  if (!present.empty()) out += sep + Filled(kNamesPresent, {JoinNames(present)}), sep = "; ";
  if (!folders.empty()) out += sep + Filled(kNamesFolders, {JoinNames(folders)}), sep = "; ";
  if (!absent.empty()) out += sep + Filled(kNamesAbsent, {JoinNames(absent)});
  return out;
}

std::string EmptyNames(const FileSetEntry& e, const std::array<bool, 3>& empty) {
  const char* names[] = {e.ActiveName, e.BaseCopyName, e.PatchCopyName};
  std::vector<std::string> shown;
  for (size_t i = 0; i < 3; ++i) {
    if (empty[i]) shown.push_back(ShownName(names[i]));
  }
  return JoinNames(shown);
}
