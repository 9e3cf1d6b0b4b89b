// Every Hungarian text the player reads, in UTF-8, grouped by the box or the place that shows it. The values a
// text holds (a file name, a number, a reason) are marked %1, %2 ... in it, and Filled puts them in; a text
// that several boxes say alike stands alone, and the texts it follows or that follow it say so.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

static_assert(sizeof("é") == 3, "both compilers read the sources as UTF-8 and keep the bytes the tests check");

// `text` with each mark %1 to %9 replaced by that value of `values`; the values go in as they are, marks and all.
// Out of line (texts.cpp): inline, each of the sentences' calls carried its own copy of the loop.
std::string Filled(std::string_view text, std::initializer_list<std::string_view> values);

// The window and its controls.
inline constexpr char kProgramTitle[] = "VONU11 XQ";
inline constexpr char kCreditLine[] = "VONU11 XQ – a VONU11 XQ fejlesztői csapat munkája";
inline constexpr char kApplyCaption[] = "Alkalmaz";
inline constexpr char kBaseCaption[] = "Alap VONU11 (v1.0)";
inline constexpr char kPatchedCaption[] = "Patchelt VONU11 (v.1.01)";
inline constexpr char kBackupNeededCaption[] = "Néhány file biztonsági mentésének elvégzése szükséges!";
inline constexpr char kPressOkCaption[] = "Nyomj OK-t a kezdéshez!";
inline constexpr char kOkCaption[] = "OK";
inline constexpr char kQuitCaption[] = "Kilépés";

// The titles of the boxes that report success; every other box has the program's.
inline constexpr char kSwitchedTitle[] = "Művelet sikeres";
inline constexpr char kBackedUpTitle[] = "Művelet kész";

// Before the window, or in its place.
inline constexpr char kAlreadyRunning[] =
    "Ez a program már fut ezen a gépen, lehet, hogy egy másik felhasználónál! Várd meg, amíg befejeződik, vagy zárd "
    "be, majd futtasd újra!";
inline constexpr char kNoWindow[] =  // %1 why
    "A program ablaka nem hozható létre: %1\n"
    "Indítsd újra a gépet, majd futtasd újra ezt a programot!";
inline constexpr char kUnexpectedError[] = "Váratlan hiba történt. Zárd be a programot, majd futtasd újra!";

// A registry value of a type the program does not read, then what to do about the game's value or the program's.
inline constexpr char kValueNotText[] =  // %1 key, %2 value
    "\nA HKEY_LOCAL_MACHINE\\%1 kulcs „%2” értéke nem szöveg, így a program nem tudja kiolvasni. ";
inline constexpr char kInstallerWritesIt[] =
    "Ezt az értéket a játék telepítője írja be: telepítsd újra a játékot, majd futtasd újra ezt a programot!";
inline constexpr char kDeleteValue[] =  // %1 the command
    "Töröld ezt az értéket (rendszergazdaként: %1), majd futtasd újra ezt a programot!";

// A failure in the system's words, or what stands for them when it has none.
inline constexpr char kWindowsErrorCode[] = "Windows-hibakód: %1";  // %1 the number
inline constexpr char kUnexpectedFailure[] = "váratlan hiba történt";
inline constexpr char kStillThere[] = "a törlés után is megvan";

// What to do about a failure, by what made it fail.
inline constexpr char kMakeDriveWritable[] =
    "A játék meghajtója nem írható (írásvédett vagy csak olvasható). Tedd írhatóvá, majd próbáld újra!";
inline constexpr char kShortenPath[] =
    "A file teljes neve a mappával együtt túl hosszú a Windows számára. Helyezd a játékot rövidebb nevű mappába, majd "
    "próbáld újra!";
inline constexpr char kGrantFolder[] =  // %1 the folder
    "A Game mappa jogosultságai nem engedik a módosítást: %1\n"
    "A mappa Tulajdonságai között, a Biztonság lapon add meg a Rendszergazdák csoportnak a Módosítás jogot, majd "
    "próbáld újra!";
inline constexpr char kFreeFile[] =
    "A Game mappában a program más változtatásai sikerültek, ennél a file-nál nem: a file maga tiltja. Nézd meg a file "
    "Tulajdonságait: ha Írásvédett, vedd le róla a jelölést; ha egy program zárolja, zárd be; a Biztonság lapon add "
    "meg a Rendszergazdák csoportnak a Teljes hozzáférést. Utána próbáld újra!";
