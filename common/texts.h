// Every Hungarian text the player reads, in UTF-8, but the sentences that word one outcome of the switch or the
// backup: those stay in fileset/words/ (switch_text.cpp, backup_text.cpp, obstacle_text.cpp, names_text.cpp), and
// take from here what several boxes say alike and the names of the buttons and versions.
#pragma once

static_assert(sizeof("é") == 3, "both compilers read the sources as UTF-8 and keep the bytes the tests check");

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

// What more than one box says.
inline constexpr char kWindowsErrorCode[] = "Windows-hibakód: ";  // followed by the number
inline constexpr char kRunAgain[] = "majd futtasd újra ezt a programot!";
inline constexpr char kNothingChanged[] = "Semmi sem változott, minden file a helyén maradt.\n";
inline constexpr char kBaseOverwritten[] =
    "A Vonu11 1.01 Patch az aktív alap file-ok fölé települt (a file-ok megegyeznek a tárolt patchelt "
    "példányukkal), ezért ezeknek az alap (v1.0) változata már nincs meg a Game mappában:\n";
inline constexpr char kReinstallGame[] =
    "Telepítsd újra a játék alap változatát (a tárolt patchelt példányok, mrvupd a nevükben, megmaradnak), majd "
    "futtasd újra ezt a programot!";
inline constexpr char kPatchedCopyGone[] =
    "Ezeknek a file-oknak a tárolt patchelt példányuk eltűnt (a Game mappa többi file-ja szerint az alap "
    "változatuk aktív):\n";
inline constexpr char kRestorePatchedCopy[] =
    "Ha egy víruskereső karanténba tette a fenti mrvupd file-okat, állítsd vissza őket onnan. Ne telepítsd rájuk "
    "a Vonu11 1.01 Patchet, mert az felülírná az alap változatukat, amelynek nincs mentése!";
inline constexpr char kStartOver[] =
    "lehet, hogy ezek között van olyan, amelyik most a másik változatot tartalmazza: ilyenkor telepítsd újra a "
    "játék alap változatát, töröld a tárolt példányokat (mrvdef és mrvupd a nevükben), és kezdd újra ezzel a "
    "programmal!";
inline constexpr char kDontPatchYet[] =
    "Még ne telepítsd a Vonu11 1.01 Patchet, mert az felülírná az alap file-okat!\n";
inline constexpr char kNotMade[] = "A biztonsági mentés nem készült el, semmi sem változott.\n";
// How to get the base version back; what to do then follows it.
inline constexpr char kPutBaseBack[] =
    "Tedd vissza ezeknek a file-oknak az alap változatát (például telepítsd újra a játékot; a már elkészült "
    "mentések megmaradnak), majd futtasd újra ezt a programot";

// Before the window, or in its place.
inline constexpr char kAlreadyRunning[] =
    "Ez a program már fut ezen a gépen, lehet, hogy egy másik felhasználónál! Várd meg, amíg befejeződik, vagy zárd "
    "be, majd futtasd újra!";
inline constexpr char kNoWindow[] = "A program ablaka nem hozható létre: ";  // then why, kRestartPc, kRunAgain
inline constexpr char kRestartPc[] = "\nIndítsd újra a gépet, ";
inline constexpr char kUnexpectedError[] = "Váratlan hiba történt. Zárd be a programot, majd futtasd újra!";

// A registry value of a type the program does not read: kTheKey, the key, kKeysValue, the value, kIsNotText, then
// kInstallerWritesIt or kDeleteValue, the command and "), ", and kRunAgain.
inline constexpr char kTheKey[] = "\nA HKEY_LOCAL_MACHINE\\";
inline constexpr char kKeysValue[] = " kulcs „";
inline constexpr char kIsNotText[] = "” értéke nem szöveg, így a program nem tudja kiolvasni. ";
inline constexpr char kInstallerWritesIt[] = "Ezt az értéket a játék telepítője írja be: telepítsd újra a játékot, ";
inline constexpr char kDeleteValue[] = "Töröld ezt az értéket (rendszergazdaként: ";
