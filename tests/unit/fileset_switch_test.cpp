#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/box_text_check.h"
#include "support/file_ops_posix.h"
#include "fileset/decide/file_set.h"
#include "fileset/act/first_run_backup.h"
#include "fileset/words/outcome_text.h"
#include "fileset/act/version_switch.h"
#include "fileset_folder.h"
#include "support/memory_folder.h"
#include "support/quiet.h"

namespace {

using Folder = std::map<std::string, std::string>;

const char kBaseApplied[] = "Alap VONU11 (v1.0) file-ok alkalmazva.";
const char kPatchApplied[] = "Patchelt VONU11 (v1.01) file-ok alkalmazva.";

// The outcome, and the box's text as the window would show it.
struct Switched {
  bool success;
  std::string text;
  SwitchOutcome outcome;
};
// Where stored copies disagree, the player says a switch was cut off.
Switched Switch(FileOps& ops, const std::string& gameDir, GameVersion target) {
  FakePc pc;
  SwitchOutcome outcome = VersionSwitch(ops, pc, gameDir, target, [](const SwitchOutcome& found) {
    const std::string question = CutOffQuestionText(found);
    EXPECT_EQ(BoxTextProblem(question), "") << question;
    return true;
  });
  const std::string text = SwitchText(outcome);
  EXPECT_EQ(BoxTextProblem(text), "") << text;
  return {outcome.Succeeded(), text, outcome};
}

std::string BaseContent(size_t i) { return "base " + ShownName(FileSet[i].ActiveName); }
std::string PatchContent(size_t i) { return "patched " + ShownName(FileSet[i].ActiveName); }

// A folder described file by file, one letter for each FileSet entry:
//   P patched active (patched file active, base copy stored)
//   Y as P, the base copy written 1000 s after the active file
//   B base active (base file active, patched copy stored)
//   b base active, the stored "patched" copy still the base file
//   O the patch installed again over base active: the patched file, and its twin stored as patched
//   S both stored, none active (a switch cut off between its halves)
//   T the backup's twin of the active base file, nothing patched
//   n, w as T, the stored copy written 100 ns (n) or 3 s (w) after the active file
//   U untouched (the base file alone)
//   3 all three names hold a file; 0 none; d the stored base copy alone
//   E an empty stored base copy beside the active file
Folder Layout(const std::string& letters) {
  Folder f;
  for (size_t i = 0; i < FileSet.size(); ++i) {
    const std::string active = ShownName(FileSet[i].ActiveName);
    const std::string base = ShownName(FileSet[i].BaseCopyName);
    const std::string patch = ShownName(FileSet[i].PatchCopyName);
    switch (letters.at(i)) {
      case 'P':
      case 'Y': f[active] = PatchContent(i), f[base] = BaseContent(i); break;
      case 'B': f[active] = BaseContent(i), f[patch] = PatchContent(i); break;
      case 'b': f[active] = BaseContent(i), f[patch] = BaseContent(i); break;
      case 'O': f[active] = PatchContent(i), f[patch] = PatchContent(i); break;
      case 'E': f[active] = BaseContent(i), f[base] = ""; break;
      case 'S': f[base] = BaseContent(i), f[patch] = PatchContent(i); break;
      case 'T':
      case 'n':
      case 'w': f[active] = BaseContent(i), f[base] = BaseContent(i); break;
      case 'U': f[active] = BaseContent(i); break;
      case '3': f[active] = BaseContent(i), f[base] = BaseContent(i), f[patch] = PatchContent(i); break;
      case 'd': f[base] = BaseContent(i); break;
      default: break;
    }
  }
  return f;
}

// Every file gets the same last-write time, so that twins are twins, but
// for the stored copies that `letters` date later.
void Fill(const TempGameFolder& folder, const Folder& files, time_t modified = 1300000000,
          const std::string& letters = "") {
  for (const auto& [name, content] : files) {
    folder.Write(name, content);
    folder.SetModified(name, modified);
  }
  for (size_t i = 0; i < letters.size(); ++i) {
    if (letters[i] == 'n') folder.SetModified(FileSet[i].BaseCopyName, modified, 100);
    if (letters[i] == 'w') folder.SetModified(FileSet[i].BaseCopyName, modified + 3);
    if (letters[i] == 'Y') folder.SetModified(FileSet[i].BaseCopyName, modified + 1000);
  }
}

struct StateCase {
  const char* before;
  GameVersion target;
  const char* after;  // nullptr: refused, the folder as it was
  std::string says;   // a part of the box's text
  time_t modified = 1300000000;
  std::optional<SwitchKind> kind = std::nullopt;
};

TEST(VersionSwitch, EachFileFromItsVerdict) {
  constexpr GameVersion kBase = GameVersion::Base, kPatched = GameVersion::Patched;
  const time_t k1975 = 170000000, kT = 1300000000;
  const SwitchKind kNotInstalled = SwitchKind::PatchNotInstalled, kAlready = SwitchKind::BaseAlreadyActive,
                   kApplied = SwitchKind::Applied, kRefused = SwitchKind::Refused;
  const char kNoBase[] = "az alap vagy a patchelt változatuk-e:\n";
  const std::vector<StateCase> cases = {
      {"PPPPPPP", kBase, "BBBBBBB", kBaseApplied},
      {"PPPPPPP", kPatched, "PPPPPPP", kPatchApplied},
      {"BBBBBBB", kPatched, "PPPPPPP", kPatchApplied},
      {"BBBBBBB", kBase, "BBBBBBB", kBaseApplied},
      // Nothing stored anywhere: no base version to switch to, no patch seen.
      {"UUUUUUU", kBase, nullptr, "data0.bh, data1.bh, data3.bh, data0.big, data1.big, data3.big, vonu.exe.\n"},
      {"UUUUUUU", kPatched, nullptr, kNoBase},
      // The backup's twins: the patch is not installed, whatever is asked.
      {"TTTTTTT", kBase, "TTTTTTT", "Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott."},
      {"TTTTTTT", kPatched, nullptr, "A Vonu11 1.01 Patch még nincs telepítve"},
      // Cut off in the first and in the second half, finished either way.
      {"SSSPPPP", kBase, "BBBBBBB", kBaseApplied},
      {"SSSPPPP", kPatched, "PPPPPPP", kPatchApplied},
      {"BBBSSSS", kPatched, "PPPPPPP", kPatchApplied},
      {"PBSPBSB", kBase, "BBBBBBB", kBaseApplied},
      {"PBSPBSB", kPatched, "PPPPPPP", kPatchApplied},
      // A file with nothing stored beside base files lost its patched copy:
      // it is the base version already, and the box names the copy gone.
      {"UUUBUUU", kBase, "UUUBUUU",
       "a tárolt patchelt példányuk eltűnt (a Game mappa többi file-ja szerint az alap változatuk aktív):\ndata0.bh "
       "(data0.mrvupdbh), data1.bh (data1.mrvupdbh), data3.bh (data3.mrvupdbh), data1.big (data1.mrvupdbig)", kT,
       kApplied},
      {"UUUBUUU", kPatched, nullptr, "a tárolt patchelt példányuk eltűnt (a Game mappa", kT, kRefused},
      // A file under all three names elsewhere: no guess at which copy is gone.
      {"UUUBUU3", kPatched, nullptr, "az alap változatuk aktív):\ndata0.bh, data1.bh, data3.bh, data1.big, data3.big.\n", kT,
       kRefused},
      // Beside a switch cut off, nothing tells which version it is, nor which copy it lost.
      {"TTTOOOU", kPatched, "TTTOOOU", "melyik változatuk aktív:\nvonu.exe.", kT, kApplied},
      {"TTTOOOU", kBase, nullptr, "változatuk-e:\nvonu.exe.\n", kT, kRefused},
      // Beside patched files it may be either version: it stays.
      {"UUUPUUU", kPatched, "UUUPUUU", "nincs tárolt példánya, ezért úgy maradtak, ahogy voltak", kT, kApplied},
      // The patch installed again over the base version: that is gone.
      {"OOOOOOO", kBase, nullptr, "alap (v1.0) változata már nincs meg a Game mappában:\ndata0.bh,", kT, kRefused},
      {"OOOOOOO", kPatched, "OOOOOOO", "A patchelt VONU11 (v1.01) file-ok már aktívak", kT,
       SwitchKind::PatchedAlreadyActive},
      // A backed-up folder whose stored data0.big copy is gone: no advice
      // to patch over the only base version.
      {"TTTUTTT", kBase, nullptr, std::string(kNoBase) + "data0.big.\nNe telepítsd rájuk", kT, kRefused},
      {"TTTUTTT", kPatched, nullptr, std::string(kNoBase) + "data0.big.\n", kT, kRefused},
      {"TTTBBBU", kBase, "TTTBBBU", "vonu.exe (vonu.mrvupdexe)", kT, kApplied},
      // Names that settle nothing are not guessed at.
      {"PPP3PPP", kBase, nullptr, "data0.big – megvan: data0.big, data0.mrvdefbig, data0.mrvupdbig\n"},
      {"BBBBBB0", kBase, nullptr, "vonu.exe – hiányzik: vonu.exe, vonu.mrvdefexe, vonu.mrvupdexe\n"},
      {"dPPPPPP", kPatched, nullptr, "data0.bh – megvan: data0.mrvdefbh; hiányzik: data0.bh, data0.mrvupdbh\n"},
      {"PPPPPPE", kBase, nullptr, "vonu.exe – üres: vonu.mrvdefexe"},
      // A file is a file, whatever its date, and date order is no evidence.
      {"BBBBBBB", kBase, "BBBBBBB", kBaseApplied, 0},
      {"PPPPPPP", kBase, "BBBBBBB", kBaseApplied, k1975},
      {"YYYYYYY", kBase, "BBBBBBB", kBaseApplied},
      {"TTTTTTT", kPatched, nullptr, "A Vonu11 1.01 Patch még nincs telepítve", 0},
      // Twins within the file system's two seconds.
      {"TTTnTTT", kPatched, nullptr, "A Vonu11 1.01 Patch még nincs telepítve", kT, kNotInstalled},
      {"nTTTTTT", kBase, "nTTTTTT", "Az alap VONU11 (v1.0) file-ok már aktívak", kT, kAlready},
      // The size of its stored copy and another date: that copy's version, named.
      {"TTTwTTT", kPatched, nullptr, "a dátumuk viszont nem, ezért a program azzal azonos változatnak vette "
                                     "őket:\ndata0.big (data0.mrvdefbig).", kT, kNotInstalled},
      // A file the patch leaves alone, or did not reach, is no dead end: it
      // stays either way, never filed under the other version's name, and
      // the box names it.
      {"TTTTTTP", kBase, "TTTTTTB", "ezért úgy maradtak, ahogy voltak:\ndata0.bh, data1.bh, data3.bh, "
                                   "data0.big, data1.big, data3.big.", kT, kApplied},
      {"TTTTTTP", kPatched, "TTTTTTP", "telepítsd újra a Vonu11 1.01 Patchet most, amíg a patchelt változat aktív",
       kT, kApplied},
      {"PPPPPPT", kBase, "BBBBBBT", kBaseApplied + std::string("\nEzek a file-ok még megegyeznek"), kT, kApplied},
      // Backups of base files beside a patched file and its twin: nothing
      // tells which version is wanted where; every file stays, named.
      {"TTTTTTO", kBase, "TTTTTTO", "megegyeznek a tárolt patchelt példányukkal, ezért úgy maradtak", kT, kApplied},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(std::string(c.before) + (c.target == kBase ? " to base" : " to patched"));
    TempGameFolder folder;
    Fill(folder, Layout(c.before), c.modified, c.before);
    PosixFileOps ops;
    const Switched result = Switch(ops, folder.GameDir(), c.target);
    EXPECT_EQ(result.success, c.after != nullptr) << result.text;
    if (c.kind) {
      EXPECT_EQ(result.outcome.kind, *c.kind) << result.text;
    }
    EXPECT_EQ(folder.Snapshot(), Layout(c.after ? c.after : c.before));
    EXPECT_NE(result.text.find(c.says), std::string::npos) << result.text;
    // No box advises patching over a base version that is not stored.
    if (result.text.find(kNoBase) != std::string::npos) {
      EXPECT_EQ(result.text.find("Telepítsd"), std::string::npos) << result.text;
    }
    if (!c.after) {
      EXPECT_NE(result.text.find("Semmi sem változott"), std::string::npos) << result.text;
    }
  }
}

TEST(VersionSwitch, RefusalNamesEveryProblemAtOnce) {
  TempGameFolder folder;
  Folder files = Layout("PPPPP3P");
  files.erase("data1.mrvdefbh");
  files.erase("vonu.mrvdefexe");
  Fill(folder, files);
  std::filesystem::create_directory(folder.PathOf("data0.mrvupdbh"));
  std::filesystem::create_directory(folder.PathOf("data1.mrvupdbh"));
  files["data0.mrvupdbh"] = files["data1.mrvupdbh"] = "<dir>";

  PosixFileOps ops;
  const Switched result = Switch(ops, folder.GameDir(), GameVersion::Base);
  EXPECT_FALSE(result.success);
  EXPECT_EQ(folder.Snapshot(), files);
  for (const char* part : {"az alap vagy a patchelt változatuk-e:\ndata1.bh, vonu.exe.",
                           "Már létező, útban lévő file-ok: data0.mrvupdbh (mappa).",
                           "data3.big – megvan: data3.big, data3.mrvdefbig, data3.mrvupdbig\n"}) {
    EXPECT_NE(result.text.find(part), std::string::npos) << part << "\n" << result.text;
  }
}

TEST(VersionSwitch, MissingGameFolderIsReportedAsSuch) {
  TempGameFolder folder(false);
  PosixFileOps ops;
  const Switched result = Switch(ops, folder.GameDir(), GameVersion::Patched);
  EXPECT_FALSE(result.success);
  EXPECT_NE(result.text.find("A játék mappája nem található: " + folder.GameDir()), std::string::npos)
      << result.text;
  EXPECT_FALSE(std::filesystem::exists(folder.game()));
}

// Lets the n-th rename fail, and optionally the undos after it, the way a
// file held open by the game or an antivirus would.
class FailingRenames final : public ForwardingOps {
 public:
  enum class Undo { Works, FirstFails, AllFail };
  FailingRenames(int failAt, Undo undo, FailureKind kind = FailureKind::InUse)
      : failAt_(failAt), undo_(undo), kind_(kind) {}

