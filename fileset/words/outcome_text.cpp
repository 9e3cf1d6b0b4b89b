#include "fileset/words/outcome_text.h"

#include <array>
#include <cstdio>
#include <vector>

#include "common/texts.h"
#include "fileset/decide/file_set.h"
#include "fileset/decide/game_folder.h"
#include "settings/settings_store.h"

namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ", ";
    out += n;
  }
  return out;
}

// The system's words for a failure, or what stands for them.
std::string Why(const FileStatus& status) {
  if (!status.reason.empty()) return status.reason;
  switch (status.kind) {
    case FailureKind::Unexpected: return "váratlan hiba történt";
    case FailureKind::StillThere: return "a törlés után is megvan";
    default: return kWindowsErrorCode + std::to_string(status.code);
  }
}

// A killed backup's temporary copy beside a file that a box names: kept,
// it may be the only copy of the file's earlier version.
std::string TempNote(const FileSetEntry& e, LeftCopy left) {
  switch (left) {  // GCOVR_EXCL_BR_LINE every kind of copy has its case
    case LeftCopy::Bytes:
      return "a " + ShownName(e.TempName) + " egy félbeszakadt mentés másolata, a file egy korábbi változata lehet "
             "benne: ne töröld";
    case LeftCopy::Empty: return "a " + ShownName(e.TempName) + " egy félbeszakadt mentés üres másolata";
    case LeftCopy::None: break;
  }
  return {};
}

// A name as a box gives it, with what is said of it in brackets:
// "vonu.exe (vonu.mrvupdexe; a vonu.mrvtmpexe ...)".
std::string Noted(const std::string& name, const std::string& note, const std::string& more = "") {
  const std::string both = note.empty() || more.empty() ? note + more : note + "; " + more;
  return both.empty() ? name : name + " (" + both + ")";
}

// The shown names of the switch's files found so, each with what `extra` adds.
template <typename Extra>
std::vector<std::string> NamesOf(const SwitchOutcome& o, std::initializer_list<SwitchFinding> whats, Extra extra) {
  std::vector<std::string> names;
  for (const SwitchFile& f : o.files) {
    for (SwitchFinding what : whats) {
      if (f.what == what) names.push_back(Noted(ShownName(f.name), extra(f), f.entry ? TempNote(*f.entry, f.tempLeft) : ""));
    }
  }
  return names;
}

std::vector<std::string> NamesOf(const SwitchOutcome& o, SwitchFinding what) {
  return NamesOf(o, {what}, [](const SwitchFile&) { return std::string(); });
}

// The Hungarian of one piece of a box: what is wrong, then what to do.
struct Problem {
  std::string found;
  std::string todo;
};

// Where the game's installer registers the folder, in both of the key's forms:
// a 32-bit installer on 64-bit Windows writes under WOW6432Node.
std::string WhereRegistered() {
  const std::string key = kGameKey;
  const size_t afterSoftware = key.find('\\') + 1;
  return "HKEY_LOCAL_MACHINE\\" + key + " kulcs, 64 bites Windowson HKEY_LOCAL_MACHINE\\" +
         key.substr(0, afterSoftware) + "WOW6432Node\\" + key.substr(afterSoftware) + ", „" + kInstallDirValue +
         "” érték";
}

Problem GameDirText(GameDirProblem problem, const std::string& gameDir) {
  const std::string todo =
      "Telepítsd újra a játékot, hogy a telepítője újra beírja a helyét, " + std::string(kRunAgain);
  switch (problem) {  // GCOVR_EXCL_BR_LINE an unusable GameDir always has its problem
    case GameDirProblem::NotRead:
      return {"A játék telepítési mappáját nem sikerült kiolvasni a registryből (" + WhereRegistered() +
                  "); az okát a program indulásakor megjelent hibaüzenet írta le.\n",
              todo};
    case GameDirProblem::NotRegistered:
      return {"A játék telepítési mappája nincs bejegyezve a registryben (" + WhereRegistered() +
                  "). Ezt az értéket a játék telepítője írja be.\n",
              todo};
    case GameDirProblem::NotAbsolute:
      return {"A játék telepítési mappája nincs teljes elérési úttal bejegyezve a registryben (" + WhereRegistered() +
                  ": " + InstallDirOf(gameDir) + "). Ezt az értéket a játék telepítője írja be.\n",
              todo};
    case GameDirProblem::None: break;
  }
  return {};
}

