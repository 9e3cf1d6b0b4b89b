#include "promises.h"

#include <cstdlib>
#include <unordered_map>

#include "support/box_text_check.h"

namespace player_world {

// Two dates the tool takes for one: two seconds apart or less.
bool Twins(const MemoryFile* a, const MemoryFile* b) {
  return a && b && a->bytes.size() == b->bytes.size() && std::abs(a->lastWrite.seconds - b->lastWrite.seconds) <= 2;
}

// The run made one of file i's names unreadable, a link or a folder.
bool MadeOdd(const ToolRun& run, size_t i) {
  const std::array<std::string, 4> names = NamesOf(i);
  return std::find(names.begin(), names.end(), run.odd) != names.end();
}

// File i stands under all three of its names.
bool AllThree(const World& w, size_t i) { return w.At(ActiveName(i)) && w.At(BaseCopyName(i)) && w.At(PatchCopyName(i)); }

bool Mentions(const std::string& text, const std::string& words) { return text.find(words) != std::string::npos; }

// A sentence that tells the player to install the patch, or to install it again.
bool AdvisesPatch(const std::string& text) {
  for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    // A sentence ends at a full stop before a space or a line's end, never inside "1.01".
    end = text.find_first_of(".!?\n", start);
    while (end != std::string::npos && text[end] == '.' && end + 1 < text.size() && text[end + 1] != ' ' && text[end + 1] != '\n')
      end = text.find_first_of(".!?\n", end + 1);
    if (end == std::string::npos) end = text.size();
    const std::string sentence = text.substr(start, end - start);
    const bool install = Mentions(sentence, "elepíts") || Mentions(sentence, "elepíth");
    if (install && !Mentions(sentence, "ne telepíts") && !Mentions(sentence, "Ne telepíts") && Mentions(sentence, "Patchet")) return true;
  }
  return false;
}

// The tool's evidence for "the same version": the same size, in another
// date; true of the file before the run.
bool SameSize(const World& w, const std::string& a, const std::string& b) {
  return w.At(a) && w.At(b) && w.At(a)->bytes.size() == w.At(b)->bytes.size();
}

// A claim that `name` is what the run made odd: unreadable, a link or a folder.
std::string OddClaim(const World& b, const ToolRun& run, const char* name, EntryKind kind, bool link) {
  const auto made = name ? b.odd.find(Name(name)) : b.odd.end();
  const bool odd = name && ((run.odd == Name(name) && run.oddProbe.kind == kind && run.oddProbe.link == link) ||
                            (made != b.odd.end() && made->second.kind == kind && made->second.link == link));
  return odd ? "" : std::string(name ? Name(name) : "?") + " is misnamed as odd";
}

// The names said to hold an empty file hold one.
std::string EmptyClaim(const World& b, size_t i, const std::array<bool, 3>& empty) {
  for (size_t k = 0; k < 3; ++k) {
    if (empty[k] && !b.Bytes(NamesOf(i)[k]).empty()) return NamesOf(i)[k] + " is said to be empty";
  }
  return empty[0] || empty[1] || empty[2] ? "" : ActiveName(i) + " is said to be empty under no name";
}

// Some file's names contradict each other: it is under all three, or one
// stored copy of it is there and it is not (a folder holds no file). A file
// with an empty, linked or unreadable name is named for that instead.
bool Contradicts(const World& w) {
  return SomeFile([&](size_t i) {
    bool named = false;
    for (const std::string& name : NamesOf(i)) {
      const auto odd = w.odd.find(name);
      named = named || (odd != w.odd.end() && (odd->second.kind != EntryKind::Folder || odd->second.link)) ||
              (name != Temp(i) && w.Bytes(name).empty());
    }
    const bool a = w.At(ActiveName(i)), b = w.At(BaseCopyName(i)), p = w.At(PatchCopyName(i));
    return !named && ((a && b && p) || (!a && (b != p)));
  });
}

// "Its stored patched copy is gone", with the name it lost where the rest
// of the folder shows it, and no guess where names contradict each other.
std::string PatchedCopyGoneClaim(const World& b, size_t i, const char* gone) {
  const std::string active = ActiveName(i), patched = PatchCopyName(i);
  if (!Contradicts(b) && (!gone || Name(gone) != patched)) return active + ": the box does not name the copy that is gone";
  if (Contradicts(b) && gone) return active + ": the names contradict each other, and the box guesses what is gone";
  return b.At(patched) ? patched + " is said to be gone, and it is there" : "";
}

// A bit for each file whose stored copy alone says which version is active,
// by size: the base one (`base`) or the patched one; `odd`: with the files
// that have an odd or empty name too.
unsigned CopySays(const World& w, bool base, bool odd = false) {
  unsigned files = 0;
  for (size_t i = 0; i < kFiles; ++i) {
    const std::string says = (base ? PatchCopyName(i) : BaseCopyName(i)), free = (base ? BaseCopyName(i) : PatchCopyName(i));
    if ((odd || !w.Odd(i)) && w.At(ActiveName(i)) && w.At(says) && !w.At(free) && !SameSize(w, ActiveName(i), says)) files |= 1u << i;
  }
  return files;
}

