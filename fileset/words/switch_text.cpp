#include "fileset/words/outcome_text.h"

#include "common/texts.h"
#include "fileset/words/text_parts.h"

namespace {

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
std::string Found(const SwitchFile& f) {
  const FileSetEntry& e = *f.entry;
  return Noted(ShownName(e.ActiveName), TempNote(e, f.tempLeft)) + " – " + NamesHeld(f) + "\n";
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
std::string CutOffQuestionText(const SwitchOutcome& o) {
  return "A tárolt példányok nem egyeznek abban, hogy melyik változat aktív.\n" + SidesText(o) +
         "\nIlyet egy félbeszakadt váltás hagy (például áramszünet miatt), de egy kézzel átnevezett tárolt példány "
         "(mrvdef vagy mrvupd a nevében) is. Egy félbeszakadt váltás hagyta így őket?\n"
         "Ha igen, a program a tárolt példányok szerint befejezi a váltást. Ha nem, vagy nem tudod biztosan, "
         "válaszd a „Nem”-et: a program semmihez sem nyúl, és megmondja, hogyan kezdheted újra.";
}