Problem FolderNotFound(const std::string& gameDir) {
  return {"A játék mappája nem található: " + gameDir + "\n",
          "Ha a játékot áthelyezted vagy törölted, telepítsd újra a régi helyére, " + std::string(kRunAgain)};
}

Problem FolderUnreachable(const std::string& gameDir, const FileStatus& why) {
  return {"A játék mappája nem érhető el: " + gameDir + " (" + Why(why) + ")\n",
          "Ha a játék hálózati vagy cserélhető meghajtón van, csatlakoztasd, " + std::string(kRunAgain)};
}

Problem ObstacleText(const Obstacle& o, const char* button);

// What stands on the way, by what could be read of it.
std::string LinkFound(const FolderLink& link) {
  switch (link.doubt) {
    case LinkDoubt::AttributesUnread:
      return "A Game mappához vezető úton ennek a mappának a tulajdonságai nem olvashatók (" + Why(link.unread) +
             "), így nem dönthető el, hogy hivatkozás-e (junction vagy szimbolikus link):\n" + link.link;
    case LinkDoubt::OwnerUnread:
      return "A Game mappához vezető úton egy hivatkozás (junction vagy szimbolikus link) áll, amelynek a "
             "tulajdonosa nem olvasható (" + Why(link.unread) + "), így nem tudható, hogy rendszergazda hozta-e "
             "létre:\n" + link.link;
    default:
      return "A Game mappához vezető úton egy hivatkozás (junction vagy szimbolikus link) áll, amelyet nem "
             "rendszergazda hozott létre:\n" + link.link;
  }
}

// A link on the way to the Game folder that an administrator did not make,
// or may not have.
Problem LinkText(const FolderLink& link, const char* button) {
  return {LinkFound(link) + (link.target.empty() ? "" : "\nIde vezet: " + link.target) +
              "\nRendszergazdaként futó program nem követ ilyen hivatkozást: egy másik felhasználó vele máshová "
              "irányíthatná a másolást és az átnevezést.\n",
          "Ha te hoztad létre, töröld, és hozd létre újra rendszergazdaként (vagy helyezd a játékot oda, ahová "
          "mutat), majd nyomd meg újra az „" + std::string(button) + "” gombot!"};
}

// A check of the PC that could not run: what it would have found counts against.
Problem NotCheckedText(const CheckNotRun& notRun, const char* button) {
  const char* step = "";
  switch (notRun.step) {  // GCOVR_EXCL_BR_LINE a check that did not run always names its step
    case CheckNotRun::Step::RunningGame: step = "annak ellenőrzése, hogy fut-e a játék"; break;
    case CheckNotRun::Step::HoldFolder:
      step = "a Game mappa lefoglalása, hogy a művelet alatt ne lehessen áthelyezni vagy kicserélni";
      break;
    case CheckNotRun::Step::LinkWalk: step = "a Game mappához vezető út hivatkozásainak ellenőrzése"; break;
    case CheckNotRun::Step::Profiles:
      step = "a felhasználók listájának olvasása, hogy a Windows tart-e saját példányt a Game mappa file-jairól";
      break;
    case CheckNotRun::Step::None: break;
  }
  return {"Egy biztonsági ellenőrzés nem futott le: " + std::string(step) + " (" + Why(notRun.why) +
              "). Ellenőrzés nélkül a program nem nyúl a file-okhoz.\n",
          "Zárd be a többi programot (ha ez sem segít, indítsd újra a gépet), majd nyomd meg újra az „" +
              std::string(button) + "” gombot!"};
}