// What the box says of one file of the switch, checked; empty when true.
// `excused` gains the file where the note explains why it keeps its version.
std::string FalseSwitchClaim(const World& b, const World& a, const SwitchFile& f, const ToolRun& run, const Versions& v, std::set<size_t>& excused) {
  // What the tool could not read, or found a link or a folder under.
  if (f.what == SwitchFinding::Unreadable) return OddClaim(b, run, f.name, EntryKind::Unknown, false);
  if (f.what == SwitchFinding::Linked) return OddClaim(b, run, f.name, EntryKind::File, true);
  if (f.what == SwitchFinding::FolderInTheWay) return OddClaim(b, run, f.name, EntryKind::Folder, false);
  const size_t i = IndexOf(f.entry);
  const std::string active = ActiveName(i), base = BaseCopyName(i), patched = PatchCopyName(i);
  if (f.gone && a.At(Name(f.gone))) return Name(f.gone) + " is said to be gone, and it is there";
  const auto sameAs = [&](const std::string& copy) {
    return b.Bytes(active) == b.Bytes(copy) || (SameSize(b, active, copy) && !(b.At(active)->lastWrite == b.At(copy)->lastWrite));
  };
  switch (f.what) {
    case SwitchFinding::NotPatchedYet: excused.insert(i); return sameAs(base) ? "" : active + " is said to be its base copy's version";
    case SwitchFinding::SameAsPatched: excused.insert(i); return sameAs(patched) ? "" : active + " is said to be its patched copy's version";
    case SwitchFinding::NoStoredCopy: excused.insert(i); return b.StoredAny(i) ? active + " is said to have nothing stored" : "";
    case SwitchFinding::BaseOverwritten: {
      // A version that is gone excuses no success: the file keeps the patch.
      // Where the patch keeps the size, the box says that it judged by the
      // size, which excuses the file it judged. Gone is from the set's
      // names: a temporary copy that holds it is named.
      const bool bySize = SameSize(b, active, patched) && !Twins(b.At(active), b.At(patched));
      if (bySize) excused.insert(i);
      const bool gone = !v.Changes(i) || (!a.Holds(v.base[i]) && (a.Bytes(Temp(i)) != v.base[i] || Mentions(run.text, Temp(i))));
      return gone || bySize ? "" : active + "'s base version is said to be gone, and it is in the folder";
    }
    case SwitchFinding::NotBackedUp:
    case SwitchFinding::NoBaseCopy: return b.At(base) ? active + " is said to have no stored base copy" : "";
    // Its stored patched copy is gone; that its base version is active is
    // what the rest of the folder says, a doubt the box tells.
    case SwitchFinding::PatchedCopyGone:
      excused.insert(i);
      return PatchedCopyGoneClaim(b, i, f.gone);
    case SwitchFinding::Empty: excused.insert(i); return EmptyClaim(b, i, f.empty);
    case SwitchFinding::Unsettled: {
      const std::array<std::string, 3> names{active, base, patched};
      for (size_t k = 0; k < 3; ++k) {
        const EntryKind kind = names[k] == run.odd          ? run.oddProbe.kind
                               : b.odd.count(names[k]) ? b.odd.at(names[k]).kind
                               : b.At(names[k])        ? EntryKind::File
                                                       : EntryKind::Missing;
        if (f.Kinds()[k] != kind) return "the box misstates what holds " + names[k];
      }
      return {};
    }
    // Its stored copy said which version was active, and some other file's
    // copy says the other. It excuses nothing: where the names are true, the
    // file is switched like any other.
    case SwitchFinding::SidesDisagree: {
      const bool saidBase = f.verdict == Verdict::BaseActive;
      if (!(CopySays(b, saidBase, true) & (1u << i))) return active + "'s stored copy is said to tell which version was active";
      return CopySays(b, !saidBase, true) ? "" : active + "'s stored copy is said to disagree with the rest, and none says otherwise";
    }
    default: return "a finding the in-memory folder cannot give: " + std::to_string(static_cast<int>(f.what));
  }
}

std::string FalseBackupClaim(const World& b, const World& a, const BackupFile& f, const ToolRun& run, const Versions& v) {
  const size_t i = IndexOf(f.entry);
  const std::string active = ActiveName(i), base = BaseCopyName(i), patched = PatchCopyName(i);
  if (f.gone && a.At(Name(f.gone))) return Name(f.gone) + " is said to be gone, and it is there";
  switch (f.done) {
    case BackupDone::Copied: return a.Bytes(base) == b.Bytes(active) ? "" : base + " is said to be a copy of " + active;
    case BackupDone::MayHoldPatch: return run.asked && !run.saidYes ? "" : "the player did not answer no";
    case BackupDone::TempKept:
      return b.At(Temp(i)) && !b.At(Temp(i))->bytes.empty() && !Twins(b.At(Temp(i)), b.At(active)) ? "" : Temp(i) + " is said not to be a copy of " + active;
    case BackupDone::CopyFailed:
    case BackupDone::TempLeft: {
      const FileStatus& why = f.done == BackupDone::CopyFailed ? f.copy.status : f.status;
      return why.reason == run.failure.reason && !run.refused.empty() ? "" : active + " is said to have failed, unrefused";
    }
    case BackupDone::Nothing: break;
  }
  switch (f.what) {
    case BackupFinding::ToCopy: return b.At(base) ? active + " is said to have no stored base copy" : "";
    case BackupFinding::BaseStored:
      return !v.Changes(i) || (b.vouched & (1u << i)) || a.Bytes(base) == v.base[i] ? "" : base + " is said to hold the base version";
    case BackupFinding::SameVersionStored:
      return b.Bytes(base) == b.Bytes(active) || SameSize(b, base, active) ? "" : base + " is said to be the same as " + active;
    case BackupFinding::PatchedStored:
      return !v.Changes(i) || b.Active(i) == v.base[i] || !v.Shows(i) ? "" : active + " is said to be the base version";
    case BackupFinding::PatchedCopyGone: return PatchedCopyGoneClaim(b, i, f.gone);
    // Said to be gone only if the patch replaced it. The box says the patch
    // is installed, and where it shows: on files of their stored patched
    // copy's size, which they may be, as a file the patch leaves alone looks
    // the same as one it was installed over.
    case BackupFinding::NoBaseCopy: {
      const bool bySize = Mentions(run.text, "amelyek megegyeznek a tárolt patchelt");
      if (bySize && !SomeFile([&](size_t j) { return SameSize(b, ActiveName(j), PatchCopyName(j)); }))
        return "the patch is said to show on files of their patched copy's size, and none is";
      if (!bySize && !SomeFile([&](size_t j) { return v.Changes(j) && b.Holds(v.patched[j]); }))
        return "the patch is said to be installed, and no patched file is in the folder";
      return b.At(base) ? active + " is said to have no stored base copy" : "";
    }
    case BackupFinding::SourceMissing: return b.At(active) || b.odd.count(active) || run.odd == active ? active + " is said to be missing" : "";
    // Said to contradict each other: under all three names, or stored and not active.
    case BackupFinding::Unsettled:
      return AllThree(b, i) || (!b.At(active) && (b.At(base) || b.At(patched))) ? "" : active + "'s names are said to contradict each other";
    case BackupFinding::Empty: return EmptyClaim(b, i, f.empty);
    case BackupFinding::Unreadable: return OddClaim(b, run, f.unreadables.front().first, EntryKind::Unknown, false);
    case BackupFinding::Linked: return OddClaim(b, run, f.links.front(), EntryKind::File, true);
    case BackupFinding::SourceIsFolder: return OddClaim(b, run, f.entry->ActiveName, EntryKind::Folder, false);
    case BackupFinding::StoredIsFolder: return OddClaim(b, run, f.entry->BaseCopyName, EntryKind::Folder, false);
    case BackupFinding::TempInTheWay: return OddClaim(b, run, f.entry->TempName, EntryKind::Folder, false);
    default: return "a finding the in-memory folder cannot give: " + std::to_string(static_cast<int>(f.what));
  }
}

