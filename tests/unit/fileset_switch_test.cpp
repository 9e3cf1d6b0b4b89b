#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fileset/file_ops_posix.h"
#include "fileset/file_set.h"
#include "fileset/version_switch.h"
#include "fileset_folder.h"

namespace {

using Folder = std::map<std::string, std::string>;

const char kBaseApplied[] = "Alap VONU11 (v1.0) file-ok alkalmazva.";
const char kPatchApplied[] = "Patchelt VONU11 (v1.01) file-ok alkalmazva.";

std::string BaseContent(size_t i) { return "base " + ShownName(FileSet[i].ActiveName); }
std::string PatchContent(size_t i) { return "patched " + ShownName(FileSet[i].ActiveName); }

// The four states an installation can be in between runs, plus the folder
// that holds nothing but the marker.
Folder Untouched() {
  Folder f;
  for (size_t i = 0; i < FileSet.size(); ++i) f[ShownName(FileSet[i].ActiveName)] = BaseContent(i);
  return f;
}
Folder BackedUp() {
  Folder f = Untouched();
  for (size_t i = 0; i < FileSet.size(); ++i) f[ShownName(FileSet[i].BaseCopyName)] = BaseContent(i);
  return f;
}
Folder PatchedActive() {
  Folder f;
  for (size_t i = 0; i < FileSet.size(); ++i) {
    f[ShownName(FileSet[i].ActiveName)] = PatchContent(i);
    f[ShownName(FileSet[i].BaseCopyName)] = BaseContent(i);
  }
  return f;
}
Folder BaseActive() {
  Folder f;
  for (size_t i = 0; i < FileSet.size(); ++i) {
    f[ShownName(FileSet[i].ActiveName)] = BaseContent(i);
    f[ShownName(FileSet[i].PatchCopyName)] = PatchContent(i);
  }
  return f;
}
// The backed-up state switched to base: both name families hold base files.
Folder BackedUpSwitchedToBase() {
  Folder f = Untouched();
  for (size_t i = 0; i < FileSet.size(); ++i) f[ShownName(FileSet[i].PatchCopyName)] = BaseContent(i);
  return f;
}

void Fill(const TempGameFolder& folder, const Folder& files) {
  for (const auto& [name, content] : files) folder.Write(name, content);
}

struct StateCase {
  const char* label;
  Folder before;
  GameVersion target;
  bool success;
  Folder after;
};

TEST(VersionSwitch, EveryStateWithBothTargets) {
  const Folder marker{{"data0.mrvupdbig", "patched data0.big"}};
  const std::vector<StateCase> cases = {
      {"untouched to base", Untouched(), GameVersion::Base, false, Untouched()},
      {"untouched to patched", Untouched(), GameVersion::Patched, false, Untouched()},
      {"backed up to base", BackedUp(), GameVersion::Base, true, BackedUpSwitchedToBase()},
      {"backed up to patched", BackedUp(), GameVersion::Patched, true, BackedUp()},
      {"patched active to base", PatchedActive(), GameVersion::Base, true, BaseActive()},
      {"patched active to patched", PatchedActive(), GameVersion::Patched, true, PatchedActive()},
      {"base active to base", BaseActive(), GameVersion::Base, true, BaseActive()},
      {"base active to patched", BaseActive(), GameVersion::Patched, true, PatchedActive()},
      {"marker only to base", marker, GameVersion::Base, true, marker},
      {"marker only to patched", marker, GameVersion::Patched, false, marker},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.label);
    TempGameFolder folder;
    Fill(folder, c.before);
    PosixFileOps ops;
    const SwitchResult result = VersionSwitch(ops, folder.GameDir(), c.target);
    EXPECT_EQ(result.success, c.success) << result.text;
    EXPECT_EQ(folder.Snapshot(), c.after);
    if (c.success) {
      EXPECT_EQ(result.text, c.target == GameVersion::Base ? kBaseApplied : kPatchApplied);
    } else {
      EXPECT_NE(result.text.find("Semmi sem változott"), std::string::npos) << result.text;
    }
  }
}

