#include "fileset/first_run_backup.h"

#include <array>
#include <ctime>
#include <memory>
#include <vector>

#include "fileset/file_copy.h"
#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

const char kDone[] =
    "A biztonsági mentések elkészültek! Most telepítheted a Vonu11 1.01 Patchet! Utána újra futtatva ezt a "
    "programot, kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";
const char kAlreadyPatched[] =
    "A biztonsági mentések megvannak, a Vonu11 1.01 Patch pedig már telepítve van! Futtasd újra ezt a programot, "
    "és kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";
const char kDontPatchYet[] = "Még ne telepítsd a Vonu11 1.01 Patchet, mert az felülírná az alap file-okat!";

// What is left to do for one entry after looking at the folder.
struct Item {
  const FileSetEntry* entry = nullptr;
  bool present = false;  // the base version is stored already
  bool failed = false;
  bool foreign = false;  // what the BaseCopyName holds is no copy of the active file
  uint64_t size = 0;
  std::string reason;
};

std::string Megabytes(uint64_t bytes, bool roundUp) {
  const uint64_t mib = uint64_t{1} << 20;
  return std::to_string(roundUp ? (bytes + mib - 1) / mib : bytes / mib) + " MB";
}

// Removes the temporary copy left by a run that was killed while copying;
// says why it could not.
std::string RemoveTemp(FileOps& ops, const std::string& gameDir, const std::string& tempName) {
  const std::string path = gameDir + tempName;
  const PathProbe probe = ops.Probe(path);
  if (probe.kind == EntryKind::Missing) return {};
  if (probe.kind != EntryKind::File) return "a " + ShownName(tempName.c_str()) + " nevet más foglalja";
  const FileStatus deleted = ops.Delete(path);
  if (!deleted) return "a félkész " + ShownName(tempName.c_str()) + " nem törölhető: " + deleted.reason;
  return {};
}

// Size and last-write time as the user finds them in the folder's listing.
std::string Described(const char* name, const PathProbe& probe) {
  std::string text = ShownName(name) + ": " + std::to_string(probe.size) + " bájt";
  const std::time_t seconds = static_cast<std::time_t>(probe.lastWrite.seconds);
  char stamp[32];
  const std::tm* local = std::localtime(&seconds);
  if (local && std::strftime(stamp, sizeof stamp, "%Y.%m.%d. %H:%M:%S", local) > 0) {
    text += std::string(", ") + stamp;
  }
  return text;
}

// Warns against the patch only while the folder shows no sign of it.
std::string FailureText(const std::vector<Item>& items, bool patchInstalled) {
  std::string text = "A biztonsági mentés nem készült el teljesen!\nEzeket a file-okat nem sikerült lementeni:\n";
  bool foreign = false;
  for (const Item& item : items) {
    if (item.failed) text += ShownName(item.entry->ActiveName) + ": " + item.reason + "\n";
    foreign = foreign || item.foreign;
  }
  if (foreign) {
    text += "A program ezeket a mentésnek látszó file-okat nem írja felül és nem törli: tedd félre őket (nevezd "
            "át vagy helyezd át máshová), majd futtasd újra ezt a programot!\n";
  }
  if (!patchInstalled) text += std::string(kDontPatchYet) + "\n";
  text += "Az elkészült mentések megmaradnak. Hárítsd el a hibát, majd futtasd újra ezt a programot!";
  return text;
}

}  // namespace

uint32_t ClockSeed(unsigned hour, unsigned minute, unsigned second, unsigned millisecond) {
  return ((static_cast<uint32_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
}

uint32_t RandomSteps::Below(uint32_t n) {
  state_ = state_ * 134775813u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(state_) * n) >> 32);
}

std::string TempCopyName(const char* baseCopyName) {
  std::string name = baseCopyName;
  const size_t at = name.find("mrvdef");
  if (at != std::string::npos) name.replace(at, 6, "mrvtmp");
  return name;
}