// An earlier backup: the flag says it ended, or it left a copy under the set's names.
bool EarlierBackup(const World& w) {
  return w.flag == Flag::One || std::any_of(w.folder.begin(), w.folder.end(), [](const auto& file) { return Mentions(file.first, ".mrv"); });
}

// The patch stops the backup before its first copy: its box is about the
// files that show the patch alone.
bool StopsBackup(const BackupFile& f) { return f.what == BackupFinding::NoBaseCopy || f.done == BackupDone::MayHoldPatch; }
bool PatchStops(const ToolRun& run) { return run.backedUp && std::any_of(run.backedUp->files.begin(), run.backedUp->files.end(), StopsBackup); }

// What the box, or its question, owes the player, judged from the account:
// the question before a file is stored as base after an earlier backup, or
// before a switch over copies that disagree; every file it is about listed;
// a temporary copy beside a file it names, as what it is.
std::string OwedNote(const World& b, const ToolRun& run, const Versions& v) {
  for (size_t i = 0; i < kFiles; ++i) {
    if (b.At(BaseCopyName(i)) || !run.after.At(BaseCopyName(i))) continue;
    if (run.asked && !Listed(run.question, i)) return "the question does not list " + ActiveName(i) + ", which is stored";
    if (run.backedUp && !run.asked && EarlierBackup(b)) return "a file is stored as base after an earlier backup, and nobody was asked";
  }
  // Beside a base copy stored, a file with nothing stored may hold the
  // patch by now, which the folder cannot show unless some file shows the
  // patch, and only the flag says the backup ended.
  const bool switched = SomeFile([&](size_t i) { return b.At(PatchCopyName(i)); });
  const bool baseStored = SomeFile([&](size_t i) { return b.At(BaseCopyName(i)); });
  const bool shows = SomeFile([&](size_t i) { return b.At(BaseCopyName(i)) && b.At(ActiveName(i)) && !SameSize(b, ActiveName(i), BaseCopyName(i)); });
  if (run.backedUp && run.plain && !run.asked && !switched && b.Unstored() && baseStored && (b.flag != Flag::One || !shows))
    return "a file with nothing stored is beside a stored one, and nobody was asked";
  // Beside base files, a file with nothing stored lost its patched copy, as
  // far as the folder tells: every box over such a folder says so, unless
  // the patch stops the backup before its first copy.
  for (size_t i = 0; run.plain && !PatchStops(run) && i < kFiles; ++i) {
    if (v.Shows(i) && StaysUnstored(b, v, GameVersion::Base, i) && !Mentions(run.text, PatchCopyName(i)))
      return "the box does not say that " + PatchCopyName(i) + " is gone";
  }
  // Where the backup ended or a switch was made, a file that shows the patch
  // says it is installed: the files with nothing stored are not asked about.
  if (run.backedUp && run.plain && run.asked && ShowsActive(b, v, GameVersion::Patched) && b.Ended())
    return "the question is asked where the folder shows the patch installed";
  if (run.backedUp && run.asked && !SomeFile([&](size_t i) { return Listed(run.question, i); })) return "the question lists no file";
  const unsigned saysBase = CopySays(b, true), saysPatched = CopySays(b, false);
  if (run.switched && saysBase && saysPatched) {
    if (run.after.folder != b.folder && !run.asked) return "the switch moved files whose copies disagree, and nobody was asked";
    for (size_t i = 0; run.asked && i < kFiles; ++i) {
      if (((saysBase | saysPatched) & (1u << i)) && !Mentions(run.question, ActiveName(i))) return "the question does not name " + ActiveName(i);
    }
  }
  // A file judged by its size alone, against another date, is named so;
  // where a name cannot be read, the switch judges none: the folder may
  // read otherwise once it can.
  const bool unreadable = (!run.odd.empty() && run.oddProbe.kind == EntryKind::Unknown) ||
                          std::any_of(b.odd.begin(), b.odd.end(), [&](const auto& o) { return o.second.kind == EntryKind::Unknown && o.first != run.odd; });
  if (run.switched && unreadable && !run.switched->dateDiffers.empty()) return "a name could not be read, and the switch judged files by their size";
  const bool read = run.switched && run.switched->kind != SwitchKind::NotReady && run.switched->kind != SwitchKind::Unreadable;
  for (size_t i = 0; read && i < kFiles; ++i) {
    const std::string active = ActiveName(i), base = BaseCopyName(i), patched = PatchCopyName(i);
    if (b.Odd(i) || MadeOdd(run, i) || !b.At(active) || (b.At(base) != nullptr) == (b.At(patched) != nullptr)) continue;
    const std::string& copy = b.At(base) ? base : patched;
    if (SameSize(b, active, copy) && !Twins(b.At(active), b.At(copy)) && !Mentions(run.text, active + " (" + copy))
      return "the box does not say that " + active + " was judged by its size alone";
  }
  // The files the box is about: where the patch stops the backup, those that show it alone.
  const bool stopped = PatchStops(run);
  const auto about = [&](size_t i) {
    const auto of = [&](const auto& f) { return f.entry == &FileSet[i]; };
    if (run.switched) return std::any_of(run.switched->files.begin(), run.switched->files.end(), of);
    return run.backedUp && std::any_of(run.backedUp->files.begin(), run.backedUp->files.end(), [&](const BackupFile& f) {
      return of(f) && (stopped ? StopsBackup(f) : (f.Failed() && f.done != BackupDone::TempLeft) || f.what == BackupFinding::PatchedCopyGone);
    });
  };
  // A temporary copy beside a file the box names is named too, as empty
  // where it is, unless the run removed it and made it again: then it is
  // the run's own. A name called a killed backup's copy is one.
  for (size_t i = 0; i < kFiles; ++i) {
    const MemoryFile* temp = b.At(Temp(i));
    const bool there = temp && !b.odd.count(Temp(i)) && run.odd != Temp(i);
    const std::string called = Temp(i) + " egy félbeszakadt mentés";
    if (Mentions(run.text, called) && !there) return Temp(i) + " is called a killed backup's copy, and is none";
    if (Mentions(run.text, called) && Mentions(run.text, called + " üres") != temp->bytes.empty())
      return "the box misstates whether " + Temp(i) + " is empty";
    if (!there || !Mentions(run.text, ActiveName(i)) || !about(i) || !(run.after.At(Temp(i)) && *run.after.At(Temp(i)) == *temp) ||
        std::any_of(run.crashes.begin(), run.crashes.end(), [&](const World& c) { return !c.At(Temp(i)); }))
      continue;
    if (!Mentions(run.text, Temp(i))) return "the box names " + ActiveName(i) + " and not " + Temp(i) + " beside it";
    if (temp->bytes.empty() && !Mentions(run.text, called + " üres")) return "the box does not call the empty " + Temp(i) + " empty";
  }
  // A refusal names every empty file of the set's as empty, unless a name
  // it cannot read or a link comes first.
  const bool refused = (run.switched && run.switched->kind == SwitchKind::Refused) ||
                       (run.backedUp && run.backedUp->kind == BackupKind::Failed && !run.backedUp->asked && run.refused.empty() &&
                        std::none_of(run.backedUp->files.begin(), run.backedUp->files.end(),
                                     [](const BackupFile& f) { return f.what == BackupFinding::NoBaseCopy; }));
  for (size_t i = 0; refused && i < kFiles; ++i) {
    const std::array<std::string, 4> names = NamesOf(i);
    const bool odd = MadeOdd(run, i) || std::any_of(names.begin(), names.end(), [&](const std::string& n) { return b.odd.count(n); });
    for (const std::string& name : {names[0], names[1], names[2]}) {
      if (!odd && b.Bytes(name).empty() && !(Mentions(run.text, "üres") && Mentions(run.text, name)))
        return "the refusal does not name the empty " + name;
    }
  }
  return {};
}