inline constexpr char kFindWhatHoldsFile[] =
    "Zárd be a játékot és minden programot, amely a file-jait használhatja! Ha ez sem segít, a file-t valami más fogja "
    "vagy védi:\n"
    "- egy víruskereső: várj egy kicsit, vagy engedélyezd benne ezt a programot;\n"
    "- a Windows Vezérelt mappahozzáférés funkciója: engedélyezd benne ezt a programot.\n"
    "Utána próbáld újra!";
inline constexpr char kDiskFull[] =  // %1 the drive
    "A játék meghajtóján (%1) elfogyott a hely. Szabadíts fel helyet, majd próbáld újra!";
inline constexpr char kRestartPcAndRetry[] = "Indítsd újra a gépet, majd próbáld újra!";
inline constexpr char kCloseGameAndRetry[] =
    "Zárd be a játékot és minden programot, amely a file-jait használhatja, majd próbáld újra!";

// Why an operation touched nothing before it read a single name: each text what is wrong, then one what to do.
inline constexpr char kWhereRegistered[] =  // %1 the key, %2 the key under WOW6432Node, %3 the value
    "HKEY_LOCAL_MACHINE\\%1 kulcs, 64 bites Windowson HKEY_LOCAL_MACHINE\\%2, „%3” érték";
inline constexpr char kGameDirNotRead[] =  // %1 where
    "A játék telepítési mappáját nem sikerült kiolvasni a registryből (%1); az okát a program indulásakor megjelent "
    "hibaüzenet írta le.\n";
inline constexpr char kGameDirNotRegistered[] =  // %1 where
    "A játék telepítési mappája nincs bejegyezve a registryben (%1). Ezt az értéket a játék telepítője írja be.\n";
inline constexpr char kGameDirNotAbsolute[] =  // %1 where, %2 the value
    "A játék telepítési mappája nincs teljes elérési úttal bejegyezve a registryben (%1: %2). Ezt az értéket a játék "
    "telepítője írja be.\n";
inline constexpr char kReinstallToRegister[] =
    "Telepítsd újra a játékot, hogy a telepítője újra beírja a helyét, majd futtasd újra ezt a programot!";
inline constexpr char kFolderMissing[] = "A játék mappája nem található: %1\n";  // %1 the folder
inline constexpr char kReinstallInPlace[] =
    "Ha a játékot áthelyezted vagy törölted, telepítsd újra a régi helyére, majd futtasd újra ezt a programot!";
inline constexpr char kFolderUnreachable[] = "A játék mappája nem érhető el: %1 (%2)\n";  // %1 the folder, %2 why
inline constexpr char kConnectDrive[] =
    "Ha a játék hálózati vagy cserélhető meghajtón van, csatlakoztasd, majd futtasd újra ezt a programot!";
inline constexpr char kGameRunning[] =  // %1 the exe
    "A játék fut: a %1 a Game mappából indult. Amíg fut, a file-jai nem cserélhetők.\n";
inline constexpr char kCloseGame[] = "Zárd be a játékot, majd nyomd meg újra az „%1” gombot!";  // %1 the button
inline constexpr char kPrivateCopies[] =  // %1 the folder, %2 the names
    "A Windows a Game mappa file-jainak saját példányát tartja a felhasználónak ebben a mappában:\n"
    "%1\n"
    "File-ok: %2.\n"
    "A rendszergazdai jog nélkül futó programok, köztük a játék, ezeket a példányokat látják a Game mappa file-jai "
    "helyett, így amit ez a program a Game mappában tesz, arra nem hatna.\n";
inline constexpr char kMovePrivateCopies[] =
    "Helyezd át ezeket a file-okat abból a mappából máshová, majd futtasd újra ezt a programot!";
// A link on the way to the Game folder, by what could be read of it; then where it leads, if known.
inline constexpr char kLinkByOther[] =  // %1 the link
    "A Game mappához vezető úton egy hivatkozás (junction vagy szimbolikus link) áll, amelyet nem rendszergazda hozott "
    "létre:\n%1";
inline constexpr char kLinkOwnerUnread[] =  // %1 why, %2 the link
    "A Game mappához vezető úton egy hivatkozás (junction vagy szimbolikus link) áll, amelynek a tulajdonosa nem "
    "olvasható (%1), így nem tudható, hogy rendszergazda hozta-e létre:\n%2";