TEST(VersionSwitch, RefusalNamesEveryMissingAndBlockingFile) {
  TempGameFolder folder;
  Folder files = PatchedActive();
  files.erase("data1.bh");
  files.erase("vonu.mrvdefexe");
  files["data3.mrvupdbig"] = "stray";
  Fill(folder, files);
  std::filesystem::create_directory(folder.PathOf("data0.mrvupdbh"));
  files["data0.mrvupdbh"] = "<dir>";

  PosixFileOps ops;
  const SwitchResult result = VersionSwitch(ops, folder.GameDir(), GameVersion::Base);
  EXPECT_FALSE(result.success);
  EXPECT_EQ(folder.Snapshot(), files);
  EXPECT_NE(result.text.find("Hiányzó file-ok a Game mappában: data1.bh, vonu.mrvdefexe."), std::string::npos)
      << result.text;
  EXPECT_NE(result.text.find("Már létező, útban lévő file-ok: data0.mrvupdbh, data3.mrvupdbig."),
            std::string::npos)
      << result.text;
}

TEST(VersionSwitch, MissingGameFolderIsReportedAsSuch) {
  TempGameFolder folder(false);
  PosixFileOps ops;
  const SwitchResult result = VersionSwitch(ops, folder.GameDir(), GameVersion::Patched);
  EXPECT_FALSE(result.success);
  EXPECT_NE(result.text.find("A játék mappája nem található: " + folder.GameDir()), std::string::npos)
      << result.text;
  EXPECT_FALSE(std::filesystem::exists(folder.game()));
}

// Lets the n-th rename fail, and optionally the undos after it, the way a
// file held open by the game or an antivirus would.
class FailingRenames final : public FileOps {
 public:
  enum class Undo { Works, FirstFails, AllFail };
  FailingRenames(int failAt, Undo undo) : failAt_(failAt), undo_(undo) {}

  bool Exists(const std::string& p) override { return real_.Exists(p); }
  PathProbe Probe(const std::string& p) override { return real_.Probe(p); }
  FileStatus Rename(const std::string& from, const std::string& to) override {
    ++calls_;
    const bool fail = calls_ == failAt_ || (calls_ > failAt_ && undo_ == Undo::AllFail) ||
                      (calls_ == failAt_ + 1 && undo_ == Undo::FirstFails);
    if (fail) return FileStatus::Failure("Injected: file in use");
    return real_.Rename(from, to);
  }
  FileStatus OpenForReading(const std::string& p, std::unique_ptr<ReadableFile>& f) override {
    return real_.OpenForReading(p, f);
  }
  FileStatus CreateNew(const std::string& p, std::unique_ptr<WritableFile>& f) override {
    return real_.CreateNew(p, f);
  }
  FileStatus Delete(const std::string& p) override { return real_.Delete(p); }
  FileStatus FreeSpace(const std::string& f, uint64_t& b) override { return real_.FreeSpace(f, b); }

 private:
  PosixFileOps real_;
  int failAt_;
  Undo undo_;
  int calls_ = 0;
};

TEST(VersionSwitch, FailedRenameIsUndoneOrEveryStrandedFileIsNamed) {
  struct Direction {
    Folder before;
    GameVersion target;
  };
  const std::vector<Direction> directions = {{PatchedActive(), GameVersion::Base},
                                             {BaseActive(), GameVersion::Patched}};
  for (const Direction& d : directions) {
    for (FailingRenames::Undo undo :
         {FailingRenames::Undo::Works, FailingRenames::Undo::FirstFails, FailingRenames::Undo::AllFail}) {
      for (int n = 1; n <= 14; ++n) {
        SCOPED_TRACE("target " + std::to_string(static_cast<int>(d.target)) + ", undo mode " +
                     std::to_string(static_cast<int>(undo)) + ", rename " + std::to_string(n));
        TempGameFolder folder;
        Fill(folder, d.before);
        FailingRenames ops(n, undo);
        const SwitchResult result = VersionSwitch(ops, folder.GameDir(), d.target);
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
        EXPECT_NE(result.text.find("Nevezd vissza kézzel"), std::string::npos);

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

}  // namespace