// P7: from a plain folder the tool does what renames and copies can do, and
// its box says where one version is active and the other stored alone.
std::string LeftUndone(const World& b, const ToolRun& run, const Versions& v) {
  // Unasked, where nothing is patched, a backup that fails on one file
  // stores the others all the same.
  const BackupOutcome* backup = run.backedUp ? &*run.backedUp : nullptr;
  if (backup && !backup->asked && backup->kind == BackupKind::Failed && run.refused.empty() && !b.PlayersWord() && NothingPatched(b, v)) {
    for (size_t i = 0; i < kFiles; ++i) {
      if (!b.Odd(i) && !b.At(Temp(i)) && !MadeOdd(run, i) && !b.StoredAny(i) && b.At(ActiveName(i)) && b.Active(i) == v.base[i] &&
          run.after.Bytes(BaseCopyName(i)) != v.base[i])
        return "P7: the backup failed on another file, and did not store " + ActiveName(i);
    }
  }
  if (!run.plain) return {};
  if (run.switched) {
    const SwitchOutcome& o = *run.switched;
    const bool reachable = Reachable(b, v, o.target);
    if (reachable && !o.Succeeded()) return "P7: renames alone make the chosen version active, and the switch did not";
    if (const auto i = FirstFile([&](size_t i) { return run.after.Active(i) != v.Of(o.target)[i]; }); i && reachable)
      return "P7: renames alone make the chosen version active, and " + ActiveName(*i) + " does not hold it";
    // Every active file of one version beside a stored copy of that version
    // alone: the base version backed up and the patch not installed, or the
    // patch installed over the base version.
    for (const bool base : {true, false}) {
      const bool alone = EveryFile([&](size_t i) {
        return b.Active(i) == (base ? v.base : v.patched)[i] && b.Bytes(base ? BaseCopyName(i) : PatchCopyName(i)) == b.Active(i) &&
               !b.At(base ? PatchCopyName(i) : BaseCopyName(i));
      });
      const SwitchKind said = base ? (o.target == GameVersion::Base ? SwitchKind::BaseAlreadyActive : SwitchKind::PatchNotInstalled)
                                   : (o.target == GameVersion::Patched ? SwitchKind::PatchedAlreadyActive : SwitchKind::Refused);
      if (alone && o.kind != said) return "P7: every file is of one version beside its stored copy alone, and the box does not say so";
    }
  }
  if (run.backedUp && BackupCanBeWhole(b, v) && !run.backedUp->Succeeded()) return "P7: the backup can be made whole in the room it has, and was not";
  return {};
}