inline constexpr char kLinkAttributesUnread[] =  // %1 why, %2 the folder
    "A Game mappához vezető úton ennek a mappának a tulajdonságai nem olvashatók (%1), így nem dönthető el, hogy "
    "hivatkozás-e (junction vagy szimbolikus link):\n%2";
inline constexpr char kLinkLeadsTo[] = "\nIde vezet: %1";  // %1 the target
inline constexpr char kLinkNotFollowed[] =
    "\nRendszergazdaként futó program nem követ ilyen hivatkozást: egy másik felhasználó vele máshová irányíthatná a "
    "másolást és az átnevezést.\n";
inline constexpr char kRemakeLink[] =  // %1 the button
    "Ha te hoztad létre, töröld, és hozd létre újra rendszergazdaként (vagy helyezd a játékot oda, ahová mutat), majd "
    "nyomd meg újra az „%1” gombot!";
// A check of the PC that could not run, and which one.
inline constexpr char kCheckNotRun[] =  // %1 the check, %2 why
    "Egy biztonsági ellenőrzés nem futott le: %1 (%2). Ellenőrzés nélkül a program nem nyúl a file-okhoz.\n";
inline constexpr char kRunningGameCheck[] = "annak ellenőrzése, hogy fut-e a játék";
inline constexpr char kHoldFolderCheck[] =
    "a Game mappa lefoglalása, hogy a művelet alatt ne lehessen áthelyezni vagy kicserélni";
inline constexpr char kLinkWalkCheck[] = "a Game mappához vezető út hivatkozásainak ellenőrzése";
inline constexpr char kProfilesCheck[] =
    "a felhasználók listájának olvasása, hogy a Windows tart-e saját példányt a Game mappa file-jairól";
inline constexpr char kCloseOtherPrograms[] =  // %1 the button
    "Zárd be a többi programot (ha ez sem segít, indítsd újra a gépet), majd nyomd meg újra az „%1” gombot!";
inline constexpr char kNamesByCase[] =  // %1 the names
    "A Game mappában ezek a nevek csak kis- és nagybetűben különböznek egymástól: %1.\n"
    "A Windows egy névnek veszi őket, így a program nem tudná, melyik file-lal dolgozik.\n";
inline constexpr char kRenameOneTwin[] =  // %1 the button
    "Az egyiküket nevezd át vagy helyezd át máshová, majd nyomd meg újra az „%1” gombot!";

// What a box says of the names it lists: the temporary copy a killed backup left, and what each of a file's names
// holds ("megvan: ...; mappa: ...; hiányzik: ...").
inline constexpr char kTempHoldsBytes[] =  // %1 the copy
    "a %1 egy félbeszakadt mentés másolata, a file egy korábbi változata lehet benne: ne töröld";
inline constexpr char kTempEmpty[] = "a %1 egy félbeszakadt mentés üres másolata";  // %1 the copy
inline constexpr char kNamesPresent[] = "megvan: %1";  // %1 the names
inline constexpr char kNamesFolders[] = "mappa: %1";  // %1 the names
inline constexpr char kNamesAbsent[] = "hiányzik: %1";  // %1 the names
inline constexpr char kIsFolder[] = "mappa";

// What more than one box says.
inline constexpr char kNothingChanged[] = "Semmi sem változott, minden file a helyén maradt.\n";
inline constexpr char kBaseOverwritten[] =  // %1 the names
    "A Vonu11 1.01 Patch az aktív alap file-ok fölé települt (a file-ok megegyeznek a tárolt patchelt példányukkal), "
    "ezért ezeknek az alap (v1.0) változata már nincs meg a Game mappában:\n%1.\n";
inline constexpr char kReinstallGame[] =
    "Telepítsd újra a játék alap változatát (a tárolt patchelt példányok, mrvupd a nevükben, megmaradnak), majd "
    "futtasd újra ezt a programot!";
inline constexpr char kPatchedCopyGone[] =  // %1 the names
    "Ezeknek a file-oknak a tárolt patchelt példányuk eltűnt (a Game mappa többi file-ja szerint az alap változatuk "
    "aktív):\n%1.\n";
inline constexpr char kRestorePatchedCopy[] =
    "Ha egy víruskereső karanténba tette a fenti mrvupd file-okat, állítsd vissza őket onnan. Ne telepítsd rájuk a "
    "Vonu11 1.01 Patchet, mert az felülírná az alap változatukat, amelynek nincs mentése!";