// Why an operation touched nothing before it read a single name; `button`
// is the one that starts it again.
Problem NotReadyText(const FolderCheck& folder, const std::string& gameDir, const char* button) {
  switch (folder.state) {  // GCOVR_EXCL_BR_LINE a ready folder is no reason to stop
    case FolderCheck::State::DirUnusable: return GameDirText(folder.dirProblem, gameDir);
    case FolderCheck::State::Missing: return FolderNotFound(gameDir);
    case FolderCheck::State::Unreachable: return FolderUnreachable(gameDir, folder.why);
    case FolderCheck::State::Obstructed: return ObstacleText(folder.obstacle, button);
    case FolderCheck::State::Linked: return LinkText(folder.link, button);
    case FolderCheck::State::NamesByCase:
      return {"A Game mappában ezek a nevek csak kis- és nagybetűben különböznek egymástól: " +
                  JoinNames(folder.twinned) +
                  ".\nA Windows egy névnek veszi őket, így a program nem tudná, melyik file-lal dolgozik.\n",
              "Az egyiküket nevezd át vagy helyezd át máshová, majd nyomd meg újra az „" + std::string(button) +
                  "” gombot!"};
    case FolderCheck::State::NotChecked: return NotCheckedText(folder.notRun, button);
    case FolderCheck::State::Ready: break;
  }
  return {};
}

Problem ObstacleText(const Obstacle& o, const char* button) {
  if (o.kind == Obstacle::Kind::GameRunning) {
    return {"A játék fut: a " + o.exe + " a Game mappából indult. Amíg fut, a file-jai nem cserélhetők.\n",
            "Zárd be a játékot, majd nyomd meg újra az „" + std::string(button) + "” gombot!"};
  }
  return {"A Windows a Game mappa file-jainak saját példányát tartja a felhasználónak ebben a mappában:\n" + o.folder +
              "\nFile-ok: " + JoinNames(o.names) +
              ".\nA rendszergazdai jog nélkül futó programok, köztük a játék, ezeket a példányokat látják a Game "
              "mappa file-jai helyett, így amit ez a program a Game mappában tesz, arra nem hatna.\n",
          "Helyezd át ezeket a file-okat abból a mappából máshová, " + std::string(kRunAgain)};
}

// ---------------------------------------------------------------- the switch

std::string Applied(GameVersion target) {
  return target == GameVersion::Base ? kBaseCaption + std::string(" file-ok alkalmazva.")
                                     : "Patchelt VONU11 (v1.01) file-ok alkalmazva.";
}

std::string Headline(GameVersion target) {
  return target == GameVersion::Base ? "Az alap VONU11 (v1.0) file-ok alkalmazása nem sikerült!\n"
                                     : "A patchelt VONU11 (v1.01) file-ok alkalmazása nem sikerült!\n";
}

const char kBaseStillActive[] =
    "Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott.\n"
    "A Vonu11 1.01 Patch még nincs telepítve. Ha patchelt Vonuval is szeretnél játszani, most telepítsd a "
    "Patchet, majd futtasd újra ezt a programot!";
const char kPatchNotInstalled[] =
    "A Vonu11 1.01 Patch még nincs telepítve: a Game mappában az alap file-ok aktívak, mellettük a biztonsági "
    "mentésük, patchelt file-ok még nincsenek.\n";
const char kInstallPatch[] =
    "Telepítsd a Vonu11 1.01 Patchet, majd futtasd újra ezt a programot, és válaszd a patchelt változatot!";

// What a file whose version is gone here left behind: the stored name it
// lost: "vonu.exe (vonu.mrvupdexe)". NamesOf adds the temporary copy.
std::string WithGone(const SwitchFile& f) { return f.gone ? ShownName(f.gone) : ""; }

std::vector<std::string> GoneNamesOf(const SwitchOutcome& o, SwitchFinding what) {
  return NamesOf(o, {what}, WithGone);
}

// The line every box carries for the files judged by their size alone.
std::string DateDiffersText(const SwitchOutcome& o) {
  if (o.dateDiffers.empty()) return {};
  std::vector<std::string> names;
  for (const SwitchFile& f : o.dateDiffers) {
    const FileSetEntry& e = *f.entry;
    names.push_back(Noted(ShownName(e.ActiveName),
                          ShownName(f.verdict == Verdict::SameAsPatchedCopy ? e.PatchCopyName : e.BaseCopyName),
                          TempNote(e, f.tempLeft)));
  }
  return "\nEzeknek a file-oknak a mérete megegyezik a zárójelben álló tárolt példányukéval, a dátumuk viszont "
         "nem, ezért a program azzal azonos változatnak vette őket:\n" + JoinNames(names) + ".";
}

