#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/box_text_check.h"
#include "support/file_ops_posix.h"
#include "fileset/decide/file_set.h"
#include "fileset/act/first_run_backup.h"
#include "fileset/words/outcome_text.h"
#include "fileset/act/version_switch.h"
#include "fileset_folder.h"

namespace {

const char kDone[] =
    "A biztonsági mentések elkészültek! Most telepítheted a Vonu11 1.01 Patchet! Utána újra futtatva ezt a "
    "programot, kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!";

class FixedZone final : public TimeZone {
 public:
  explicit FixedZone(int64_t offset) : offset_(offset) {}
  int64_t OffsetAt(int64_t) const override { return offset_; }

 private:
  int64_t offset_;
};

// The outcome, and the box's text as the window would show it, in UTC.
struct BackedUp {
  bool success;
  std::string text;
  BackupOutcome outcome;
};
// A resumed backup's question is answered "yes, the files hold the base version".
BackedUp Backup(FileOps& ops, const std::string& gameDir, ProgressSink& progress, uint32_t seed,
                const std::function<void()>& markBackupDone, PcWatch&& pc = FakePc(),
                ResumeQuestion resume = {false, [](const BackupOutcome&) { return true; }}) {
  // The question's box and the outcome's are judged as the player reads them.
  const std::function<bool(const BackupOutcome&)> answer = resume.holdsBase;
  resume.holdsBase = [&answer](const BackupOutcome& found) {
    const std::string question = ResumeQuestionText(found);
    EXPECT_EQ(BoxTextProblem(question), "") << question;
    return answer(found);
  };
  BackupOutcome outcome = FirstRunBackup(ops, pc, gameDir, progress, seed, markBackupDone, resume);
  const std::string text = BackupText(outcome, FixedZone(0));
  EXPECT_EQ(BoxTextProblem(text), "") << text;
  return {outcome.Succeeded(), text, outcome};
}

class RecordingGauge final : public ProgressSink {
 public:
  void SetProgress(int32_t value) override { values.push_back(value); }
  void StillWorking() override { ++chunks; }
  std::vector<int32_t> values;
  int chunks = 0;
};

// Contents that differ per file; data0.big spans several copy chunks and
// data1.bh is one byte.
std::string GameContent(size_t i) {
  if (i == 1) return "1";
  if (i == 3) {
    static const std::string big = [] {
      std::string s((9u << 20) + 12345, '\0');
      for (size_t k = 0; k < s.size(); ++k) s[k] = static_cast<char>(k * 31 + k / 4099);
      return s;
    }();
    return big;
  }
  return "base " + ShownName(FileSet[i].ActiveName);
}

void FillGame(const TempGameFolder& folder) {
  for (size_t i = 0; i < FileSet.size(); ++i) {
    folder.Write(FileSet[i].ActiveName, GameContent(i));
    folder.SetModified(FileSet[i].ActiveName, 1000000000 + static_cast<time_t>(i) * 86400, 123456789);
  }
}

// A stored base copy as the backup leaves it: same bytes, same last-write time.
void MakeTwin(const TempGameFolder& folder, size_t i) {
  folder.Write(FileSet[i].BaseCopyName, GameContent(i));
  const timespec source = folder.Modified(FileSet[i].ActiveName);
  folder.SetModified(FileSet[i].BaseCopyName, source.tv_sec, source.tv_nsec);
}

void ExpectWholeCopy(const TempGameFolder& folder, size_t i) {
  const FileSetEntry& e = FileSet[i];
  ASSERT_TRUE(folder.Has(e.BaseCopyName)) << e.BaseCopyName;
  EXPECT_TRUE(folder.Read(e.BaseCopyName) == GameContent(i)) << e.BaseCopyName;
  const timespec source = folder.Modified(e.ActiveName);
  const timespec copy = folder.Modified(e.BaseCopyName);
  EXPECT_EQ(copy.tv_sec, source.tv_sec) << e.BaseCopyName;
  EXPECT_EQ(copy.tv_nsec, source.tv_nsec) << e.BaseCopyName;
}

void ExpectNoTempFiles(const TempGameFolder& folder) {
  for (const auto& [name, content] : folder.Snapshot()) {
    EXPECT_EQ(name.find("mrvtmp"), std::string::npos) << name;
  }
}

TEST(RandomSteps, MatchesHandComputedDraws) {
  EXPECT_EQ(ClockSeed(0, 0, 0, 0), 0u);
  EXPECT_EQ(ClockSeed(12, 34, 56, 789), 45296789u);
  EXPECT_EQ(ClockSeed(23, 59, 59, 999), 86399999u);

  struct Case {
    uint32_t seed;
    uint32_t bound;
    std::vector<uint32_t> draws;
  };
  // x: 1, 134775814, 3698175007, 870078620 from seed 0.
  const std::vector<Case> cases = {
      {0, 3, {0, 0, 2, 0}},
      {45296789, 3, {1, 0, 1, 0, 2, 1}},
      {0xFFFFFFFFu, 3, {2, 0, 1}},
      {0, 100, {0, 3, 86, 20}},
  };
  for (const Case& c : cases) {
    RandomSteps random(c.seed);
    for (size_t k = 0; k < c.draws.size(); ++k) {
      EXPECT_EQ(random.Below(c.bound), c.draws[k]) << "seed " << c.seed << " draw " << k;
    }
  }
}

TEST(FirstRunBackup, CopiesEveryFileWholeAndMarksDoneLast) {
  TempGameFolder folder;
  FillGame(folder);
  PosixFileOps ops;
  RecordingGauge gauge;
  int marked = 0;
  const BackedUp result = Backup(ops, folder.GameDir(), gauge, 45296789, [&] {
    // Called only when every copy is already in place.
    for (const FileSetEntry& e : FileSet) EXPECT_TRUE(folder.Has(e.BaseCopyName)) << e.BaseCopyName;
    ++marked;
  });
  EXPECT_TRUE(result.success) << result.text;
  EXPECT_EQ(result.text, kDone);
  EXPECT_EQ(marked, 1);
  for (size_t i = 0; i < FileSet.size(); ++i) ExpectWholeCopy(folder, i);
  EXPECT_EQ(folder.Snapshot().size(), 14u);

  // Draws 1, 0, 1 for this seed.
  EXPECT_EQ(gauge.values, (std::vector<int32_t>{2, 30, 91, 100}));
  // The window hears from the copy after every chunk: three for data0.big
  // alone, one for each other non-empty file.
  EXPECT_GE(gauge.chunks, 3 + 5);
}

TEST(FirstRunBackup, GaugeNeverShowsTheGaps) {
  for (uint32_t seed : {0u, 1u, 45296789u, 86399999u, 0xFFFFFFFFu, 2998748646u}) {
    TempGameFolder folder;
    PosixFileOps ops;
    RecordingGauge gauge;
    FillGame(folder);
    Backup(ops, folder.GameDir(), gauge, seed, [] {});
    ASSERT_EQ(gauge.values.size(), 4u);
    EXPECT_GE(gauge.values[0], 1);
    EXPECT_LE(gauge.values[0], 3);
    EXPECT_GE(gauge.values[1], 30);
    EXPECT_LE(gauge.values[1], 32);
    EXPECT_GE(gauge.values[2], 90);
    EXPECT_LE(gauge.values[2], 92);
    EXPECT_EQ(gauge.values[3], 100);
  }
}

// One letter for each FileSet entry: what the folder holds before the backup.
//   U the active file alone (to be copied)
//   T the active file and its twin under the BaseCopyName
//   P patched active: a stored base copy that differs, older than the active file
//   Q as P, the stored base copy dated after the active file
//   B base active: the patched copy is stored
//   S both stored, none active
//   F an empty stored base copy, newer than the active file
//   E an empty stored base copy, older than the active file
//   G a stored base copy of the active file's size, written 5 s after it: of its version
//   n the active file's twin written 100 ns later; w its copy 3 s older
//   Y a stored base copy dated 2040, after the active file
TEST(FirstRunBackup, DecidesFromEachFilesVerdict) {
  const char kAlreadyPatched[] = "A biztonsági mentések megvannak, a Vonu11 1.01 Patch pedig már telepítve van!";
  const char kNoBaseCopy[] = "változatáról nincs mentés:\n";
  // The list of files with no base copy, up to vonu.exe.
  const std::string kUpToTheExe = std::string(kNoBaseCopy) + "data0.bh, data1.bh, data3.bh, data0.big, data1.big, data3.big, ";
  struct Case {
    const char* layout;
    bool success;
    std::string says;
    bool stopsFirst = false;  // a resumed backup names what stands in the way and copies nothing
  };
  const Case cases[] = {
      {"TTTTTTT", true, kDone},  // the flag reset by hand after a backup
      {"UUUTTTU", true, kDone},
      {"TTTnTTT", true, kDone},
      {"BBBBBBB", true, kAlreadyPatched},  // the flag lost after the patch
      {"PPPPPPP", true, kAlreadyPatched},
      {"QQQQQQQ", true, kAlreadyPatched},  // the patch kept its archive's dates
      {"SSSPPPB", true, kAlreadyPatched},
      {"SSSBBBT", true, kAlreadyPatched},
      {"TTTPTTT", true, kAlreadyPatched},  // a file the patch rewrote, the rest left alone
      {"TTTwTTT", true, kDone},  // a copy of the file's size is of its version, whatever its date
      // An empty copy never counts.
      {"TTTFTTT", false, "data0.big: üres (0 bájtos) file áll itt: data0.mrvdefbig"},
      {"UUUEUUU", false, "data0.big: üres (0 bájtos) file áll itt: data0.mrvdefbig", true},
      // Without the flag, stored base copies of another size beside files with
      // nothing stored show no patch: they are kept, and the rest are stored
      // once the player said they hold the base version.
      {"PPPUUUU", true, kDone},
      {"UUUPUUU", true, kDone},
      // The patch installed over the base files after a switch: nothing to store.
      {"OOOOOOO", false, kUpToTheExe + "vonu.exe.\n"},
      // A file with nothing stored beside them may hold the patch as well.
      {"OOOOOOU", false, kUpToTheExe + "vonu.exe (vonu.mrvupdexe).\n"},
      {"UUUUUUG", true, kDone},
      {"UUUUUUY", true, kDone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    TempGameFolder folder;
    std::map<std::string, std::string> expected;
    const bool noBaseCopy = c.says.find(kNoBaseCopy) != std::string::npos || c.stopsFirst;
    for (size_t i = 0; i < FileSet.size(); ++i) {
      const FileSetEntry& e = FileSet[i];
      const time_t t = 1000000000 + static_cast<time_t>(i) * 86400;
      const std::string base = "base " + ShownName(e.ActiveName);
      auto put = [&](const char* name, const std::string& content, time_t when) {
        folder.Write(name, content);
        folder.SetModified(name, when, 5000);
        expected[ShownName(name)] = content;
      };
      const char letter = c.layout[i];
      const bool patched = letter == 'P' || letter == 'Q' || letter == 'O';
      if (letter != 'S') put(e.ActiveName, patched ? "patched " + ShownName(e.ActiveName) : base, t);
      if (letter == 'T' || letter == 'S') put(e.BaseCopyName, base, t);
      if (letter == 'P') put(e.BaseCopyName, base, t - 1000);
      if (letter == 'Q') put(e.BaseCopyName, base, t + 1000);
      if (letter == 'F') put(e.BaseCopyName, "", t + 1000);
      if (letter == 'G') put(e.BaseCopyName, std::string(base.size(), 'x'), t + 5);
      if (letter == 'E') put(e.BaseCopyName, "", t - 1000);
      if (letter == 'n') put(e.BaseCopyName, base, t), folder.SetModified(e.BaseCopyName, t, 5100);
      if (letter == 'w') put(e.BaseCopyName, base, t - 3);
      if (letter == 'Y') put(e.BaseCopyName, base + "!", 2214129600);
      if (letter == 'B' || letter == 'S' || letter == 'O') put(e.PatchCopyName, "patched " + ShownName(e.ActiveName), t);
      if (letter == 'U' && !noBaseCopy) expected[ShownName(e.BaseCopyName)] = base;
    }
    PosixFileOps ops;
    RecordingGauge gauge;
    bool marked = false;
    const BackedUp result = Backup(ops, folder.GameDir(), gauge, 7, [&] { marked = true; });
    EXPECT_EQ(result.success, c.success) << result.text;
    EXPECT_EQ(marked, c.success);
    EXPECT_EQ(folder.Snapshot(), expected);
    EXPECT_NE(result.text.find(c.says), std::string::npos) << result.text;
    // "Install the patch now" only when every base version is stored and the
    // patch is not installed.
    EXPECT_EQ(result.text.find("Most telepítheted") != std::string::npos, c.says == kDone) << result.text;
    EXPECT_EQ(gauge.values.size(), noBaseCopy ? 0u : 4u);
  }
}

TEST(FirstRunBackup, MissingGameFolderCreatesNothing) {
  TempGameFolder folder(false);
  PosixFileOps ops;
  RecordingGauge gauge;
  bool marked = false;
  const BackedUp result = Backup(ops, folder.GameDir(), gauge, 0, [&] { marked = true; });
  EXPECT_FALSE(result.success);
  EXPECT_FALSE(marked);
  EXPECT_NE(result.text.find("A játék mappája nem található"), std::string::npos) << result.text;
  EXPECT_NE(result.text.find("Még ne telepítsd a Vonu11 1.01 Patchet"), std::string::npos) << result.text;
  EXPECT_TRUE(std::filesystem::is_empty(folder.root()));
}

TEST(FirstRunBackup, MissingGameFileIsNamedAndNotMarked) {
  TempGameFolder folder;
  FillGame(folder);
  std::filesystem::remove(folder.PathOf(FileSet[6].ActiveName));
  PosixFileOps ops;
  RecordingGauge gauge;
  bool marked = false;
  const BackedUp result = Backup(ops, folder.GameDir(), gauge, 0, [&] { marked = true; });
  EXPECT_FALSE(result.success);
  EXPECT_FALSE(marked);
  EXPECT_NE(result.text.find("vonu.exe: nem található a Game mappában"), std::string::npos) << result.text;
  for (size_t i = 0; i < 6; ++i) ExpectWholeCopy(folder, i);
  EXPECT_FALSE(folder.Has(FileSet[6].BaseCopyName));
}

// Only a temporary copy that holds nothing, or its file's twin, is removed,
// and only where its file is copied now; any other is kept and named.
TEST(FirstRunBackup, LeftoverTempFilesOfAKilledRunGoOnlyWhereTheyStandElsewhere) {
  TempGameFolder folder;
  FillGame(folder);
  folder.Write(std::string(FileSet[3].TempName), "half of data0.big");
  folder.Write(std::string(FileSet[2].TempName), "");
  std::filesystem::copy_file(folder.PathOf(FileSet[4].ActiveName), folder.PathOf(FileSet[4].TempName));
  std::filesystem::last_write_time(folder.PathOf(FileSet[4].TempName),
                                   std::filesystem::last_write_time(folder.PathOf(FileSet[4].ActiveName)));
  MakeTwin(folder, 0);
  folder.Write(std::string(FileSet[0].TempName), "stale");
  PosixFileOps ops;
  RecordingGauge gauge;
  const BackedUp result = Backup(ops, folder.GameDir(), gauge, 0, [] {});
  EXPECT_FALSE(result.success) << result.text;
  EXPECT_EQ(folder.Read(FileSet[3].TempName), "half of data0.big");
  EXPECT_EQ(folder.Read(FileSet[0].TempName), "stale");
  EXPECT_FALSE(folder.Has(FileSet[2].TempName));
  EXPECT_FALSE(folder.Has(FileSet[4].TempName));
  ExpectWholeCopy(folder, 4);
  EXPECT_NE(result.text.find("data0.big: a data0.mrvtmpbig egy félbeszakadt mentés másolata, de a mérete vagy a dátuma eltér"),
            std::string::npos) << result.text;
  std::filesystem::remove(folder.PathOf(FileSet[3].TempName));
  std::filesystem::remove(folder.PathOf(FileSet[0].TempName));
  const BackedUp moved = Backup(ops, folder.GameDir(), gauge, 0, [] {});
  EXPECT_TRUE(moved.success) << moved.text;
  ExpectNoTempFiles(folder);
  ExpectWholeCopy(folder, 3);

  // A removal that reports success is looked after, not trusted.
  struct LyingDelete final : public ForwardingOps {
    FileStatus Delete(const std::string&) override { return FileStatus::Success(); }
  } lying;
  folder.Write(std::string(FileSet[5].TempName), "");
  std::filesystem::remove(folder.PathOf(FileSet[5].BaseCopyName));
  const BackedUp again = Backup(lying, folder.GameDir(), gauge, 0, [] {});
  EXPECT_FALSE(again.success);
  EXPECT_NE(again.text.find("data3.big: a félkész data3.mrvtmpbig nem törölhető: a törlés után is megvan"),
            std::string::npos) << again.text;
}

// Real file operations with room for exactly one failure, at a chosen stage
// of the copy of one file.
class FailingCopy final : public FileOps {
 public:
  enum class Stage { Open, Info, Create, Read, ShortRead, Write, SetTime, Flush, Close, Rename };
  FailingCopy(size_t entry, Stage stage) : entry_(entry), stage_(stage) {}

  PathProbe Probe(const std::string& p) override { return real_.Probe(p); }
  FileStatus Rename(const std::string& from, const std::string& to) override {
    if (stage_ == Stage::Rename && Is(to, FileSet[entry_].BaseCopyName)) return Fault();
    return real_.Rename(from, to);
  }
  FileStatus OpenForReading(const std::string& p, std::unique_ptr<ReadableFile>& f) override {
    const bool mine = Is(p, FileSet[entry_].ActiveName);
    if (mine && stage_ == Stage::Open) return Fault();
    FileStatus s = real_.OpenForReading(p, f);
    if (s && mine) f = std::make_unique<Reader>(std::move(f), stage_);
    return s;
  }
  FileStatus CreateNew(const std::string& p, std::unique_ptr<WritableFile>& f) override {
    const bool mine = Is(p, std::string(FileSet[entry_].TempName));
    if (mine && stage_ == Stage::Create) return Fault();
    FileStatus s = real_.CreateNew(p, f);
    if (s && mine) f = std::make_unique<Writer>(std::move(f), stage_);
    return s;
  }
  FileStatus Delete(const std::string& p) override { return real_.Delete(p); }
  FileStatus FreeSpace(const std::string& f, uint64_t& b) override {
    return roomUnknown ? FileStatus::Failure("no answer") : real_.FreeSpace(f, b);
  }

  static FileStatus Fault() { return FileStatus::Failure("Injected fault", faultKind); }
  static inline FailureKind faultKind = FailureKind::Other;
  static inline bool roomUnknown = false;  // the drive does not say how much room it has

 private:
  static bool Is(const std::string& path, const std::string& name) {
    return path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
  }

  class Reader final : public ReadableFile {
   public:
    Reader(std::unique_ptr<ReadableFile> inner, Stage stage) : inner_(std::move(inner)), stage_(stage) {}
    FileStatus GetInfo(FileInfo& info) override {
      if (stage_ == Stage::Info) return Fault();
      return inner_->GetInfo(info);
    }
    FileStatus Read(void* buffer, size_t capacity, size_t& got) override {
      if (stage_ != Stage::Read && stage_ != Stage::ShortRead) return inner_->Read(buffer, capacity, got);
      // A few bytes come through first. Then one stage says the read failed,
      // the other pretends the file ended, as a read error can look to a
      // copy routine that trusts the system.
      if (reads_++ == 0) return inner_->Read(buffer, capacity < 3 ? capacity : 3, got);
      got = 0;
      return stage_ == Stage::Read ? Fault() : FileStatus::Success();
    }

   private:
    std::unique_ptr<ReadableFile> inner_;
    Stage stage_;
    int reads_ = 0;
  };

  class Writer final : public WritableFile {
   public:
    Writer(std::unique_ptr<WritableFile> inner, Stage stage) : inner_(std::move(inner)), stage_(stage) {}
    FileStatus Write(const void* data, size_t size) override {
      if (stage_ == Stage::Write) {
        // Part of the data reaches the disk before it fills up.
        inner_->Write(data, size / 2);
        return Fault();
      }
      return inner_->Write(data, size);
    }
    FileStatus SetLastWriteTime(const FileTime& t) override {
      return stage_ == Stage::SetTime ? Fault() : inner_->SetLastWriteTime(t);
    }
    FileStatus Flush() override { return stage_ == Stage::Flush ? Fault() : inner_->Flush(); }
    FileStatus Close() override {
      FileStatus s = inner_->Close();
      return stage_ == Stage::Close ? Fault() : s;
    }

   private:
    std::unique_ptr<WritableFile> inner_;
    Stage stage_;
  };

  PosixFileOps real_;
  size_t entry_;
  Stage stage_;
};

TEST(FirstRunBackup, FailedCopyLeavesNoPartialFileAndNoFlag) {
  using Stage = FailingCopy::Stage;
  const Stage stages[] = {Stage::Open,  Stage::Info,    Stage::Create, Stage::Read,  Stage::ShortRead,
                          Stage::Write, Stage::SetTime, Stage::Flush,  Stage::Close, Stage::Rename};
  for (size_t entry = 0; entry < FileSet.size(); ++entry) {
    for (Stage stage : stages) {
      SCOPED_TRACE("copy " + std::to_string(entry) + ", stage " + std::to_string(static_cast<int>(stage)));
      // The empty data1.bh has nothing to read or write.
      if (entry == 1 && (stage == Stage::Read || stage == Stage::ShortRead || stage == Stage::Write)) continue;
      TempGameFolder folder;
      FillGame(folder);
      FailingCopy ops(entry, stage);
      RecordingGauge gauge;
      bool marked = false;
      const BackedUp result = Backup(ops, folder.GameDir(), gauge, 0, [&] { marked = true; });
      EXPECT_FALSE(result.success);
      EXPECT_FALSE(marked);
      EXPECT_FALSE(folder.Has(FileSet[entry].BaseCopyName));
      ExpectNoTempFiles(folder);
      for (size_t other = 0; other < FileSet.size(); ++other) {
        if (other != entry) ExpectWholeCopy(folder, other);
      }
      const std::string named = ShownName(FileSet[entry].ActiveName) + ": ";
      EXPECT_NE(result.text.find(named), std::string::npos) << result.text;
      EXPECT_TRUE(result.text.find("Injected fault") != std::string::npos ||
                  result.text.find("a másolat mérete") != std::string::npos)
          << result.text;
      EXPECT_NE(result.text.find("Még ne telepítsd a Vonu11 1.01 Patchet"), std::string::npos);
      // Each failure names its own name: the source, the temporary copy or the stored one.
      const std::string temp = ShownName(FileSet[entry].TempName);
      const std::string says = stage == Stage::ShortRead ? "a file megváltozott, miközben a program másolta"
                               : stage == Stage::Rename
                                   ? "a kész másolat (" + temp + ") nem nevezhető át " +
                                         ShownName(FileSet[entry].BaseCopyName) + " névre: Injected fault"
                               : stage == Stage::Open || stage == Stage::Info || stage == Stage::Read
                                   ? "nem olvasható: Injected fault"
                                                      : "a másolata (" + temp + ") nem írható: Injected fault";
      EXPECT_NE(result.text.find(named + says), std::string::npos) << result.text;
      EXPECT_NE(result.text.find("Az elkészült mentések megmaradnak."), std::string::npos) << result.text;
      EXPECT_EQ(gauge.values.size(), 4u);
    }
  }
}

class TinyDisk final : public ForwardingOps {
 public:
  FileStatus FreeSpace(const std::string&, uint64_t& b) override {
    b = 5u << 20;
    return FileStatus::Success();
  }
};

// A drive that fills up during a copy: which drive, how much the rest
// needs and how much is free, not advice about programs holding files. A
// drive that cannot say how much room it has is tried all the same.
TEST(FirstRunBackup, DiskFullDuringACopySaysHowMuchRoomIsNeeded) {
  for (bool roomUnknown : {false, true}) {
    TempGameFolder folder;
    FillGame(folder);
    FailingCopy::faultKind = FailureKind::DiskFull;
    FailingCopy::roomUnknown = roomUnknown;
    FailingCopy ops(3, FailingCopy::Stage::Write);
    RecordingGauge gauge;
    const BackedUp result = Backup(ops, folder.GameDir(), gauge, 0, [] {});
    FailingCopy::faultKind = FailureKind::Other;
    FailingCopy::roomUnknown = false;
    EXPECT_FALSE(result.success);
    EXPECT_NE(result.text.find("elfogyott a hely: a hiányzó mentésekhez 10 MB kell, szabad "), std::string::npos)
        << result.text;
    EXPECT_EQ(result.text.find("Zárd be a játékot"), std::string::npos) << result.text;
    EXPECT_FALSE(folder.Has(FileSet[3].BaseCopyName));
    EXPECT_TRUE(folder.Has(FileSet[0].BaseCopyName));
  }
}

// A folder that tells names apart by case, as a Linux folder under Wine
// does: a name of the set, or a temporary copy's, beside its twin in other
// case stops both operations before anything moves, and the box names both.
TEST(FirstRunBackup, NamesThatDifferOnlyInCaseStopBothOperations) {
  for (const char* twin : {"DATA0.BH", "Vonu.MrvDefExe", "data1.MRVTMPbig"}) {
    SCOPED_TRACE(twin);
    TempGameFolder folder;
    FillGame(folder);
    MakeTwin(folder, 6);
    folder.Write("data1.mrvtmpbig", "a killed backup's copy");
    folder.Write(twin, "another file");
    const auto before = folder.Snapshot();
    PosixFileOps ops;
    RecordingGauge gauge;
    const BackedUp backedUp = Backup(ops, folder.GameDir(), gauge, 0, [] {});
    FakePc pc;
    const SwitchOutcome switched = VersionSwitch(ops, pc, folder.GameDir(), GameVersion::Base, {});
    EXPECT_TRUE(folder.Snapshot() == before);
    for (const std::string& text : {backedUp.text, SwitchText(switched)}) {
      EXPECT_NE(text.find("csak kis- és nagybetűben különböznek egymástól: "), std::string::npos) << text;
      EXPECT_NE(text.find(twin), std::string::npos) << text;
    }
  }
}

TEST(FirstRunBackup, NotEnoughRoomCopiesNothing) {
  TempGameFolder folder;
  FillGame(folder);
  const auto before = folder.Snapshot();
  TinyDisk ops;
  RecordingGauge gauge;
  bool marked = false;
  const BackedUp result = Backup(ops, folder.GameDir(), gauge, 0, [&] { marked = true; });
  EXPECT_FALSE(result.success);
  EXPECT_FALSE(marked);
  EXPECT_EQ(folder.Snapshot(), before);
  EXPECT_TRUE(gauge.values.empty());
  EXPECT_NE(result.text.find("nincs elég szabad hely"), std::string::npos) << result.text;
  EXPECT_NE(result.text.find("Szükséges: 10 MB, szabad: 5 MB."), std::string::npos) << result.text;

  // Once data0.big's copy is in place the rest fits.
  MakeTwin(folder, 3);
  EXPECT_TRUE(Backup(ops, folder.GameDir(), gauge, 0, [] {}).success);
}

TEST(FirstRunBackup, FlagWriteErrorReachesCallerAndCopiesStay) {
  TempGameFolder folder;
  FillGame(folder);
  PosixFileOps ops;
  RecordingGauge gauge;
  FakePc pc;
  EXPECT_THROW(FirstRunBackup(ops, pc, folder.GameDir(), gauge, 0,
                              [] { throw std::runtime_error("Failed to set data for 'Backup'"); }, {}),
               std::runtime_error);
  for (size_t i = 0; i < FileSet.size(); ++i) ExpectWholeCopy(folder, i);
}

TEST(FirstRunBackup, FaceAsksForTheBackupWhileItIsIncomplete) {
  struct Case {
    const char* what;
    std::function<void(const TempGameFolder&)> extra;
    bool incomplete;
    bool withoutFlag = incomplete;  // the flag "0" or missing: any file with nothing stored
  };
  const auto twin = [](size_t i) { return [i](const TempGameFolder& f) { MakeTwin(f, i); }; };
  const auto allTwins = [](const TempGameFolder& f) {
    for (size_t i = 0; i < FileSet.size(); ++i) MakeTwin(f, i);
  };
  const Case cases[] = {
      {"seven active files alone", [](const TempGameFolder&) {}, true},
      {"one stored copy left", twin(3), true},
      {"the marker's patched copy", [](const TempGameFolder& f) { f.Write("data0.mrvupdbig", "p"); }, false},
      {"a stored base copy that differs", [](const TempGameFolder& f) { f.Write("vonu.mrvdefexe", "v1.0"); },
       false, true},
      {"every copy stored", allTwins, false},
      {"every copy stored but of a file that is gone",
       [&](const TempGameFolder& f) {
         allTwins(f);
         std::filesystem::remove(f.PathOf("data1.bh")), std::filesystem::remove(f.PathOf("data1.mrvdefbh"));
       },
       false, true},
      {"every copy stored, one as a patched copy without its file",
       [&](const TempGameFolder& f) {
         allTwins(f);
         std::filesystem::rename(f.PathOf("data1.mrvdefbh"), f.PathOf("data1.mrvupdbh"));
         std::filesystem::remove(f.PathOf("data1.bh"));
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempGameFolder folder;
    FillGame(folder);
    c.extra(folder);
    PosixFileOps ops;
    EXPECT_EQ(BackupNeeded(ops, folder.GameDir(), true), c.incomplete);
    EXPECT_EQ(BackupNeeded(ops, folder.GameDir(), false), c.withoutFlag);
  }
  // Without a folder, the flag decides; the operations say what is wrong.
  TempGameFolder noGame(false);
  PosixFileOps ops;
  EXPECT_FALSE(BackupNeeded(ops, noGame.GameDir(), true));
  EXPECT_TRUE(BackupNeeded(ops, noGame.GameDir(), false));
}

// Nothing is touched while the game runs from the folder, Windows keeps
// private copies of its files, or a link that no administrator made leads
// there; the same check stands before the switch.
TEST(FirstRunBackup, RunningGamePrivateCopiesAndForeignLinksStopBothOperations) {
  TempGameFolder privateCopies;
  privateCopies.Write("data1.big", "old patched copy");
  privateCopies.Write("vonu.mrvupdexe", "x");
  enum Pc { kRunning, kPrivateCopies, kLink };
  for (const Pc what : {kRunning, kPrivateCopies, kLink}) {
    SCOPED_TRACE(what);
    TempGameFolder folder;
    FillGame(folder);
    folder.Write(std::string(FileSet[0].TempName), "a killed run's copy");
    const auto before = folder.Snapshot();
    FakePc pc;
    if (what == kRunning) pc.running = GamePath(folder.GameDir(), FileSet[6].BaseCopyName);
    if (what != kLink) pc.privateCopy = privateCopies.GameDir();
    if (what == kLink) pc.link = {"C:\\Games", "C:\\Windows\\System32", LinkDoubt::MadeByOther, {}};
    PosixFileOps ops;
    RecordingGauge gauge;
    const BackedUp backup = Backup(ops, folder.GameDir(), gauge, 0, [] {}, FakePc(pc));
    const SwitchOutcome switched = VersionSwitch(ops, pc, folder.GameDir(), GameVersion::Base, {});
    const auto state = what == kLink ? FolderCheck::State::LinkOnTheWay : FolderCheck::State::Obstructed;
    EXPECT_EQ(backup.outcome.folder.state, state);
    EXPECT_EQ(switched.folder.state, state);
    EXPECT_EQ(folder.Snapshot(), before);
    const char* says[] = {"A játék fut: a vonu.mrvdefexe a Game mappából indult.", "\nFile-ok: data1.big, vonu.mrvupdexe.\n",
                          "nem rendszergazda hozott létre:\nC:\\Games\nIde vezet: C:\\Windows\\System32\n"};
    for (const std::string& text : {backup.text, SwitchText(switched)}) {
      EXPECT_NE(text.find(says[what]), std::string::npos) << text;
    }
  }
}

// A link under a name of the set, or under a temporary copy's name, is
// neither followed nor removed: both operations name it and touch nothing.
TEST(FirstRunBackup, LinksUnderTheSetsNamesAreRefused) {
  TempGameFolder outside;
  outside.Write("secret", "only administrators may read this");
  for (const char* linkName : {"data0.big", "data0.mrvdefbig", "data0.mrvtmpbig"}) {
    SCOPED_TRACE(linkName);
    TempGameFolder folder;
    FillGame(folder);
    std::filesystem::remove(folder.PathOf(linkName));
    std::filesystem::create_symlink(outside.PathOf("secret"), folder.PathOf(linkName));
    const auto before = folder.Snapshot();
    PosixFileOps ops;
    RecordingGauge gauge;
    const BackedUp backup = Backup(ops, folder.GameDir(), gauge, 0, [] {});
    EXPECT_FALSE(backup.success);
    EXPECT_NE(backup.text.find("data0.big: a " + std::string(linkName) + " nevén hivatkozás"), std::string::npos)
        << backup.text;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.PathOf(linkName)));
    if (std::string(linkName) != "data0.mrvtmpbig") {
      FakePc pc;
      const std::string switched = SwitchText(VersionSwitch(ops, pc, folder.GameDir(), GameVersion::Base, {}));
      EXPECT_NE(switched.find("Ezeken a neveken hivatkozás (junction vagy szimbolikus link) áll, nem file: " +
                              std::string(linkName)), std::string::npos) << switched;
    }
    // Beside a link at the file's own name the other files are backed up;
    // one at a stored or temporary name may hide an earlier backup, so the
    // question, and every copy, waits until it is gone.
    const bool own = std::string(linkName) == "data0.big";
    if (own) {
      EXPECT_FALSE(folder.Has("data0.mrvdefbig"));
    }
    EXPECT_EQ(folder.Snapshot().size(), before.size() + (own ? 6 : 0));
    EXPECT_EQ(outside.Read("secret"), "only administrators may read this");
  }
}

TEST(LocalTimeText, AnyYearInTheZonesTime) {
  struct Case {
    int64_t seconds;
    int64_t offset;
    const char* shown;
  };
  const Case cases[] = {
      {0, 0, "1970. 01. 01. 00:00:00"},
      {-1, 0, "1969. 12. 31. 23:59:59"},
      {2214129600, 0, "2040. 02. 29. 12:00:00"},
      {2214129600, 12 * 3600, "2040. 03. 01. 00:00:00"},
      {2214129600, -13 * 3600, "2040. 02. 28. 23:00:00"},
      {4354819199, 3600, "2108. 01. 01. 00:59:59"},
      {-11644473600, 0, "1601. 01. 01. 00:00:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LocalTimeText(FileTime{c.seconds, 999999999}, FixedZone(c.offset)), c.shown) << c.seconds;
  }
}

}  // namespace
