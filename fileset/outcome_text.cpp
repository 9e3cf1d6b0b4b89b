#include "fileset/outcome_text.h"

#include <cstdio>
#include <vector>

#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ", ";
    out += n;
  }
  return out;
}

// The shown names of the files found so, each with what `extra` adds.
template <typename Extra>
std::vector<std::string> NamesOf(const SwitchOutcome& o, std::initializer_list<SwitchFinding> whats, Extra extra) {
  std::vector<std::string> names;
  for (const SwitchFile& f : o.files) {
    for (SwitchFinding what : whats) {
      if (f.what == what) names.push_back(ShownName(f.name) + extra(f));
    }
  }
  return names;
}

std::vector<std::string> NamesOf(const SwitchOutcome& o, SwitchFinding what) {
  return NamesOf(o, {what}, [](const SwitchFile&) { return std::string(); });
}

// The game folder is missing, or the system could not tell: the same words
// for both operations.
std::string FolderNotFound(const std::string& gameDir) { return "A játék mappája nem található: " + gameDir + "\n"; }
std::string FolderUnreachable(const std::string& gameDir, const std::string& reason) {
  return "A játék mappája nem érhető el: " + gameDir + " (" + reason + ")\n";
}

// ---------------------------------------------------------------- the switch

std::string Applied(GameVersion target) {
  return target == GameVersion::Base ? "Alap VONU11 (v1.0) file-ok alkalmazva."
                                     : "Patchelt VONU11 (v1.01) file-ok alkalmazva.";
}

std::string Headline(GameVersion target) {
  return target == GameVersion::Base ? "Az alap VONU11 (v1.0) file-ok alkalmazása nem sikerült!\n"
                                     : "A patchelt VONU11 (v1.01) file-ok alkalmazása nem sikerült!\n";
}

const char kNothingChanged[] = "Semmi sem változott, minden file a helyén maradt.";
const char kBaseStillActive[] =
    "Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott.\n"
    "A Vonu11 1.01 Patch még nincs telepítve. Ha patchelt Vonuval is szeretnél játszani, most telepítsd a "
    "Patchet, majd futtasd újra ezt a programot!";
const char kPatchNotInstalled[] =
    "A Vonu11 1.01 Patch még nincs telepítve: a Game mappában az alap file-ok aktívak, mellettük a biztonsági "
    "mentésük, patchelt file-ok még nincsenek.\n"
    "Telepítsd a Vonu11 1.01 Patchet, majd futtasd újra ezt a programot, és válaszd a patchelt változatot!\n";
const char kPartlyPatched[] =
    "A Game mappában a biztonsági mentés óta a file-oknak csak egy része változott meg: a Vonu11 1.01 Patch "
    "telepítése félbemaradhatott, vagy egy file-t kézzel cseréltek le. Így nem tudható, melyik file melyik "
    "változat.\n";
const char kPartlyPatchedAdvice[] =
    "Telepítsd újra a Vonu11 1.01 Patchet, hogy minden file-t lecseréljen, majd futtasd újra ezt a programot! Ha "
    "egy file-t kézzel cseréltél le, tedd vissza az eredetijét!\n";

// What each of an entry's three names holds.
std::string Found(const SwitchFile& f) {
  std::vector<std::string> present, folders, absent;
  const FileSetEntry& e = *f.entry;
  const char* names[] = {e.ActiveName, e.BaseCopyName, e.PatchCopyName};
  for (size_t i = 0; i < 3; ++i) {
    const EntryKind kind = f.kinds[i];
    (kind == EntryKind::File ? present : kind == EntryKind::Other ? folders : absent).push_back(ShownName(names[i]));
  }
  std::string out = ShownName(e.ActiveName) + ": ";
  std::string sep;
  if (!present.empty()) out += sep + "megvan: " + JoinNames(present), sep = "; ";
  if (!folders.empty()) out += sep + "mappa: " + JoinNames(folders), sep = "; ";
  if (!absent.empty()) out += sep + "hiányzik: " + JoinNames(absent);
  return out + "\n";
}