// Where stored copies disagree: the files whose copy says the base version
// was active, then those whose copy says the patched one.
std::string SidesText(const SwitchOutcome& o) {
  std::vector<std::string> saidBase, saidPatched;
  for (const SwitchFile& f : o.files) {
    if (f.what != SwitchFinding::SidesDisagree) continue;
    (f.verdict == Verdict::BaseActive ? saidBase : saidPatched)
        .push_back(Noted(ShownName(f.name), TempNote(*f.entry, f.tempLeft)));
  }
  std::string text;
  if (!saidBase.empty()) {
    text += "A tárolt példányuk szerint ezeknek a file-oknak az alap (v1.0) változata volt aktív:\n" +
            JoinNames(saidBase) + ".";
  }
  if (!saidPatched.empty()) {
    text += (text.empty() ? "" : "\n") +
            std::string("A tárolt példányuk szerint ezeknek a file-oknak a patchelt változata volt aktív:\n") +
            JoinNames(saidPatched) + ".";
  }
  return text;
}

// The success box's notes on what the switch saw beside the renames.
std::string AppliedText(const SwitchOutcome& o) {
  const bool toBase = o.target == GameVersion::Base;
  std::string text = o.kind == SwitchKind::PatchedAlreadyActive
                         ? "A patchelt VONU11 (v1.01) file-ok már aktívak, semmi sem változott."
                         : Applied(o.target);
  const std::vector<std::string> same = NamesOf(o, SwitchFinding::NotPatchedYet);
  const std::vector<std::string> alone = NamesOf(o, SwitchFinding::NoStoredCopy);
  if (!same.empty() && toBase) {
    text += "\nEzek a file-ok még megegyeznek a biztonsági mentésükkel (a patch nem cserélte le őket), ezért úgy "
            "maradtak, ahogy voltak:\n" + JoinNames(same) + ".";
  } else if (!same.empty()) {
    text += "\nEzek a file-ok méretre még ugyanazok, mint az alap változatuk:\n" + JoinNames(same) + ".";
    if (o.patchAgain) {
      text += "\nHa a patchnek le kellett volna cserélnie őket, telepítsd újra a Vonu11 1.01 Patchet most, amíg a "
              "patchelt változat aktív!";
    }
  }
  const std::vector<std::string> leftAlone = NamesOf(o, SwitchFinding::SameAsPatched);
  if (!leftAlone.empty()) {
    text += "\nEzek a file-ok megegyeznek a tárolt patchelt példányukkal, ezért úgy maradtak, ahogy voltak (ha a "
            "patch nem hagyta őket változatlanul, hanem az alap változatuk fölé települt, az alap változatuk már "
            "nincs meg a Game mappában):\n" + JoinNames(leftAlone) + ".";
  }
  if (!alone.empty()) {
    text += "\nEzeknek a file-oknak nincs tárolt példánya, ezért úgy maradtak, ahogy voltak; a program nem tudja, "
            "melyik változatuk aktív:\n" + JoinNames(alone) + ".";
  }
  const std::vector<std::string> overwritten = GoneNamesOf(o, SwitchFinding::BaseOverwritten);
  if (!overwritten.empty()) {
    text += "\n" + std::string(kBaseOverwritten) + JoinNames(overwritten) +
            ".\nHa alap Vonuval is szeretnél játszani: " + kReinstallGame;
  }
  const std::vector<std::string> patchedGone = GoneNamesOf(o, SwitchFinding::PatchedCopyGone);
  if (!patchedGone.empty()) {
    text += "\n" + std::string(kPatchedCopyGone) + JoinNames(patchedGone) + ".\n" + kRestorePatchedCopy;
  }
  const std::string sides = SidesText(o);
  if (!sides.empty()) {
    text += "\n" + sides + "\nA program eszerint váltott, ahogy kérted: egy félbeszakadt váltás után ez így rendben "
            "van. Ha mégis kézzel átneveztél egy tárolt példányt, " + std::string(kStartOver);
  }
  return text + DateDiffersText(o);
}