// The box's own words checked against the account: every size it gives
// a name of the set's is that name's, no line of it is said twice, and every
// file a refused switch lists is named by one of its names.
std::string Misworded(const World& b, const ToolRun& run, const Versions&) {
  for (size_t i = 0; i < kFiles; ++i) {
    for (const std::string& name : NamesOf(i)) {
      const auto odd = b.odd.find(name);
      std::optional<uint64_t> size;  // none where the name holds nothing
      if (b.At(name)) size = b.Bytes(name).size();
      if (odd != b.odd.end()) size = odd->second.size;
      if (run.odd == name) size = run.oddProbe.size;
      for (size_t at = run.text.find(name + ": "); at != std::string::npos; at = run.text.find(name + ": ", at + 1)) {
        char* end = nullptr;
        const unsigned long long said = std::strtoull(run.text.c_str() + at + name.size() + 2, &end, 10);
        if (std::string(end).rfind(" bájt", 0) == 0 && size != said) return "the box gives " + name + " a size it does not have";
      }
    }
  }
  std::set<std::string> lines;
  for (size_t from = 0, to = 0; from < run.text.size(); from = to + 1) {
    to = std::min(run.text.find('\n', from), run.text.size());
    if (to - from > 40 && !lines.insert(run.text.substr(from, to - from)).second) return "the box says a line twice";
  }
  const bool refused = run.switched && run.switched->kind == SwitchKind::Refused;
  for (const SwitchFile& f : refused ? run.switched->files : std::vector<SwitchFile>{}) {
    const auto names = f.entry ? NamesOf(IndexOf(f.entry)) : std::array<std::string, 4>{};
    if (f.entry && std::none_of(names.begin(), names.end(), [&](const std::string& n) { return Mentions(run.text, n); }))
      return "the refusal does not name " + names[0];
  }
  return {};
}

std::string LastCopyLost(const World& before, const ToolRun& run, const Versions& v) {
  // A patched file the player backed up as base is the player's word: a
  // killed backup's copy of it is taken for the version still active.
  const auto vouchedFor = [&](const std::string& bytes) {
    return SomeFile([&](size_t i) { return (before.vouched & (1u << i)) && bytes == v.patched[i]; });
  };
  for (const auto& [name, f] : before.folder) {
    if (!f.bytes.empty() && run.after.Copies(f.bytes) == 0 && !vouchedFor(f.bytes)) return "P1: the last copy of " + name + " is gone";
  }
  for (const auto& [name, bytes] : before.outside) {
    if (run.after.Copies(bytes) == 0) return "P1: what the link " + name + " leads to is gone";
  }
  return {};
}

std::string OtherVersionStored(const World& before, const ToolRun& run, const Versions& v) {
  for (size_t i = 0; i < kFiles && !run.after.PlayersWord(); ++i) {
    for (const auto& [name, wrong] : {std::pair{BaseCopyName(i), v.patched[i]}, std::pair{PatchCopyName(i), v.base[i]}}) {
      if (v.Changes(i) && run.after.Bytes(name) == wrong && !(before.At(name) && *before.At(name) == *run.after.At(name)))
        return "P2: " + name + " now holds the other version";
    }
  }
  return {};
}

std::string UntrueOfTheSwitch(const World& before, const ToolRun& run, const Versions& v) {
  if (!run.switched) return {};
  const SwitchOutcome& o = *run.switched;
  std::set<size_t> excused;
  if ((o.kind == SwitchKind::Undone || o.kind == SwitchKind::Stranded) &&
      (run.refused != Name(o.failed.from) || o.failed.status.reason != run.failure.reason))
    return "the failed rename names " + Name(o.failed.from) + ", the refused operation was on " + run.refused;
  for (const RefusedRename& r : o.stranded) {
    if (!run.after.At(Name(r.from)) || run.after.Bytes(Name(r.from)) != before.Bytes(Name(r.to)))
      return Name(r.from) + " is said to hold " + Name(r.to) + "'s file";
  }
  // A scanner's hold (a file in use, or access denied while it reads) passes
  // and pressing again finishes; a full drive or the rights stay.
  const bool passes = run.failure.kind == FailureKind::InUse || run.failure.kind == FailureKind::AccessDenied;
  if (o.kind == SwitchKind::Stranded && o.pressAgain != passes)
    return o.pressAgain ? "pressing again is offered, and the refusal stays" : "the hold passes, and pressing again is not offered";
  for (const SwitchFile& f : o.files) {
    // What the tool says of a file whose names the player made is the player's.
    if (f.entry && before.PlayersWord()) continue;
    if (const std::string lie = FalseSwitchClaim(before, run.after, f, run, v, excused); !lie.empty()) return lie;
  }
  for (const SwitchFile& f : o.dateDiffers) {
    const size_t i = IndexOf(f.entry);
    const std::string active = ActiveName(i), copy = f.verdict == Verdict::SameAsPatchedCopy ? PatchCopyName(i) : BaseCopyName(i);
    if (!SameSize(before, active, copy) || before.At(active)->lastWrite == before.At(copy)->lastWrite)
      return active + " is said to match " + copy + " in size and not in date";
  }
  // Applied with no patched file in the folder, unless the box names every
  // file the patch changes with why it stays.
  if (o.kind == SwitchKind::Applied && o.target == GameVersion::Patched && !run.after.PlayersWord() &&
      !EveryFile([&](size_t i) { return !v.Changes(i) || excused.count(i); }) &&
      !SomeFile([&](size_t i) { return v.Changes(i) && before.Copies(v.patched[i]) > 0; }))
    return "the patched version is said to be applied, and no patched file is in the folder";
  if (o.kind == SwitchKind::Refused && o.files.empty()) return "the switch is refused, and the box names nothing in the way";
  if ((o.kind == SwitchKind::BaseAlreadyActive || o.kind == SwitchKind::PatchedAlreadyActive) && run.after.folder != before.folder)
    return "\"nothing changed\", and the folder did";
  const auto wrong = FirstFile([&](size_t i) {
    return !excused.count(i) && run.after.Active(i) != v.Of(o.target)[i] && (v.Shows(i) || o.target == GameVersion::Patched);
  });
  if (o.Succeeded() && wrong && !run.after.PlayersWord()) return "success, but " + ActiveName(*wrong) + " does not hold the chosen version";
  if (!o.Succeeded() && run.after.folder != before.folder && o.kind != SwitchKind::Stranded) return "the switch failed and the folder changed";
  if ((o.kind == SwitchKind::BaseAlreadyActive || o.kind == SwitchKind::PatchNotInstalled) && !run.after.PlayersWord() &&
      SomeFile([&](size_t i) { return v.Shows(i) && run.after.Holds(v.patched[i]); }))
    return "\"the patch is not installed yet\", but a patched file is there";
  return {};
}