std::string FoundLines(const SwitchOutcome& o, SwitchFinding what) {
  std::string out;
  for (const SwitchFile& f : o.files) {
    if (f.what == what) out += Found(f);
  }
  return out;
}

std::string PartlyPatchedText(const SwitchOutcome& o) {
  std::string text = kPartlyPatched;
  text += "Ezek a file-ok még megegyeznek a biztonsági mentésükkel: " +
          JoinNames(NamesOf(o, SwitchFinding::MatchesBackup)) + ".\n";
  const std::vector<std::string> changed = NamesOf(o, SwitchFinding::Changed);
  if (!changed.empty()) text += "Ezek a file-ok megváltoztak: " + JoinNames(changed) + ".\n";
  const std::string elsewhere = FoundLines(o, SwitchFinding::Elsewhere);
  if (!elsewhere.empty()) text += "A többi file a Game mappában:\n" + elsewhere;
  return text + kPartlyPatchedAdvice;
}

std::string RefusedText(const SwitchOutcome& o) {
  const std::vector<std::string> missing =
      NamesOf(o, {SwitchFinding::Missing, SwitchFinding::FolderInPlace}, [](const SwitchFile& f) {
        return std::string(f.what == SwitchFinding::FolderInPlace ? " (ezen a néven mappa van)" : "");
      });
  const std::vector<std::string> blocking =
      NamesOf(o, {SwitchFinding::InTheWay, SwitchFinding::FolderInTheWay}, [](const SwitchFile& f) {
        return std::string(f.what == SwitchFinding::FolderInTheWay ? " (mappa)" : "");
      });
  const std::string unsettled = FoundLines(o, SwitchFinding::Unsettled);
  std::string text;
  if (!missing.empty()) text += "Hiányzó file-ok a Game mappában: " + JoinNames(missing) + ".\n";
  if (!blocking.empty()) text += "Már létező, útban lévő file-ok: " + JoinNames(blocking) + ".\n";
  if (!unsettled.empty()) {
    text += "Ezeknél a file-oknál a nevekből nem derül ki, melyik változat hol van:\n" + unsettled +
            "Minden file egyik változata az eredeti nevén, a másik a tárolt (mrvdef vagy mrvupd) nevén legyen "
            "meg. Tedd félre a fölösleges, pótold a hiányzó file-okat, majd próbáld újra!\n";
  }
  return text;
}

// What to do about a rename that failed, by what made it fail. The tool runs
// as administrator already, so access denied means that something holds or
// guards the file.
std::string Advice(FailureKind kind) {
  switch (kind) {
    case FailureKind::ReadOnlyDrive:
      return "A játék meghajtója nem írható (írásvédett vagy csak olvasható). Tedd írhatóvá, majd próbáld újra!";
    case FailureKind::NameTooLong:
      return "A file teljes neve a mappával együtt túl hosszú a Windows számára. Helyezd a játékot rövidebb "
             "nevű mappába, majd próbáld újra!";
    case FailureKind::AccessDenied:
      return "Zárd be a játékot és minden programot, amely a file-jait használhatja! Ha ez sem segít, a file-t "
             "valami más fogja vagy védi:\n"
             "- egy víruskereső: várj egy kicsit, vagy engedélyezd benne ezt a programot;\n"
             "- a Windows Vezérelt mappahozzáférés funkciója: engedélyezd benne ezt a programot;\n"
             "- a file \"Csak olvasható\" jellemzője: kapcsold ki a file Tulajdonságai között.\n"
             "Utána próbáld újra!";
    default:
      return "Zárd be a játékot és minden programot, amely a file-jait használhatja, majd próbáld újra!";
  }
}