  FileStatus Rename(const std::string& from, const std::string& to) override {
    ++calls_;
    const bool fail = calls_ == failAt_ || (calls_ > failAt_ && undo_ == Undo::AllFail) ||
                      (calls_ == failAt_ + 1 && undo_ == Undo::FirstFails);
    if (fail) return FileStatus::Failure("Injected: file in use", kind_);
    return ForwardingOps::Rename(from, to);
  }

 private:
  int failAt_;
  Undo undo_;
  FailureKind kind_;
  int calls_ = 0;
};

TEST(VersionSwitch, FailedRenameIsUndoneOrEveryStrandedFileIsNamed) {
  struct Direction {
    Folder before;
    GameVersion target;
    int renames;
    Folder switched;
  };
  const std::vector<Direction> directions = {{Layout("PPPPPPP"), GameVersion::Base, 14, Layout("BBBBBBB")},
                                             {Layout("BBBBBBB"), GameVersion::Patched, 14, Layout("PPPPPPP")},
                                             {Layout("SSPSSBS"), GameVersion::Base, 7, Layout("BBBBBBB")}};
  for (const Direction& d : directions) {
    for (FailingRenames::Undo undo :
         {FailingRenames::Undo::Works, FailingRenames::Undo::FirstFails, FailingRenames::Undo::AllFail}) {
      for (int n = 1; n <= d.renames; ++n) {
        SCOPED_TRACE("target " + std::to_string(static_cast<int>(d.target)) + ", undo mode " +
                     std::to_string(static_cast<int>(undo)) + ", rename " + std::to_string(n));
        TempGameFolder folder;
        Fill(folder, d.before);
        FailingRenames ops(n, undo);
        const Switched result = Switch(ops, folder.GameDir(), d.target);
        ASSERT_FALSE(result.success);
        EXPECT_NE(result.text.find("Injected: file in use"), std::string::npos) << result.text;

        const Folder after = folder.Snapshot();
        if (undo == FailingRenames::Undo::Works || n == 1) {
          EXPECT_EQ(after, d.before);
          EXPECT_NE(result.text.find("Semmi sem változott"), std::string::npos) << result.text;
          continue;
        }
        // Nothing is lost, and the report says where each moved file is:
        // renaming back as it says restores the folder.
        ASSERT_EQ(after.size(), d.before.size());
        int moved = 0;
        for (const auto& [name, content] : after) {
          if (d.before.count(name) && d.before.at(name) == content) continue;
          std::string original;
          for (const auto& [oldName, oldContent] : d.before) {
            if (oldContent == content) original = oldName;
          }
          ASSERT_FALSE(original.empty()) << "unknown content under " << name;
          EXPECT_NE(result.text.find(name + ", eredeti neve: " + original), std::string::npos) << result.text;
          ++moved;
        }
        // A file left under another name can keep the undo of an older
        // rename from freeing its target, so more may be stranded than
        // undos failed; the report must list exactly those.
        EXPECT_GE(moved, 1);
        size_t listed = 0;
        for (size_t at = 0; (at = result.text.find(", eredeti neve: ", at)) != std::string::npos; ++at) ++listed;
        EXPECT_EQ(listed, static_cast<size_t>(moved)) << result.text;
        EXPECT_NE(result.text.find("nevezd vissza kézzel"), std::string::npos);
        // "Alkalmaz" finishes the switch only where every stranded file is held;
        // a name that another stranded file took stays taken.
        size_t held = 0;
        for (size_t at = 0; (at = result.text.find(" (Injected: file in use)\n", at)) != std::string::npos; ++at) ++held;
        EXPECT_EQ(result.text.find("nyomd meg újra az „Alkalmaz” gombot") != std::string::npos, held == listed)
            << result.text;

        // Pressing "Alkalmaz" again once the files are free finishes the switch.
        TempGameFolder again;
        Fill(again, after);
        PosixFileOps free;
        EXPECT_TRUE(Switch(free, again.GameDir(), d.target).success);
        EXPECT_EQ(again.Snapshot(), d.switched);

        // Following the report line by line, from the top, restores the folder.
        std::istringstream report(result.text);
        for (std::string line; std::getline(report, line);) {
          const size_t comma = line.find(", eredeti neve: ");
          if (comma == std::string::npos) continue;
          const std::string current = line.substr(0, comma);
          const size_t start = comma + std::string(", eredeti neve: ").size();
          const std::string original = line.substr(start, line.find(" (", start) - start);
          ASSERT_FALSE(folder.Has(original)) << line;
          std::filesystem::rename(folder.PathOf(current), folder.PathOf(original));
        }
        EXPECT_EQ(folder.Snapshot(), d.before);
      }
    }
  }
}

TEST(VersionSwitch, AdviceFitsTheFailure) {
  const std::pair<FailureKind, const char*> cases[] = {
      {FailureKind::InUse, "Zárd be a játékot és minden programot, amely a file-jait használhatja, majd"},
      {FailureKind::Other, "Zárd be a játékot és minden programot, amely a file-jait használhatja, majd"},
      {FailureKind::AccessDenied, "a Windows Vezérelt mappahozzáférés funkciója"},
      {FailureKind::ReadOnlyDrive, "A játék meghajtója nem írható"},
      {FailureKind::NameTooLong, "túl hosszú a Windows számára"},
      // The folder took four renames before this one.
      {FailureKind::FolderDenied, "ennél a file-nál nem: a file maga tiltja. Nézd meg a file Tulajdonságait"},
      {FailureKind::DiskFull, "elfogyott a hely. Szabadíts fel helyet"},
  };
  for (const auto& [kind, advice] : cases) {
    SCOPED_TRACE(advice);
    TempGameFolder folder;
    Fill(folder, Layout("BBBSSSS"));
    FailingRenames ops(5, FailingRenames::Undo::Works, kind);
    const Switched result = Switch(ops, folder.GameDir(), GameVersion::Patched);
    EXPECT_FALSE(result.success);
    EXPECT_EQ(folder.Snapshot(), Layout("BBBSSSS"));
    EXPECT_NE(result.text.find(advice), std::string::npos) << result.text;
  }
}

// One name of the set, or a temporary copy's, that the system cannot read,
// that a link holds, or that a folder holds, in a folder of each side: no
// operation loses a file's content, and one that stops names it. Where the
// system cannot read one of a file's four names or a link holds it, both stop.
class OneOddName final : public FileOps {
 public:
  OneOddName(MemoryFolder& folder, std::string odd, PathProbe probe)
      : folder_(folder), odd_(std::move(odd)), probe_(std::move(probe)) {}
  PathProbe Probe(const std::string& p) override { return folder_.NameOf(p) == odd_ ? probe_ : folder_.Probe(p); }
  FileStatus Rename(const std::string& f, const std::string& t) override { return folder_.Rename(f, t); }
  FileStatus OpenForReading(const std::string& p, std::unique_ptr<ReadableFile>& f) override {
    return folder_.OpenForReading(p, f);
  }
  FileStatus CreateNew(const std::string& p, std::unique_ptr<WritableFile>& f) override { return folder_.CreateNew(p, f); }
  FileStatus Delete(const std::string& p) override { return folder_.Delete(p); }
  FileStatus FreeSpace(const std::string& f, uint64_t& b) override { return folder_.FreeSpace(f, b); }

