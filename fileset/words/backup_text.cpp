#include "fileset/words/outcome_text.h"

#include "common/texts.h"
#include "fileset/decide/game_folder.h"
#include "fileset/words/text_parts.h"

namespace {

const char kDone[] =
    "A biztonsági mentések elkészültek! Most telepítheted a Vonu11 1.01 Patchet! Utána újra futtatva ezt a "
    "programot, kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";
const char kAlreadyPatched[] =
    "A biztonsági mentések megvannak, a Vonu11 1.01 Patch pedig már telepítve van! Futtasd újra ezt a programot, "
    "és kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";

std::string Megabytes(uint64_t bytes, bool roundUp) {
  const uint64_t mib = uint64_t{1} << 20;
  return std::to_string(roundUp ? (bytes + mib - 1) / mib : bytes / mib) + " MB";
}

// Size and last-write time as the user finds them in the folder's listing.
std::string Described(const char* name, const PathProbe& probe, const TimeZone& zone) {
  return ShownName(name) + ": " + std::to_string(probe.size) + " bájt, " + LocalTimeText(probe.lastWrite, zone);
}

std::string WhyCopyFailed(const BackupFile& f) {
  const FileSetEntry& e = *f.entry;
  const std::string temp = ShownName(e.TempName);
  const CopyResult& c = f.copy;
  std::string text;
  if (c.status.kind == FailureKind::Changed) {
    return "a file megváltozott, miközben a program másolta (a másolat mérete " + std::to_string(c.copied) +
           " bájt, az eredetié " + std::to_string(c.expected) +
           " bájt): valószínűleg a játék vagy egy telepítő írt bele éppen. Zárd be őket, majd futtasd újra a "
           "biztonsági mentést!";
  }
  switch (c.stage) {  // GCOVR_EXCL_BR_LINE every stage has its case
    case CopyStage::Source: text = "nem olvasható: " + Why(c.status); break;
    case CopyStage::Temp: text = "a másolata (" + temp + ") nem írható: " + Why(c.status); break;
    case CopyStage::Target:
      text = "a kész másolat (" + temp + ") nem nevezhető át " + ShownName(e.BaseCopyName) + " névre: " + Why(c.status);
      break;
  }
  if (!c.removal) text += "; a félkész " + temp + " nem törölhető: " + Why(c.removal);
  return text;
}

// The links under a file's names, and what to do about them.
std::string LinksAt(const BackupFile& f) {
  std::vector<std::string> names;
  for (const char* name : f.links) names.push_back(ShownName(name));
  if (names.empty()) names.push_back(ShownName(f.name));
  return "a " + JoinNames(names) + " nevén hivatkozás (junction vagy szimbolikus link) áll, nem file; a program "
         "hivatkozáson át nem másol. Töröld a hivatkozást, tedd a helyére magát a file-t";
}

// Why one file could not be backed up.
std::string WhyNotSaved(const BackupFile& f, const TimeZone& zone) {
  const FileSetEntry& e = *f.entry;
  const std::string temp = ShownName(e.TempName);
  switch (f.done) {
    case BackupDone::TempLeft: return "a félkész " + temp + " nem törölhető: " + Why(f.status);
    case BackupDone::TempKept:
      return "a " + temp + " egy félbeszakadt mentés másolata, de a mérete vagy a dátuma eltér a file-étól (" +
             Described(e.TempName, f.temp, zone) + "; " + Described(e.ActiveName, f.active, zone) +
             "), így egy korábbi változatot tarthat: a program nem törli, és nem ment a helyére";
    case BackupDone::CopyFailed: return WhyCopyFailed(f);
    default: break;
  }
  switch (f.what) {  // GCOVR_EXCL_BR_LINE only the findings of a failed file are worded here
    case BackupFinding::SourceMissing: return "nem található a Game mappában";
    case BackupFinding::SourceIsFolder: return "a " + ShownName(e.ActiveName) + " nevet egy mappa foglalja";
    case BackupFinding::StoredIsFolder: return "a " + ShownName(e.BaseCopyName) + " nevet egy mappa foglalja";
    case BackupFinding::TempInTheWay: return "a " + temp + " nevet egy mappa foglalja";
    case BackupFinding::Unreadable: {
      std::vector<std::string> names;
      for (const auto& [name, why] : f.unreadables) names.push_back("a " + ShownName(name) + " nem ellenőrizhető: " + Why(why));
      if (names.empty()) names.push_back("a " + ShownName(f.name) + " nem ellenőrizhető: " + Why(f.status));
      return JoinNames(names) + (f.links.empty() ? "" : "; " + LinksAt(f));
    }
    case BackupFinding::Linked: return LinksAt(f);
    case BackupFinding::Unsettled:
      return "a nevekből nem derül ki, melyik változat hol van (" + NamesHeld(f) + ")";
    case BackupFinding::Empty: {
      // The stored copy, which the player may not have looked at, with its size and date.
      const std::string stored = f.empty[1] ? " (" + Described(e.BaseCopyName, f.base, zone) + ")" : "";
      return "üres (0 bájtos) file áll itt: " + EmptyNames(e, f.empty) + stored + "; üres file-t a program nem ment el";
    }
    default: return {};
  }
}

// The shown names of the backup's files that `is` picks.
template <typename Pick>
std::vector<std::string> BackupNames(const BackupOutcome& o, Pick is) {
  std::vector<std::string> names;
  for (const BackupFile& f : o.files) {
    if (is(f)) {
      names.push_back(Noted(ShownName(f.entry->ActiveName), f.gone ? ShownName(f.gone) : "", TempNote(*f.entry, f.tempLeft)));
    }
  }
  return names;
}

// Files with no stored base copy beside files that show the patch: it may
// have replaced them before they were backed up (or stopped before them).
// The files that show the patch are the evidence.
std::string NoBaseCopyText(const BackupOutcome& o, const TimeZone& zone) {
  std::string evidence;
  bool sameAsPatched = false;
  for (const BackupFile& f : o.files) {
    sameAsPatched = sameAsPatched || f.verdict == Verdict::SameAsPatchedCopy;
    if (f.verdict == Verdict::PatchedActive) {
      evidence += Described(f.entry->BaseCopyName, f.base, zone) + "; " +
                  Described(f.entry->ActiveName, f.active, zone) + "\n";
    }
  }
  if (!evidence.empty()) {
    evidence = "A patch ezeken látszik (a tárolt alap példányuk eltér a mostani file-tól):\n" + evidence;
  } else if (sameAsPatched) {
    evidence = "A patch azokon látszik, amelyek megegyeznek a tárolt patchelt (mrvupd) példányukkal.\n";
  } else {
    // A switch cut off midway: only the stored patched copies show it.
    evidence = "A patch a tárolt patchelt (mrvupd) példányokon látszik.\n";
  }
  return "A Vonu11 1.01 Patch már telepítve van, de ezeknek a file-oknak az alap (v1.0) változatáról nincs "
         "mentés:\n" + JoinNames(BackupNames(o, [](const BackupFile& f) { return f.what == BackupFinding::NoBaseCopy; })) +
         ".\nA patchelt file-okat a program nem menti el alapként; ha a patch lecserélte őket (a méretükből ez nem "
         "mindig derül ki), az alap változatuk már nincs meg a Game mappában.\n" + evidence + kPutBaseBack +
         " a biztonsági mentéshez!";
}

// The player did not say that the files still to copy hold the base version.
std::string MayHoldPatchText(const BackupOutcome& o) {
  return "Mivel nem biztos, hogy ezek a file-ok most az alap (v1.0) változatot tartalmazzák, a program nem menti "
         "el őket alapként; ha a Vonu11 1.01 Patch lecserélte őket, az alap változatuk már nincs meg a Game "
         "mappában:\n" + JoinNames(BackupNames(o, [](const BackupFile& f) { return f.done == BackupDone::MayHoldPatch; })) + ".\n" + kNotMade +
         kPutBaseBack + ", és a kérdésre válaszolj „Igen”-nel!";
}

std::string FailureText(const BackupOutcome& o, const TimeZone& zone) {
  if (o.stop == BackupStop::NoBaseCopy) return NoBaseCopyText(o, zone);
  for (const BackupFile& f : o.files) {
    if (f.done == BackupDone::MayHoldPatch) return MayHoldPatchText(o);
  }
  std::string text = "A biztonsági mentés nem készült el teljesen!\nEzeket a file-okat nem sikerült menteni:\n";
  bool foreign = false, kept = false, tempKept = false;
  std::vector<FailureKind> advised;
  std::string advice;
  for (const BackupFile& f : o.files) {
    kept = kept || f.Kept();
    if (!f.Failed()) continue;
    const bool aboutTemp = f.done == BackupDone::TempKept || f.done == BackupDone::TempLeft;
    text += Noted(ShownName(f.entry->ActiveName), aboutTemp ? "" : TempNote(*f.entry, f.tempLeft)) + ": " +
            WhyNotSaved(f, zone) + "\n";
    foreign = foreign || f.what == BackupFinding::Empty;
    tempKept = tempKept || f.done == BackupDone::TempKept;
    const FailureKind kind = f.done == BackupDone::CopyFailed ? f.copy.status.kind
                             : f.done == BackupDone::TempLeft ? f.status.kind
                                                              : FailureKind::Changed;
    bool seen = kind == FailureKind::Changed;
    for (FailureKind k : advised) seen = seen || k == kind;
    if (!seen && kind == FailureKind::DiskFull) {
      advised.push_back(kind);
      advice += "A játék meghajtóján (" + DriveOf(o.gameDir) + ") elfogyott a hely: a hiányzó mentésekhez " +
                Megabytes(o.needed, true) + " kell, szabad " + Megabytes(o.free, false) +
                ". Szabadíts fel helyet, majd próbáld újra!\n";
    } else if (!seen) {
      advised.push_back(kind), advice += Advice(kind, o.gameDir) + "\n";
    }
  }
  if (foreign) {
    text += "A program ezeket a mentésnek látszó file-okat nem írja felül és nem törli: tedd félre őket (nevezd "
            "át vagy helyezd át máshová), majd futtasd újra ezt a programot!\n";
  }
  if (tempKept) {
    text += "Egy félbeszakadt mentés másolata egy korábbi változatot tarthat, ezért a program nem törli: ha meg "
            "akarod tartani, másold ki a Game mappából, majd töröld onnan, és futtasd újra ezt a programot!\n";
  }
  if (!o.showsPatch) text += kDontPatchYet;
  if (kept) text += "Az elkészült mentések megmaradnak.\n";
  return text + advice + "Hárítsd el a hibát, majd futtasd újra ezt a programot!";
}

std::string NotMadeText(const Problem& p) { return p.found + kNotMade + kDontPatchYet + p.todo; }

}  // namespace