// What to do where a stored copy may have been renamed by hand; a sentence that begins "Ha ..." comes before it.
inline constexpr char kStartOver[] =
    "lehet, hogy ezek között van olyan, amelyik most a másik változatot tartalmazza: ilyenkor telepítsd újra a játék "
    "alap változatát, töröld a tárolt példányokat (mrvdef és mrvupd a nevükben), és kezdd újra ezzel a programmal!";
inline constexpr char kDontPatchYet[] =
    "Még ne telepítsd a Vonu11 1.01 Patchet, mert az felülírná az alap file-okat!\n";
inline constexpr char kNotMade[] = "A biztonsági mentés nem készült el, semmi sem változott.\n";
// How to get the base version back; what to do then follows it.
inline constexpr char kPutBaseBack[] =
    "Tedd vissza ezeknek a file-oknak az alap változatát (például telepítsd újra a játékot; a már elkészült mentések "
    "megmaradnak), majd futtasd újra ezt a programot";

// The switch's box when it switched or had nothing to switch: the headline, then a line for each kind of file.
inline constexpr char kBaseApplied[] = "Alap VONU11 (v1.0) file-ok alkalmazva.";
inline constexpr char kPatchedApplied[] = "Patchelt VONU11 (v1.01) file-ok alkalmazva.";
inline constexpr char kPatchedAlreadyActive[] = "A patchelt VONU11 (v1.01) file-ok már aktívak, semmi sem változott.";
inline constexpr char kSameAsBackup[] =  // %1 the names
    "\nEzek a file-ok még megegyeznek a biztonsági mentésükkel (a patch nem cserélte le őket), ezért úgy maradtak, "
    "ahogy voltak:\n%1.";
inline constexpr char kNotPatchedYet[] =  // %1 the names
    "\nEzek a file-ok méretre még ugyanazok, mint az alap változatuk:\n%1.";
inline constexpr char kPatchAgain[] =
    "\nHa a patchnek le kellett volna cserélnie őket, telepítsd újra a Vonu11 1.01 Patchet most, amíg a patchelt "
    "változat aktív!";
inline constexpr char kSameAsPatched[] =  // %1 the names
    "\nEzek a file-ok megegyeznek a tárolt patchelt példányukkal, ezért úgy maradtak, ahogy voltak (ha a patch nem "
    "hagyta őket változatlanul, hanem az alap változatuk fölé települt, az alap változatuk már nincs meg a Game "
    "mappában):\n%1.";
inline constexpr char kNoStoredCopy[] =  // %1 the names
    "\nEzeknek a file-oknak nincs tárolt példánya, ezért úgy maradtak, ahogy voltak; a program nem tudja, melyik "
    "változatuk aktív:\n%1.";
inline constexpr char kIfBaseWanted[] = "Ha alap Vonuval is szeretnél játszani: ";  // then kReinstallGame
inline constexpr char kSwitchedBySides[] =  // then kStartOver
    "\nA program eszerint váltott, ahogy kérted: egy félbeszakadt váltás után ez így rendben van. Ha mégis kézzel "
    "átneveztél egy tárolt példányt, ";
// Where stored copies disagree: the files whose copy says the base version was active, then the others.
inline constexpr char kSaidBase[] =  // %1 the names
    "A tárolt példányuk szerint ezeknek a file-oknak az alap (v1.0) változata volt aktív:\n%1.";
inline constexpr char kSaidPatched[] =  // %1 the names
    "A tárolt példányuk szerint ezeknek a file-oknak a patchelt változata volt aktív:\n%1.";
// The last line of each of the switch's boxes that has files judged by their size alone.
inline constexpr char kDateDiffers[] =  // %1 the names
    "\nEzeknek a file-oknak a mérete megegyezik a zárójelben álló tárolt példányukéval, a dátumuk viszont nem, ezért a "
    "program azzal azonos változatnak vette őket:\n%1.";

// The switch's box when it did not switch: the headline, then what it found, then what to do.
inline constexpr char kBaseNotApplied[] = "Az alap VONU11 (v1.0) file-ok alkalmazása nem sikerült!\n";
inline constexpr char kPatchedNotApplied[] = "A patchelt VONU11 (v1.01) file-ok alkalmazása nem sikerült!\n";
inline constexpr char kBaseStillActive[] =
    "Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott.\n"
    "A Vonu11 1.01 Patch még nincs telepítve. Ha patchelt Vonuval is szeretnél játszani, most telepítsd a Patchet, "
    "majd futtasd újra ezt a programot!";