 private:
  MemoryFolder& folder_;
  std::string odd_;
  PathProbe probe_;
};

TEST(VersionSwitch, AnOddNameIsNamedAndLosesNothing) {
  const std::string dir = MakeGameDir("C:\\VONU11");
  std::vector<std::string> names;
  for (const FileSetEntry& e : FileSet) {
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) names.push_back(ShownName(name));
    names.push_back(ShownName(e.TempName));
  }
  PathProbe unknown, link, folder;
  unknown.kind = EntryKind::Unknown, unknown.reason = "the drive did not answer";
  link.kind = EntryKind::File, link.link = true;
  folder.kind = EntryKind::Folder;
  for (const char* layout : {"PPPPPPP", "BBBBBBB", "TTTTTTT", "UUUUUUU"}) {
    MemoryFolder::Files files;
    for (const auto& [name, content] : Layout(layout)) files[name] = {content, {1300000000, 0}};
    // Each operation on the folder as it is, then with the odd name.
    const auto run = [&](int op, const std::string& odd, const PathProbe& probe, MemoryFolder& memory, std::string& text) {
      OneOddName ops(memory, odd, probe);
      FakePc pc;
      NoGauge gauge;
      if (op < 2) {
        const SwitchOutcome o = VersionSwitch(ops, pc, dir, op == 0 ? GameVersion::Base : GameVersion::Patched, {});
        text = SwitchText(o);
        return o.Succeeded();
      }
      const BackupOutcome o = FirstRunBackup(ops, pc, dir, gauge, 0, [] {}, {});
      text = BackupText(o, Utc());
      return o.Succeeded();
    };
    for (int op = 0; op < 3; ++op) {
      std::string text;
      MemoryFolder plain(dir, files);
      const bool works = run(op, "", PathProbe(), plain, text);
      for (const std::string& odd : names) {
        for (const PathProbe* probe : {&unknown, &link, &folder}) {
          SCOPED_TRACE(std::string(layout) + " " + odd + " " + std::to_string(op) + " " + std::to_string(probe - &unknown));
          MemoryFolder memory(dir, files);
          const bool succeeded = run(op, odd, *probe, memory, text);
          for (const auto& [name, file] : files) {
            bool kept = false;
            for (const auto& [now, held] : memory.files()) kept = kept || held.bytes == file.bytes;
            EXPECT_TRUE(kept) << name << " lost\n" << text;
          }
          if (probe != &folder) {
            EXPECT_FALSE(succeeded) << text;
          }
          if (!succeeded && (probe != &folder || works)) {
            EXPECT_NE(text.find(odd), std::string::npos) << text;
          }
          // A folder where a stored copy says the file is: names that contradict each other.
          const size_t at = static_cast<size_t>(&odd - names.data());
          if (op == 2 && probe == &folder && at % 4 == 0 && layout[at / 4] != 'U') {
            EXPECT_NE(text.find("a nevekből nem derül ki"), std::string::npos) << text;
          }
        }
      }
    }
  }
}

}  // namespace