std::string UntrueOfTheBackup(const World& before, const ToolRun& run, const Versions& v) {
  if (!run.backedUp) return {};
  const BackupOutcome& o = *run.backedUp;
  // The flag is the tool's word that the backup was made: set by a backup that says so, and by no other.
  if (o.Succeeded() && run.after.flag != Flag::One) return "the backup is said to be made, and the flag does not say so";
  if (!o.Succeeded() && before.flag != Flag::One && run.after.flag == Flag::One) return "the backup failed, and the flag says it was made";
  if (run.asked && !EarlierBackup(before)) return "the player is asked about an earlier backup, and there was none";
  // Without the flag and any switch, a stored base copy of another size
  // beside a file with nothing stored may be left from an older install:
  // it does not show the patch installed.
  if (o.kind == BackupKind::AlreadyPatched && !before.Ended() && before.Unstored())
    return "the patch is said to be installed on a stray stored copy's word";
  for (size_t k = 0; k < o.files.size() && !before.PlayersWord(); ++k) {
    if (const std::string lie = FalseBackupClaim(before, run.after, o.files[k], run, v); !lie.empty()) return lie;
  }
  // A file the patch reached before the backup resumed may be active:
  // installing the patch over it, as the box says, loses nothing.
  for (size_t i = 0; i < kFiles && o.kind == BackupKind::Done && !run.after.PlayersWord(); ++i) {
    const bool either = run.after.Active(i) == v.base[i] || run.after.Active(i) == v.patched[i];
    if (v.Shows(i) && (run.after.Bytes(BaseCopyName(i)) != v.base[i] || !either))
      return "\"the backups are made\", but " + BaseCopyName(i) + " is not the base version";
  }
  if (const auto i = FirstFile([&](size_t i) { return AllThree(run.after, i); }); i && o.Succeeded())
    return "the backup says it is done, and left " + ActiveName(*i) + " under all three names";
  if (o.kind == BackupKind::Failed && PatchStops(run) && run.after.folder != before.folder) return "nothing was to be copied, but the folder changed";
  // A failed backup says that the base versions it kept stay: stored, or
  // active beside a stored patched copy, of a file whose names are settled.
  const bool kept = SomeFile([&](size_t i) {
    const World& a = run.after;
    return a.At(ActiveName(i)) && !AllThree(a, i) && !a.Odd(i) && !MadeOdd(run, i) &&
           (a.Bytes(BaseCopyName(i)) == v.base[i] || (a.Active(i) == v.base[i] && a.Bytes(PatchCopyName(i)) == v.patched[i]));
  });
  if (o.kind == BackupKind::Failed && !PatchStops(run) && kept && !Mentions(run.text, "mentések megmaradnak"))
    return "the backup failed, and the box does not say that the copies it kept stay";
  return {};
}

std::string HindranceUntold(const World&, const ToolRun& run, const Versions&) {
  // A name that cannot be read, or a link, stops either operation, and the
  // box names it, unless the patch stops the backup before its first copy.
  if (!run.odd.empty() && (run.oddProbe.kind == EntryKind::Unknown || run.oddProbe.link)) {
    if (run.Succeeded()) return run.odd + " could not be taken at its word, and the tool went on";
    if (!PatchStops(run) && !Mentions(run.text, run.odd)) return "the box does not name " + run.odd;
  }
  // A refused operation is named with its cause, never a plain success.
  if (!run.refused.empty() && !Mentions(run.text, run.failure.reason)) return run.refused + " was refused, and the box does not say why";
  // The folder's permissions are blamed only where its first change was refused.
  if (!run.refused.empty() && run.failure.kind == FailureKind::FolderDenied &&
      Mentions(run.text, "A Game mappa jogosultságai") != (run.refusedCall == 1))
    return run.refused + (run.refusedCall == 1 ? " was refused first, and the folder is not blamed"
                                               : " was refused after other changes, and the folder is blamed");
  return {};
}

using Promise = std::string (*)(const World& before, const ToolRun& run, const Versions& v);
// The text of the first of `promises` that the run broke, in their order; empty when none.
std::string FirstBroken(std::initializer_list<Promise> promises, const World& before, const ToolRun& run, const Versions& v) {
  for (const Promise broken : promises) {
    if (std::string text = broken(before, run, v); !text.empty()) return text;
  }
  return {};
}

std::string UntrueBox(const World& before, const ToolRun& run, const Versions& v) {
  if (const std::string unread = BoxTextProblem(run.text); !unread.empty()) return "P3: the box cannot be read whole: " + unread;
  const std::string lie = FirstBroken({OwedNote, Misworded, UntrueOfTheSwitch, UntrueOfTheBackup, HindranceUntold}, before, run, v);
  return lie.empty() ? lie : "P3: " + lie;
}

