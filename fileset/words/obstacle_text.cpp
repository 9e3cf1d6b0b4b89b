#include "fileset/words/text_parts.h"

#include "common/texts.h"
#include "fileset/decide/game_folder.h"
#include "settings/settings_store.h"

std::string Why(const FileStatus& status) {
  if (!status.reason.empty()) return status.reason;
  switch (status.kind) {
    case FailureKind::Unexpected: return "váratlan hiba történt";
    case FailureKind::StillThere: return "a törlés után is megvan";
    default: return kWindowsErrorCode + std::to_string(status.code);
  }
}

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

namespace {

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

}  // namespace

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