// What each of an entry's three names holds.
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
  if (!present.empty()) out += sep + "megvan: " + JoinNames(present), sep = "; ";
  if (!folders.empty()) out += sep + "mappa: " + JoinNames(folders), sep = "; ";
  if (!absent.empty()) out += sep + "hiányzik: " + JoinNames(absent);
  return out;
}

std::string Found(const SwitchFile& f) {
  const FileSetEntry& e = *f.entry;
  return Noted(ShownName(e.ActiveName), TempNote(e, f.tempLeft)) + " – " + NamesHeld(f) + "\n";
}

// The names of a file that hold an empty file.
std::string EmptyNames(const FileSetEntry& e, const std::array<bool, 3>& empty) {
  const char* names[] = {e.ActiveName, e.BaseCopyName, e.PatchCopyName};
  std::vector<std::string> shown;
  for (size_t i = 0; i < 3; ++i) {
    if (empty[i]) shown.push_back(ShownName(names[i]));
  }
  return JoinNames(shown);
}

const char kEmptyFound[] =
    "Ezeknél a file-oknál egy név alatt üres (0 bájtos) file áll, amely egyik változatot sem tartalmazza:\n";
const char kSetEmptyAside[] =
    "Üres file-t a program nem vált be és nem ment el. Ha egy víruskereső karanténba tette a file-t, állítsd "
    "vissza onnan; ha nem, tedd félre az üres file-t (nevezd át vagy helyezd át máshová), majd próbáld újra!";

Problem LinkedNamesText(const std::vector<std::string>& names) {
  return {"Ezeken a neveken hivatkozás (junction vagy szimbolikus link) áll, nem file: " + JoinNames(names) + ".\n",
          "A program hivatkozáson át nem nevez át és nem másol, mert az a Game mappán kívülre vezethet. Töröld a "
          "hivatkozást, tedd a helyére magát a file-t, majd próbáld újra!"};
}

std::vector<Problem> RefusedText(const SwitchOutcome& o) {
  const std::vector<std::string> blocking =
      NamesOf(o, {SwitchFinding::FolderInTheWay}, [](const SwitchFile&) {
        return std::string("mappa");
      });
  std::vector<std::string> noBase = GoneNamesOf(o, SwitchFinding::NotBackedUp);
  for (const std::string& name : GoneNamesOf(o, SwitchFinding::NoBaseCopy)) noBase.push_back(name);
  const std::vector<std::string> overwritten = GoneNamesOf(o, SwitchFinding::BaseOverwritten);
  const std::vector<std::string> patchedGone = GoneNamesOf(o, SwitchFinding::PatchedCopyGone);
  std::string unsettled, empty;
  for (const SwitchFile& f : o.files) {
    if (f.what == SwitchFinding::Unsettled) unsettled += Found(f);
    if (f.what == SwitchFinding::Empty) {
      empty += Noted(ShownName(f.entry->ActiveName), TempNote(*f.entry, f.tempLeft)) + " – üres: " +
               EmptyNames(*f.entry, f.empty) + "\n";
    }
  }
  std::vector<Problem> out;
  const std::vector<std::string> linked = NamesOf(o, SwitchFinding::Linked);
  if (!linked.empty()) out.push_back(LinkedNamesText(linked));
  if (!noBase.empty()) {
    out.push_back({"Ezeknek a file-oknak nincs tárolt alap (v1.0) példányuk, így a program nem tudja, hogy az aktív "
                   "file az alap vagy a patchelt változatuk-e:\n" + JoinNames(noBase) + ".\n",
                   "Ne telepítsd rájuk a Vonu11 1.01 Patchet, mert az felülírná az egyetlen meglévő példányukat! Ha "
                   "egy víruskereső karanténba tette a tárolt alap példányt (mrvdef a nevében), állítsd vissza "
                   "onnan, majd próbáld újra!"});
  }
  if (!overwritten.empty()) out.push_back({kBaseOverwritten + JoinNames(overwritten) + ".\n", kReinstallGame});
  if (!patchedGone.empty()) {
    out.push_back({kPatchedCopyGone + JoinNames(patchedGone) + ".\n",
                   std::string(kRestorePatchedCopy) + " Utána próbáld újra!"});
  }
  if (!blocking.empty()) {
    out.push_back({"Már létező, útban lévő file-ok: " + JoinNames(blocking) + ".\n",
                   "A program ezeket nem írja felül: tedd félre őket (nevezd át vagy helyezd át máshová), majd "
                   "próbáld újra!"});
  }
  if (!empty.empty()) out.push_back({kEmptyFound + empty, kSetEmptyAside});
  if (!unsettled.empty()) {
    out.push_back({"Ezeknél a file-oknál a nevekből nem derül ki, melyik változat hol van:\n" + unsettled,
                   "Minden file egyik változata az eredeti nevén, a másik a tárolt (mrvdef vagy mrvupd) nevén legyen "
                   "meg. Tedd félre a fölösleges, pótold a hiányzó file-okat, majd próbáld újra!"});
  }
  return out;
}