std::string PatchAdvisedOverTheOnlyBase(const World& before, const ToolRun& run, const Versions& v) {
  if (run.after.PlayersWord()) return {};
  const auto onlyBase = FirstFile([&](size_t i) { return v.Changes(i) && run.after.Copies(v.base[i]) == 1 && run.after.Active(i) == v.base[i]; });
  // Before the patch came, a backup that is not whole warns against it,
  // unless the player said the files may hold it.
  const bool saidPatched = run.asked && !run.saidYes;
  if (onlyBase && run.backedUp && !run.Succeeded() && !saidPatched && NothingPatched(before, v) && !Mentions(run.text, "ne telepítsd"))
    return "P4: the backup is not whole, and the box does not warn that the patch would overwrite " + ActiveName(*onlyBase);
  if (!AdvisesPatch(run.text)) return {};
  // Nor says the backup is made for the patch to come where every file is
  // stored and shows the patch.
  if (run.backedUp && run.backedUp->kind == BackupKind::Done && !before.Unstored() &&
      EveryFile([&](size_t i) { return !v.Shows(i) || run.after.Active(i) == v.patched[i]; }))
    return "P4: the backup advises the patch, and every file shows it";
  if (onlyBase) return "P4: the box advises the patch, but " + ActiveName(*onlyBase) + "'s only base version is active";
  return {};
}

std::string BrokenPromise(const World& before, const ToolRun& run, const Versions& v) {
  // P1, P2, and where the machine did not stop (a crash shows no box) P3, P7 and P4.
  if (run.crashed) return FirstBroken({LastCopyLost, OtherVersionStored}, before, run, v);
  return FirstBroken({LastCopyLost, OtherVersionStored, UntrueBox, LeftUndone, PatchAdvisedOverTheOnlyBase}, before, run, v);
}

// Both switches from the folder, and back from where each lands, every run
// held to the promises: what the first one broke goes to `broken`.
bool BothSwitchesWork(const World& w, const Versions& v, std::string& broken) {
  // The switches see only the folder: one answer a folder of a world (the
  // worlds differ in what the patch writes to vonu.exe).
  static std::unordered_map<std::string, std::pair<bool, std::string>> known;
  const auto [it, fresh] = known.try_emplace(v.patched[6] + w.Key(), true, std::string());
  bool& work = it->second.first;
  std::string& lie = it->second.second;
  if (fresh) {
    const auto run = [&](const World& from, Act act) {
      ToolRun step = RunTool(from, act, v);
      work = work && step.applies && step.switched->Succeeded();
      if (lie.empty() && step.applies && !(lie = BrokenPromise(from, step, v)).empty())
        lie += "\n" + Describe({act}) + " (both switches tried)\nbox: " + step.text;
      return step.after;
    };
    run(run(w, Act::ToBase), Act::ToPatched);
    run(run(w, Act::ToPatched), Act::ToBase);
  }
  if (broken.empty()) broken = lie;
  return work;
}

// A box that tells what is no longer in the folder and how to get it back,
// or which names hold a file where they contradict each other, as the
// account has it (a switch cut off is for the tool to finish): what is left
// is the player's to sort out by hand.
bool SaysWhatIsGone(const ToolRun& run, const World& w) {
  // Under all three names or under none, under one stored name alone, or odd.
  const auto unsettled = [&](size_t i) { return !!w.At(ActiveName(i)) == (w.At(BaseCopyName(i)) && w.At(PatchCopyName(i))) || w.Odd(i); };
  for (const SwitchFile& f : run.switched ? run.switched->files : std::vector<SwitchFile>{}) {
    if (f.what == SwitchFinding::BaseOverwritten || f.what == SwitchFinding::NoBaseCopy || f.what == SwitchFinding::Unreadable ||
        f.what == SwitchFinding::PatchedCopyGone || (f.what == SwitchFinding::Unsettled && unsettled(IndexOf(f.entry))))
      return true;
  }
  for (const BackupFile& f : run.backedUp ? run.backedUp->files : std::vector<BackupFile>{}) {
    if (f.what == BackupFinding::PatchedCopyGone || (f.what == BackupFinding::Unsettled && unsettled(IndexOf(f.entry))) ||
        f.what == BackupFinding::SourceMissing || f.what == BackupFinding::Unreadable || f.what == BackupFinding::NoBaseCopy)
      return true;
  }
  return false;
}

// What the boxes of one step tell the player to do, read from what each box
// is worded from: its findings, its kind and its notes.
struct Advice {
  bool restore = false;    // a scanner may hold a file: restore it from its quarantine
  bool reinstall = false;  // reinstall the game, or its base version
  bool startOver = false;  // and delete the stored copies
  bool patch = false;      // install the patch, now or again
};

Advice AdviceOf(const std::vector<ToolRun>& runs) {
  using F = SwitchFinding;
  Advice a;
  const auto missing = [](const FolderCheck& c) { return c.state == FolderCheck::State::DirUnusable || c.state == FolderCheck::State::Missing; };
  for (const ToolRun& run : runs) {
    if (const std::optional<SwitchOutcome>& o = run.switched) {
      for (const SwitchFile& f : o->files) {
        a.restore |= f.what == F::NotBackedUp || f.what == F::NoBaseCopy || f.what == F::Empty || f.what == F::PatchedCopyGone;
        a.reinstall |= f.what == F::BaseOverwritten || f.what == F::SidesDisagree;
        a.startOver |= f.what == F::SidesDisagree;
      }
      a.reinstall |= o->kind == SwitchKind::NotReady && missing(o->folder);
      a.patch |= o->kind == SwitchKind::BaseAlreadyActive || o->kind == SwitchKind::PatchNotInstalled || o->patchAgain;
    }
    if (const std::optional<BackupOutcome>& o = run.backedUp) {
      for (const BackupFile& f : o->files) {
        a.restore |= o->kind == BackupKind::AlreadyPatched && f.what == BackupFinding::PatchedCopyGone;
        a.reinstall |= f.done == BackupDone::MayHoldPatch;
      }
      a.reinstall |= o->stop == BackupStop::NoBaseCopy || (o->kind == BackupKind::NotReady && missing(o->folder));
      a.patch |= o->kind == BackupKind::Done;
    }
  }
  return a;
}