inline constexpr char kPatchNotInstalled[] =
    "A Vonu11 1.01 Patch még nincs telepítve: a Game mappában az alap file-ok aktívak, mellettük a biztonsági "
    "mentésük, patchelt file-ok még nincsenek.\n";
inline constexpr char kInstallPatch[] =
    "Telepítsd a Vonu11 1.01 Patchet, majd futtasd újra ezt a programot, és válaszd a patchelt változatot!";
inline constexpr char kUnreadableFiles[] = "Nem ellenőrizhető file-ok: %1.\n";  // %1 the names
inline constexpr char kCheckDrive[] =
    "Ha a játék hálózati vagy cserélhető meghajtón van, ellenőrizd, hogy elérhető-e; ha nem ott van, indítsd újra a "
    "gépet, majd próbáld újra!";
inline constexpr char kLinkedNames[] =  // %1 the names
    "Ezeken a neveken hivatkozás (junction vagy szimbolikus link) áll, nem file: %1.\n";
inline constexpr char kReplaceLinks[] =
    "A program hivatkozáson át nem nevez át és nem másol, mert az a Game mappán kívülre vezethet. Töröld a "
    "hivatkozást, tedd a helyére magát a file-t, majd próbáld újra!";
inline constexpr char kNoBaseCopy[] =  // %1 the names
    "Ezeknek a file-oknak nincs tárolt alap (v1.0) példányuk, így a program nem tudja, hogy az aktív file az alap vagy "
    "a patchelt változatuk-e:\n%1.\n";
inline constexpr char kRestoreBaseCopy[] =
    "Ne telepítsd rájuk a Vonu11 1.01 Patchet, mert az felülírná az egyetlen meglévő példányukat! Ha egy víruskereső "
    "karanténba tette a tárolt alap példányt (mrvdef a nevében), állítsd vissza onnan, majd próbáld újra!";
inline constexpr char kThenTryAgain[] = " Utána próbáld újra!";  // after kRestorePatchedCopy
inline constexpr char kInTheWay[] = "Már létező, útban lévő file-ok: %1.\n";  // %1 the names
inline constexpr char kSetInTheWayAside[] =
    "A program ezeket nem írja felül: tedd félre őket (nevezd át vagy helyezd át máshová), majd próbáld újra!";
inline constexpr char kEmptyFound[] =  // %1 a kEmptyLine for each
    "Ezeknél a file-oknál egy név alatt üres (0 bájtos) file áll, amely egyik változatot sem tartalmazza:\n%1";
inline constexpr char kEmptyLine[] = "%1 – üres: %2\n";  // %1 the file, %2 its empty names
inline constexpr char kSetEmptyAside[] =
    "Üres file-t a program nem vált be és nem ment el. Ha egy víruskereső karanténba tette a file-t, állítsd vissza "
    "onnan; ha nem, tedd félre az üres file-t (nevezd át vagy helyezd át máshová), majd próbáld újra!";
inline constexpr char kUnsettled[] =  // %1 a kUnsettledLine for each
    "Ezeknél a file-oknál a nevekből nem derül ki, melyik változat hol van:\n%1";
inline constexpr char kUnsettledLine[] = "%1 – %2\n";  // %1 the file, %2 what its names hold
inline constexpr char kSortOutNames[] =
    "Minden file egyik változata az eredeti nevén, a másik a tárolt (mrvdef vagy mrvupd) nevén legyen meg. Tedd félre "
    "a fölösleges, pótold a hiányzó file-okat, majd próbáld újra!";
inline constexpr char kNotSwitchedBySides[] =  // after kSaidBase, kSaidPatched
    "\nMivel nem mondtad, hogy egy félbeszakadt váltás hagyta így őket, a program nem váltott.\n";
inline constexpr char kIfRenamedByHand[] =  // then kStartOver
    "Ha kézzel átneveztél egy tárolt példányt (mrvdef vagy mrvupd a nevében), ";
inline constexpr char kIfCutOffAnswerYes[] =  // %1 the button
    " Ha mégis egy félbeszakadt váltás hagyta így őket, nyomd meg újra az „%1” gombot, és válaszolj „Igen”-nel!";