std::string RenameFailedText(const SwitchOutcome& o) {
  const SwitchFile& failed = o.files.front();
  std::string text = "A " + ShownName(failed.name) + " átnevezése " + ShownName(failed.other) +
                     " névre nem sikerült: " + failed.reason + "\n";
  if (o.kind == SwitchKind::Undone) {
    return text + "Az addigi átnevezések visszavonva. " + kNothingChanged + "\n" + Advice(failed.failure);
  }
  text += "A visszaállítás sem sikerült teljesen. Ezek a file-ok most más néven vannak a Game mappában:\n";
  for (const SwitchFile& f : o.files) {
    if (f.what == SwitchFinding::Stranded) {
      text += ShownName(f.name) + ", eredeti neve: " + ShownName(f.other) + " (" + f.reason + ")\n";
    }
  }
  return text +
         "A többi file a helyén van. Amint a fenti file-okat már semmi sem használja, nyomd meg újra az "
         "\"Alkalmaz\" gombot, és a program befejezi a váltást.\n"
         "Nevezd vissza kézzel a fenti file-okat az eredeti nevükre, ebben a sorrendben, ha inkább a korábbi "
         "állapotot szeretnéd visszakapni!";
}

// The error box's lines between the headline and the closing sentence.
std::string SwitchProblem(const SwitchOutcome& o) {
  switch (o.kind) {
    case SwitchKind::GameDirUnusable: return GameDirProblem(o.gameDir);
    case SwitchKind::FolderMissing: return FolderNotFound(o.gameDir);
    case SwitchKind::FolderUnreachable: return FolderUnreachable(o.gameDir, o.reason);
    case SwitchKind::Unreadable: {
      const auto withReason = [](const SwitchFile& f) { return " (" + f.reason + ")"; };
      return "Nem ellenőrizhető file-ok: " + JoinNames(NamesOf(o, {SwitchFinding::Unreadable}, withReason)) + ".\n";
    }
    case SwitchKind::PatchNotInstalled: return kPatchNotInstalled;
    case SwitchKind::PartlyPatched: return PartlyPatchedText(o);
    default: return RefusedText(o);
  }
}

// ---------------------------------------------------------------- the backup

const char kDone[] =
    "A biztonsági mentések elkészültek! Most telepítheted a Vonu11 1.01 Patchet! Utána újra futtatva ezt a "
    "programot, kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";
const char kAlreadyPatched[] =
    "A biztonsági mentések megvannak, a Vonu11 1.01 Patch pedig már telepítve van! Futtasd újra ezt a programot, "
    "és kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";
const char kDontPatchYet[] = "Még ne telepítsd a Vonu11 1.01 Patchet, mert az felülírná az alap file-okat!";
const char kNotMade[] = "A biztonsági mentés nem készült el, semmi sem változott.\n";

std::string Megabytes(uint64_t bytes, bool roundUp) {
  const uint64_t mib = uint64_t{1} << 20;
  return std::to_string(roundUp ? (bytes + mib - 1) / mib : bytes / mib) + " MB";
}

// Size and last-write time as the user finds them in the folder's listing.
std::string Described(const char* name, const PathProbe& probe, const TimeZone& zone) {
  return ShownName(name) + ": " + std::to_string(probe.size) + " bájt, " + LocalTimeText(probe.lastWrite, zone);
}

// Why one file could not be backed up.
std::string WhyNotSaved(const BackupFile& f, const TimeZone& zone) {
  const FileSetEntry& e = *f.entry;
  const std::string temp = ShownName(TempCopyName(e.BaseCopyName).c_str());
  switch (f.what) {
    case BackupFinding::SourceMissing: return "nem található a Game mappában";
    case BackupFinding::SourceIsFolder: return "a " + ShownName(e.ActiveName) + " nevet egy mappa foglalja";
    case BackupFinding::StoredIsFolder: return "a " + ShownName(e.BaseCopyName) + " nevet egy mappa foglalja";
    case BackupFinding::TempInTheWay: return "a " + temp + " nevet más foglalja";
    case BackupFinding::TempLeft: return "a félkész " + temp + " nem törölhető: " + f.reason;
    case BackupFinding::NotItsBackup:
      return "a már meglévő " + ShownName(e.BaseCopyName) + " nem ennek a mentése (" +
             Described(e.BaseCopyName, f.stored, zone) + "; " + Described(e.ActiveName, f.active, zone) + ")";
    default: break;
  }
  if (f.failure != FailureKind::Changed) return f.reason;
  return "a file megváltozott, miközben a program másolta (" + f.reason +
         "): valószínűleg a játék vagy egy telepítő írt bele éppen. Zárd be őket, majd futtasd újra a biztonsági "
         "mentést!";
}