// The player does what the face and the boxes say, and tries the other version when one is refused or changes nothing.
std::string DeadEnd(World w, const Versions& v) {
  std::set<std::string> seen;
  for (int runs = 0; runs < 10; ++runs) {
    // Once the player has backed up patched files as base, the tool's account
    // of the versions is the player's: the read-me tells how to start over.
    std::string broken;
    if (BothSwitchesWork(w, v, broken) || w.PlayersWord() || !broken.empty()) return broken;
    std::vector<ToolRun> runs_;
    for (Act act : StartFace(w) == Face::FirstRun ? std::vector<Act>{Act::Ok} : std::vector<Act>{Act::ToBase, Act::ToPatched})
      runs_.push_back(RunTool(w, act, v));
    std::string said;
    bool moved = false, gone = false;
    const World start = w;
    for (const ToolRun& run : runs_) {
      // Every run on the way is held to the promises too.
      if (const std::string broken = BrokenPromise(start, run, v); !broken.empty()) return broken + "\n" + run.text;
      if (!moved && run.Succeeded() && run.after.Key() != w.Key()) w = run.after, moved = true;
      said += run.text;
      gone = gone || SaysWhatIsGone(run, start);
    }
    if (moved) continue;
    // A box that says what is gone ends the way; no other comes back.
    if (!seen.insert(w.Key() + said).second) return gone ? std::string() : "P5: doing what the box says brings back the same box\n" + said;
    std::optional<World> next;
    const Advice advice = AdviceOf(runs_);
    if (!w.quarantine.empty() && advice.restore) next = PlayerMove(w, {Act::Restore}, v);
    if (!next && advice.reinstall) next = PlayerMove(w, {Act::Reinstall}, v);
    // Starting over: the stored copies deleted too.
    if (next && advice.startOver) {
      for (const char* family : {".mrvdef", ".mrvupd"}) next = PlayerMove(*next, {Act::DeleteFamily, family}, v);
      next->renamed = false;
    }
    // Set aside what the box names as no version of the file's: an empty
    // file, a temporary copy kept, a link or a folder.
    if (!next) {
      World aside = w;
      const auto away = [&](const FileSetEntry& e, const std::array<bool, 3>& empty, std::initializer_list<const char*> names) {
        for (size_t k = 0; k < 3; ++k) if (empty[k]) aside.folder.erase(NamesOf(IndexOf(&e))[k]);
        for (const char* name : names) aside.folder.erase(Name(name)), aside.odd.erase(Name(name));
      };
      for (const ToolRun& run : runs_) {
        for (const BackupFile& f : run.backedUp ? run.backedUp->files : std::vector<BackupFile>{}) {
          const FileSetEntry& e = *f.entry;
          if (f.what == BackupFinding::Empty) away(e, f.empty, {});
          if (f.what == BackupFinding::StoredIsFolder) away(e, {}, {e.BaseCopyName});
          if (f.done == BackupDone::TempKept || f.what == BackupFinding::TempInTheWay) away(e, {}, {e.TempName});
          if (f.what == BackupFinding::SourceIsFolder) away(e, {}, {e.ActiveName});
          if (f.what == BackupFinding::Linked) away(e, {}, {f.links.front()});
        }
        for (const SwitchFile& f : run.switched ? run.switched->files : std::vector<SwitchFile>{}) {
          if (f.what == SwitchFinding::Empty) away(*f.entry, f.empty, {});
          if (f.what == SwitchFinding::Linked || f.what == SwitchFinding::FolderInTheWay) away(FileSet[0], {}, {f.name});
        }
      }
      if (aside.Key() != w.Key()) next = aside;
    }
    if (!next && advice.patch) next = PlayerMove(w, {Act::Patch, "", 0x7f}, v);
    if (!next) return gone ? std::string() : "P5: nothing the box says helps\n" + said;
    w = *next;
  }
  std::string broken;
  return BothSwitchesWork(w, v, broken) ? broken : "P5: ten runs of the tool do not make both switches work";
}

std::string WrongFace(const World& w, const Versions& v) {
  const bool firstRun = StartFace(w) == Face::FirstRun;
  // Without its folder, the flag alone says whether the backup was made.
  if (w.folderGone && firstRun == (w.flag == Flag::One)) return "P6: without the Game folder, a face the flag does not ask for";
  if (w.PlayersWord() || w.folderGone || SomeFile([&](size_t i) { return w.Odd(i); })) return {};
  // Without the flag, the backup is asked for wherever a file has no stored
  // base copy and no switch was made: a stray copy shows no patch.
  const bool unsaved = SomeFile([&](size_t i) { return !w.At(BaseCopyName(i)); });
  const bool switched = SomeFile([&](size_t i) { return w.At(PatchCopyName(i)); });
  if (w.flag != Flag::One && firstRun != (unsaved && !switched))
    return firstRun ? "P6: the first-run face, with a switch made or nothing to back up"
                    : "P6: the version choice, without the flag and with a file not backed up";
  // Names that contradict each other: either face leads to a box that lists them.
  if (w.flag != Flag::One || SomeFile([&](size_t i) { return AllThree(w, i); })) return {};
  const bool patchThere = SomeFile([&](size_t i) {
    return v.Changes(i) && (w.Active(i) == v.patched[i] || w.Bytes(BaseCopyName(i)) == v.patched[i] || w.Bytes(PatchCopyName(i)) == v.patched[i]);
  });
  // A patched file stored, or beside a stored base version, shows in its size.
  const bool patchShows = SomeFile([&](size_t i) {
    return v.Changes(i) && v.Shows(i) &&
           (w.Bytes(PatchCopyName(i)) == v.patched[i] || (w.Active(i) == v.patched[i] && w.Bytes(BaseCopyName(i)) == v.base[i]));
  });
  // A file gone with nothing stored: either face leads to a box that names it.
  const bool nothingStored = SomeFile([&](size_t i) { return !w.StoredAny(i); });
  if (firstRun && (!nothingStored || patchShows)) return "P6: the first-run face, with nothing to back up";
  if (!firstRun && w.Unstored() && !patchThere) return "P6: the version choice, with a file not backed up";
  return {};
}

}  // namespace player_world