BackupResult FirstRunBackup(FileOps& ops, const std::string& gameDir, ProgressSink& progress, uint32_t seed,
                            const std::function<void()>& markBackupDone) {
  const std::string unusable = GameDirProblem(gameDir);
  if (!unusable.empty())
    return {false, unusable + "A biztonsági mentés nem készült el, semmi sem változott.\n" + kDontPatchYet};
  RandomSteps random(seed);

  const PathProbe folder = ops.Probe(gameDir);
  if (folder.kind != EntryKind::Other) {
    std::string text = "A játék mappája nem ";
    text += folder.kind == EntryKind::Unknown ? "érhető el: " + gameDir + " (" + folder.reason + ")\n"
                                              : "található: " + gameDir + "\n";
    text += "A biztonsági mentés nem készült el, semmi sem változott.\n";
    text += kDontPatchYet;
    return {false, text};
  }

  // Look at the folder first: a killed run's temporary copy goes, a stored
  // copy already made stays, and each missing copy's size counts for the
  // free-space check. A file whose patched copy is stored has its base
  // version active: it needs no copy. A stored base copy counts when it is
  // the active file's twin (the patch is not installed yet) or older than it
  // (the patch has rewritten the active file since); any other is kept and
  // reported.
  std::vector<Item> items;
  uint64_t needed = 0;
  bool patchInstalled = false;
  for (const FileSetEntry& e : FileSet) {
    Item item;
    item.entry = &e;
    const std::string leftover = RemoveTemp(ops, gameDir, TempCopyName(e.BaseCopyName));
    const PathProbe patched = ops.Probe(gameDir + e.PatchCopyName);
    const PathProbe stored = ops.Probe(gameDir + e.BaseCopyName);
    const PathProbe source = ops.Probe(gameDir + e.ActiveName);
    const std::string sourceProblem =
        source.kind == EntryKind::Unknown ? source.reason
        : source.kind == EntryKind::Other ? "a " + ShownName(e.ActiveName) + " nevet egy mappa foglalja"
                                          : "nem található a Game mappában";
    if (patched.kind == EntryKind::File) {
      item.present = true;
      patchInstalled = true;
    } else if (patched.kind == EntryKind::Unknown) {
      item.failed = true;
      item.reason = patched.reason;
    } else if (stored.kind == EntryKind::Other) {
      item.failed = true;
      item.reason = "a " + ShownName(e.BaseCopyName) + " nevet egy mappa foglalja";
    } else if (stored.kind == EntryKind::Unknown) {
      item.failed = true;
      item.reason = stored.reason;
    } else if (stored.kind == EntryKind::File) {
      if (source.kind != EntryKind::File) {
        item.failed = true;
        item.reason = sourceProblem;
      } else if (stored.size == source.size && stored.lastWrite == source.lastWrite) {
        item.present = true;
      } else if (stored.lastWrite < source.lastWrite) {
        item.present = true;
        patchInstalled = true;
      } else {
        item.failed = true;
        item.foreign = true;
        item.reason = "a már meglévő " + ShownName(e.BaseCopyName) + " nem ennek a mentése (" +
                      Described(e.BaseCopyName, stored) + "; " + Described(e.ActiveName, source) + ")";
      }
    } else if (!leftover.empty()) {
      item.failed = true;
      item.reason = leftover;
    } else if (source.kind == EntryKind::File) {
      item.size = source.size;
      needed += source.size;
    } else {
      item.failed = true;
      item.reason = sourceProblem;
    }
    items.push_back(std::move(item));
  }

  // When the drive cannot say how much room it has, go on: a copy that runs
  // out of room is removed again like any other failed one.
  uint64_t free = 0;
  if (needed > 0 && ops.FreeSpace(gameDir, free) && free < needed) {
    std::string text = "A biztonsági mentéshez nincs elég szabad hely a játék meghajtóján!\nSzükséges: " +
                       Megabytes(needed, true) + ", szabad: " + Megabytes(free, false) + ".\n" +
                       "Semmi sem változott. Szabadíts fel helyet, majd futtasd újra ezt a programot!\n";
    text += kDontPatchYet;
    return {false, text};
  }

  static constexpr std::array<int32_t, 7> kProgressBase{-1, -1, -1, 1, 30, 90, 100};
  for (size_t i = 0; i < items.size(); ++i) {
    Item& item = items[i];
    if (!item.present && !item.failed) {
      const FileSetEntry& e = *item.entry;
      const FileStatus copied = CopyWhole(ops, gameDir + e.ActiveName, gameDir + TempCopyName(e.BaseCopyName),
                                          gameDir + e.BaseCopyName, progress);
      if (!copied) {
        item.failed = true;
        item.reason = copied.reason;
      }
    }
    if (i + 1 == items.size()) {
      progress.SetProgress(kProgressBase[i]);
    } else if (kProgressBase[i] >= 0) {
      progress.SetProgress(kProgressBase[i] + static_cast<int32_t>(random.Below(3)));
    }
  }

  for (const Item& item : items) {
    if (item.failed) return {false, FailureText(items, patchInstalled)};
  }
  markBackupDone();
  return {true, patchInstalled ? kAlreadyPatched : kDone};
}