// A rename that failed midway: undone, then kNothingChanged and what to do, or not all undone.
inline constexpr char kRenameFailed[] = "A %1 átnevezése %2 névre nem sikerült: %3\n";  // %1 from, %2 to, %3 why
inline constexpr char kRenamesUndone[] = "A program az addigi átnevezéseket visszavonta. ";
inline constexpr char kNotAllUndone[] =  // %1 a kStrandedLine for each, %2 kPressApplyToFinish or nothing
    "A visszaállítás sem sikerült teljesen. Ezek a file-ok most más néven vannak a Game mappában:\n"
    "%1A többi file a helyén van. %2Ha inkább a korábbi állapotot szeretnéd visszakapni, nevezd vissza kézzel a fenti "
    "file-okat az eredeti nevükre, ebben a sorrendben!";
inline constexpr char kStrandedLine[] = "%1, eredeti neve: %2 (%3)\n";  // %1 the name now, %2 the name before, %3 why
inline constexpr char kPressApplyToFinish[] =  // %1 the button
    "Amint a fenti file-okat már semmi sem használja, nyomd meg újra az „%1” gombot, és a program befejezi a váltást. ";

// The switch's question where stored copies disagree.
inline constexpr char kCutOffQuestion[] =  // %1 kSaidBase, kSaidPatched
    "A tárolt példányok nem egyeznek abban, hogy melyik változat aktív.\n"
    "%1\n"
    "Ilyet egy félbeszakadt váltás hagy (például áramszünet miatt), de egy kézzel átnevezett tárolt példány (mrvdef "
    "vagy mrvupd a nevében) is. Egy félbeszakadt váltás hagyta így őket?\n"
    "Ha igen, a program a tárolt példányok szerint befejezi a váltást. Ha nem, vagy nem tudod biztosan, válaszd a "
    "„Nem”-et: a program semmihez sem nyúl, és megmondja, hogyan kezdheted újra.";

// The backup's box when every file is backed up.
inline constexpr char kBackupDone[] =
    "A biztonsági mentések elkészültek! Most telepítheted a Vonu11 1.01 Patchet! Utána újra futtatva ezt a programot, "
    "kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";
inline constexpr char kAlreadyPatched[] =
    "A biztonsági mentések megvannak, a Vonu11 1.01 Patch pedig már telepítve van! Futtasd újra ezt a programot, és "
    "kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";

// The backup's box when it did not back every file up. A size, and a file's size and time as its folder lists them:
inline constexpr char kMegabytes[] = "%1 MB";  // %1 the number
inline constexpr char kSizeAndTime[] = "%1: %2 bájt, %3";  // %1 the name, %2 the size, %3 the time
inline constexpr char kNoRoom[] =  // %1 needed, %2 free; then kNotMade, kDontPatchYet
    "A biztonsági mentéshez nincs elég szabad hely a játék meghajtóján!\n"
    "Szükséges: %1, szabad: %2.\n";
inline constexpr char kFreeSpace[] = "Szabadíts fel helyet a meghajtón, majd futtasd újra ezt a programot!";
inline constexpr char kNotBackedUp[] =  // then a line for each: the name, ": ", why
    "A biztonsági mentés nem készült el teljesen!\n"
    "Ezeket a file-okat nem sikerült menteni:\n";
// Why a file was not backed up.
inline constexpr char kChangedWhileCopied[] =  // %1 copied, %2 expected
    "a file megváltozott, miközben a program másolta (a másolat mérete %1 bájt, az eredetié %2 bájt): valószínűleg a "
    "játék vagy egy telepítő írt bele éppen. Zárd be őket, majd futtasd újra a biztonsági mentést!";
inline constexpr char kNotReadable[] = "nem olvasható: %1";  // %1 why
inline constexpr char kCopyNotWritable[] = "a másolata (%1) nem írható: %2";  // %1 the copy, %2 why
inline constexpr char kCopyNotRenamed[] =  // %1 the copy, %2 the name, %3 why
    "a kész másolat (%1) nem nevezhető át %2 névre: %3";
inline constexpr char kHalfCopyStays[] = "a félkész %1 nem törölhető: %2";  // %1 the copy, %2 why
inline constexpr char kTempKeptDiffers[] =  // %1 the copy, %2 kSizeAndTime of it, %3 of the file
    "a %1 egy félbeszakadt mentés másolata, de a mérete vagy a dátuma eltér a file-étól (%2; %3), így egy korábbi "
    "változatot tarthat: a program nem törli, és nem ment a helyére";