std::string BackupText(const BackupOutcome& o, const TimeZone& zone) {
  switch (o.kind) {  // GCOVR_EXCL_BR_LINE every kind has its case
    case BackupKind::Done: return kDone;
    case BackupKind::AlreadyPatched: {
      const std::vector<std::string> gone = BackupNames(o, [](const BackupFile& f) { return f.what == BackupFinding::PatchedCopyGone; });
      if (gone.empty()) return kAlreadyPatched;
      return kAlreadyPatched + ("\n" + std::string(kPatchedCopyGone)) + JoinNames(gone) + ".\n" + kRestorePatchedCopy;
    }
    case BackupKind::NotReady: return NotMadeText(NotReadyText(o.folder, o.gameDir, kOkCaption));
    case BackupKind::NoRoom:
      return "A biztonsági mentéshez nincs elég szabad hely a játék meghajtóján!\nSzükséges: " +
             Megabytes(o.needed, true) + ", szabad: " + Megabytes(o.free, false) + ".\n" + kNotMade +
             kDontPatchYet + "Szabadíts fel helyet a meghajtón, " + kRunAgain;
    case BackupKind::Failed: break;
  }
  return FailureText(o, zone);
}
std::string ResumeQuestionText(const BackupOutcome& o) {
  return "Egy korábbi biztonsági mentés nem készült el teljesen, vagy azóta eltűnt belőle valami. Ezeknek a "
         "file-oknak nincs mentése:\n" + JoinNames(BackupNames(o, [](const BackupFile& f) { return f.what == BackupFinding::ToCopy; })) +
         ".\nEzek a file-ok most az alap (v1.0) változatot tartalmazzák?\n"
         "Ha igen (például mert a patch óta újratelepítetted a játékot, vagy a patch még nincs telepítve), a "
         "program most elmenti őket alap változatként. Ha nem, vagy nem tudod biztosan, válaszd a „Nem”-et: a "
         "program semmit sem ment, és megmondja, hogyan kaphatod vissza az alap változatukat.";
}