// What to do about a failure, by what made it fail. The tool runs as
// administrator already, so access denied means that something holds or
// guards the file.
std::string Advice(FailureKind kind, const std::string& gameDir) {
  switch (kind) {
    case FailureKind::ReadOnlyDrive:
      return "A játék meghajtója nem írható (írásvédett vagy csak olvasható). Tedd írhatóvá, majd próbáld újra!";
    case FailureKind::NameTooLong:
      return "A file teljes neve a mappával együtt túl hosszú a Windows számára. Helyezd a játékot rövidebb "
             "nevű mappába, majd próbáld újra!";
    case FailureKind::FolderDenied:
      return "A Game mappa jogosultságai nem engedik a módosítást: " + gameDir +
             "\nA mappa Tulajdonságai között, a Biztonság lapon add meg a Rendszergazdák csoportnak a Módosítás "
             "jogot, majd próbáld újra!";
    case FailureKind::FileDenied:
      return "A Game mappában a program más változtatásai sikerültek, ennél a file-nál nem: a file maga tiltja. "
             "Nézd meg a file Tulajdonságait: ha Írásvédett, vedd le róla a jelölést; ha egy program zárolja, zárd "
             "be; a Biztonság lapon add meg a Rendszergazdák csoportnak a Teljes hozzáférést. Utána próbáld újra!";
    case FailureKind::AccessDenied:
      return "Zárd be a játékot és minden programot, amely a file-jait használhatja! Ha ez sem segít, a file-t "
             "valami más fogja vagy védi:\n"
             "- egy víruskereső: várj egy kicsit, vagy engedélyezd benne ezt a programot;\n"
             "- a Windows Vezérelt mappahozzáférés funkciója: engedélyezd benne ezt a programot.\n"
             "Utána próbáld újra!";
    case FailureKind::DiskFull:
      return "A játék meghajtóján (" + DriveOf(gameDir) + ") elfogyott a hely. Szabadíts fel helyet, majd próbáld "
             "újra!";
    case FailureKind::Unexpected: return "Indítsd újra a gépet, majd próbáld újra!";
    default:
      return "Zárd be a játékot és minden programot, amely a file-jait használhatja, majd próbáld újra!";
  }
}

std::string RenameFailedText(const SwitchOutcome& o) {
  const RefusedRename& failed = o.failed;
  std::string text = "A " + ShownName(failed.from) + " átnevezése " + ShownName(failed.to) +
                     " névre nem sikerült: " + Why(failed.status) + "\n";
  if (o.kind == SwitchKind::Undone) {
    return text + "A program az addigi átnevezéseket visszavonta. " + kNothingChanged +
           Advice(failed.status.kind, o.gameDir);
  }
  text += "A visszaállítás sem sikerült teljesen. Ezek a file-ok most más néven vannak a Game mappában:\n";
  for (const RefusedRename& f : o.stranded) {
    text += ShownName(f.from) + ", eredeti neve: " + ShownName(f.to) + " (" + Why(f.status) + ")\n";
  }
  text += "A többi file a helyén van. ";
  if (o.pressAgain) {
    text += "Amint a fenti file-okat már semmi sem használja, nyomd meg újra az „" + std::string(kApplyCaption) +
            "” gombot, és a program befejezi a váltást. ";
  }
  return text +
         "Ha inkább a korábbi állapotot szeretnéd visszakapni, nevezd vissza kézzel a fenti file-okat az eredeti "
         "nevükre, ebben a sorrendben!";
}