inline constexpr char kNotInGameFolder[] = "nem található a Game mappában";
inline constexpr char kNameTakenByFolder[] = "a %1 nevet egy mappa foglalja";  // %1 the name
inline constexpr char kNotCheckable[] = "a %1 nem ellenőrizhető: %2";  // %1 the name, %2 why
inline constexpr char kLinkAtName[] =  // %1 the names
    "a %1 nevén hivatkozás (junction vagy szimbolikus link) áll, nem file; a program hivatkozáson át nem másol. Töröld "
    "a hivatkozást, tedd a helyére magát a file-t";
inline constexpr char kVersionsUnclear[] =  // %1 what the names hold
    "a nevekből nem derül ki, melyik változat hol van (%1)";
inline constexpr char kEmptyNotBackedUp[] =  // %1 the names, %2 the stored copy's size and time
    "üres (0 bájtos) file áll itt: %1%2; üres file-t a program nem ment el";
// What to do, once for the files of each kind.
inline constexpr char kDiskFullForBackup[] =  // %1 the drive, %2 needed, %3 free
    "A játék meghajtóján (%1) elfogyott a hely: a hiányzó mentésekhez %2 kell, szabad %3. Szabadíts fel helyet, majd "
    "próbáld újra!";
inline constexpr char kSetCopiesAside[] =
    "A program ezeket a mentésnek látszó file-okat nem írja felül és nem törli: tedd félre őket (nevezd át vagy "
    "helyezd át máshová), majd futtasd újra ezt a programot!\n";
inline constexpr char kSaveTempCopy[] =
    "Egy félbeszakadt mentés másolata egy korábbi változatot tarthat, ezért a program nem törli: ha meg akarod "
    "tartani, másold ki a Game mappából, majd töröld onnan, és futtasd újra ezt a programot!\n";
inline constexpr char kBackupsKept[] = "Az elkészült mentések megmaradnak.\n";
inline constexpr char kFixAndRunAgain[] = "Hárítsd el a hibát, majd futtasd újra ezt a programot!";
// The patch is installed over files with no stored base copy; the files that show it are the evidence.
inline constexpr char kPatchedBeforeBackup[] =  // %1 the names; then the evidence, kPutBaseBack, kForTheBackup
    "A Vonu11 1.01 Patch már telepítve van, de ezeknek a file-oknak az alap (v1.0) változatáról nincs mentés:\n"
    "%1.\n"
    "A patchelt file-okat a program nem menti el alapként; ha a patch lecserélte őket (a méretükből ez nem mindig "
    "derül ki), az alap változatuk már nincs meg a Game mappában.\n";
inline constexpr char kPatchShowsOnFiles[] =  // %1 a line for each
    "A patch ezeken látszik (a tárolt alap példányuk eltér a mostani file-tól):\n%1";
inline constexpr char kPatchShowsOnSame[] =
    "A patch azokon látszik, amelyek megegyeznek a tárolt patchelt (mrvupd) példányukkal.\n";
inline constexpr char kPatchShowsOnStored[] = "A patch a tárolt patchelt (mrvupd) példányokon látszik.\n";
inline constexpr char kForTheBackup[] = " a biztonsági mentéshez!";  // after kPutBaseBack
inline constexpr char kMayHoldPatch[] =  // %1 the names; then kNotMade, kPutBaseBack, kAndAnswerYes
    "Mivel nem biztos, hogy ezek a file-ok most az alap (v1.0) változatot tartalmazzák, a program nem menti el őket "
    "alapként; ha a Vonu11 1.01 Patch lecserélte őket, az alap változatuk már nincs meg a Game mappában:\n%1.\n";
inline constexpr char kAndAnswerYes[] = ", és a kérdésre válaszolj „Igen”-nel!";  // after kPutBaseBack

// The backup's question before it copies what an earlier backup did not.
inline constexpr char kResumeQuestion[] =  // %1 the names
    "Egy korábbi biztonsági mentés nem készült el teljesen, vagy azóta eltűnt belőle valami. Ezeknek a file-oknak "
    "nincs mentése:\n"
    "%1.\n"
    "Ezek a file-ok most az alap (v1.0) változatot tartalmazzák?\n"
    "Ha igen (például mert a patch óta újratelepítetted a játékot, vagy a patch még nincs telepítve), a program most "
    "elmenti őket alap változatként. Ha nem, vagy nem tudod biztosan, válaszd a „Nem”-et: a program semmit sem ment, "
    "és megmondja, hogyan kaphatod vissza az alap változatukat.";