// Warns against the patch only while the folder shows no sign of it.
std::string FailureText(const BackupOutcome& o, const TimeZone& zone) {
  std::string text = "A biztonsági mentés nem készült el teljesen!\nEzeket a file-okat nem sikerült lementeni:\n";
  bool foreign = false;
  for (const BackupFile& f : o.files) {
    if (f.Failed()) text += ShownName(f.entry->ActiveName) + ": " + WhyNotSaved(f, zone) + "\n";
    foreign = foreign || f.what == BackupFinding::NotItsBackup;
  }
  if (foreign) {
    text += "A program ezeket a mentésnek látszó file-okat nem írja felül és nem törli: tedd félre őket (nevezd "
            "át vagy helyezd át máshová), majd futtasd újra ezt a programot!\n";
  }
  if (!o.patchInstalled) text += std::string(kDontPatchYet) + "\n";
  return text + "Az elkészült mentések megmaradnak. Hárítsd el a hibát, majd futtasd újra ezt a programot!";
}

// Days since 1970-01-01 to a proleptic Gregorian date, for any day.
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<unsigned>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::string LocalTimeText(const FileTime& time, const TimeZone& zone) {
  const int64_t local = time.seconds + zone.OffsetAt(time.seconds);
  int64_t days = local / 86400, rest = local % 86400;
  if (rest < 0) rest += 86400, --days;
  int64_t year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days, year, month, day);
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%04lld.%02u.%02u. %02u:%02u:%02u", static_cast<long long>(year), month, day,
                static_cast<unsigned>(rest / 3600), static_cast<unsigned>(rest / 60 % 60),
                static_cast<unsigned>(rest % 60));
  return stamp;
}

std::string SwitchText(const SwitchOutcome& o) {
  switch (o.kind) {
    case SwitchKind::Applied: return Applied(o.target);
    case SwitchKind::BaseAlreadyActive: return kBaseStillActive;
    case SwitchKind::Undone:
    case SwitchKind::Stranded: return Headline(o.target) + RenameFailedText(o);
    default: return Headline(o.target) + SwitchProblem(o) + kNothingChanged;
  }
}

std::string BackupText(const BackupOutcome& o, const TimeZone& zone) {
  switch (o.kind) {
    case BackupKind::Done: return kDone;
    case BackupKind::AlreadyPatched: return kAlreadyPatched;
    case BackupKind::GameDirUnusable: return GameDirProblem(o.gameDir) + kNotMade + kDontPatchYet;
    case BackupKind::FolderMissing: return FolderNotFound(o.gameDir) + kNotMade + kDontPatchYet;
    case BackupKind::FolderUnreachable: return FolderUnreachable(o.gameDir, o.reason) + kNotMade + kDontPatchYet;
    case BackupKind::NoRoom:
      return "A biztonsági mentéshez nincs elég szabad hely a játék meghajtóján!\nSzükséges: " +
             Megabytes(o.needed, true) + ", szabad: " + Megabytes(o.free, false) + ".\n" +
             "Semmi sem változott. Szabadíts fel helyet, majd futtasd újra ezt a programot!\n" + kDontPatchYet;
    case BackupKind::Failed: break;
  }
  return FailureText(o, zone);
}