std::vector<Problem> SwitchProblems(const SwitchOutcome& o) {
  switch (o.kind) {
    case SwitchKind::NotReady: return {NotReadyText(o.folder, o.gameDir, kApplyCaption)};
    case SwitchKind::Unreadable: {
      const auto withReason = [](const SwitchFile& f) { return Why(f.status); };
      std::vector<Problem> out{{"Nem ellenőrizhető file-ok: " +
                                    JoinNames(NamesOf(o, {SwitchFinding::Unreadable}, withReason)) + ".\n",
                                "Ha a játék hálózati vagy cserélhető meghajtón van, ellenőrizd, hogy elérhető-e; ha "
                                "nem ott van, indítsd újra a gépet, majd próbáld újra!"}};
      const std::vector<std::string> linked = NamesOf(o, SwitchFinding::Linked);
      if (!linked.empty()) out.push_back(LinkedNamesText(linked));
      return out;
    }
    case SwitchKind::PatchNotInstalled: return {{kPatchNotInstalled, kInstallPatch}};
    case SwitchKind::NotCutOff:
      return {{SidesText(o) + "\nMivel nem mondtad, hogy egy félbeszakadt váltás hagyta így őket, a program nem váltott.\n",
               "Ha kézzel átneveztél egy tárolt példányt (mrvdef vagy mrvupd a nevében), " + std::string(kStartOver) +
                   " Ha mégis egy félbeszakadt váltás hagyta így őket, nyomd meg újra az „" + kApplyCaption +
                   "” gombot, és válaszolj „Igen”-nel!"}};
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

std::string SwitchText(const SwitchOutcome& o) {
  switch (o.kind) {
    case SwitchKind::Applied:
    case SwitchKind::PatchedAlreadyActive: return AppliedText(o);
    case SwitchKind::BaseAlreadyActive: return kBaseStillActive + DateDiffersText(o);
    case SwitchKind::Undone:
    case SwitchKind::Stranded: return Headline(o.target) + RenameFailedText(o) + DateDiffersText(o);
    default: break;
  }
  std::string text = Headline(o.target) + kNothingChanged;
  std::string todo;
  for (const Problem& p : SwitchProblems(o)) {
    text += p.found;
    todo += (todo.empty() ? "" : "\n") + p.todo;  // each kind of problem comes once, with advice of its own
  }
  return text + todo + DateDiffersText(o);
}

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

std::string CutOffQuestionText(const SwitchOutcome& o) {
  return "A tárolt példányok nem egyeznek abban, hogy melyik változat aktív.\n" + SidesText(o) +
         "\nIlyet egy félbeszakadt váltás hagy (például áramszünet miatt), de egy kézzel átnevezett tárolt példány "
         "(mrvdef vagy mrvupd a nevében) is. Egy félbeszakadt váltás hagyta így őket?\n"
         "Ha igen, a program a tárolt példányok szerint befejezi a váltást. Ha nem, vagy nem tudod biztosan, "
         "válaszd a „Nem”-et: a program semmihez sem nyúl, és megmondja, hogyan kezdheted újra.";
}

std::string ResumeQuestionText(const BackupOutcome& o) {
  return "Egy korábbi biztonsági mentés nem készült el teljesen, vagy azóta eltűnt belőle valami. Ezeknek a "
         "file-oknak nincs mentése:\n" + JoinNames(BackupNames(o, [](const BackupFile& f) { return f.what == BackupFinding::ToCopy; })) +
         ".\nEzek a file-ok most az alap (v1.0) változatot tartalmazzák?\n"
         "Ha igen (például mert a patch óta újratelepítetted a játékot, vagy a patch még nincs telepítve), a "
         "program most elmenti őket alap változatként. Ha nem, vagy nem tudod biztosan, válaszd a „Nem”-et: a "
         "program semmit sem ment, és megmondja, hogyan kaphatod vissza az alap változatukat.";
}
