#include <gtest/gtest.h>

#include "fileset/decide/file_set.h"
#include "fileset/act/first_run_backup.h"
#include "fileset/decide/file_verdict.h"
#include "fileset/decide/game_folder.h"
#include "fileset/words/outcome_text.h"
#include "fileset/act/version_switch.h"
#include "app/error_text.h"
#include "support/box_text_check.h"
#include "support/memory_registry.h"
#include "settings/settings_store.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

std::string ThrownMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegistryException& e) {
    // The error box shows it, a full stop added.
    const std::string box = ErrorBoxText(e.what());
    EXPECT_EQ(BoxTextProblem(box), "") << box;
    return e.what();
  }
  return "(nothing thrown)";
}

TEST(RegistryStrings, WrittenStringsCountTheirTerminatingZero) {
  EXPECT_EQ(EncodeRegString("1"), Bytes({'1', 0, 0, 0}));
  EXPECT_EQ(EncodeRegString(""), Bytes({0, 0}));
  // ő is U+0151: Hungarian letters travel as UTF-16, whatever the 8-bit code page.
  EXPECT_EQ(EncodeRegString("\xC5\x91"), Bytes({0x51, 0x01, 0, 0}));
}

TEST(RegistryStrings, ReadingIsSafeForAnyBytes) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    std::string text;
  } cases[] = {
      {"no terminating zero", Bytes({'C', 0, ':', 0}), "C:"},
      {"odd byte count", Bytes({'C', 0, ':', 0, '\\'}), "C:"},
      {"single byte", Bytes({'x'}), ""},
      {"cut at the first zero", Bytes({'a', 0, 0, 0, 'b', 0}), "a"},
      {"unpaired surrogate", Bytes({0x00, 0xD8, 'a', 0}), "\xEF\xBF\xBD" "a"},
      {"accented", Bytes({0xE9, 0x00, 0x51, 0x01, 0, 0}), "\xC3\xA9\xC5\x91"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeRegString(c.data), c.text) << c.what;
}

class RegistryObject : public ::testing::Test {
 protected:
  MemoryRegistry root;
  TRegistry registry{root};
};

TEST_F(RegistryObject, ReadStringByTypeAndData) {
  const std::string key = "Software\\Test";
  root.SetValue(key, "sz", kRegSz, EncodeRegString("abc"));
  root.SetValue(key, "expand", kRegExpandSz, EncodeRegString("%WINDIR%"));
  root.SetValue(key, "dword-empty", kRegDword, {});
  root.SetValue(key, "none-empty", kRegNone, {});
  root.SetValue(key, "sz-empty", kRegSz, {});
  root.SetValue(key, "long", kRegSz, EncodeRegString(std::string(100000, 'x')));
  ASSERT_TRUE(registry.OpenKey(key, false));

  EXPECT_EQ(registry.ReadString("sz"), "abc");
  EXPECT_EQ(registry.ReadString("SZ"), "abc");  // names match without regard to case
  EXPECT_EQ(registry.ReadString("expand"), "%WINDIR%");  // not expanded
  EXPECT_EQ(registry.ReadString("dword-empty"), "");
  EXPECT_EQ(registry.ReadString("none-empty"), "");
  EXPECT_EQ(registry.ReadString("sz-empty"), "");
  EXPECT_EQ(registry.ReadString("missing"), "");
  EXPECT_EQ(registry.ReadString("long").size(), 100000u);

  for (uint32_t type : std::vector<uint32_t>{kRegNone, kRegBinary, kRegDword, kRegMultiSz, kRegQword, 0x12345u}) {
    root.SetValue(key, "odd", type, Bytes({1, 0, 0, 0}));
    EXPECT_EQ(ThrownMessage([&] { registry.ReadString("odd"); }), "Invalid data type for 'odd'")
        << "type " << type;
  }
}

TEST_F(RegistryObject, WithoutAnOpenKey) {
  EXPECT_FALSE(registry.ValueExists("Backup"));
  EXPECT_EQ(registry.ReadString("Backup"), "");
  EXPECT_EQ(ThrownMessage([&] { registry.WriteString("Backup", "0"); }),
            "Failed to set data for 'Backup'");
}

TEST_F(RegistryObject, FailedOpenKeepsTheKeyOpenBefore) {
  root.SetString("Software\\A", "v", "a");
  ASSERT_TRUE(registry.OpenKey("Software\\A", false));
  EXPECT_FALSE(registry.OpenKey("Software\\Missing", false));
  EXPECT_EQ(registry.ReadString("v"), "a");
}

TEST_F(RegistryObject, FailuresOfTheReadAndWriteThemselves) {
  MemoryRegistry::Key& key = root.AddKey("Software\\A");
  root.SetString("Software\\A", "v", "a");
  ASSERT_TRUE(registry.OpenKey("Software\\A", false));
  key.failQuery = true;
  EXPECT_EQ(ThrownMessage([&] { registry.ReadString("v"); }), "Failed to get data for 'v'");
  key.failSet = true;
  EXPECT_EQ(ThrownMessage([&] { registry.WriteString("v", "b"); }), "Failed to set data for 'v'");
}

class SettingsStore : public ::testing::Test {
 protected:
  MemoryRegistry root;
  TRegistry registry{root};
};

TEST_F(SettingsStore, FirstStartCreatesTheKeyWithFlagZero) {
  EXPECT_TRUE(ReadOrCreateFlag(registry));
  EXPECT_EQ(root.StringAt(kToolKey, kBackupValue), "0");
  EXPECT_EQ(root.FindValue(kToolKey, kBackupValue)->data, Bytes({'0', 0, 0, 0}));
}

TEST_F(SettingsStore, OnlyExactlyZeroMeansBackupNeeded) {
  struct Case {
    uint32_t type;
    std::vector<uint8_t> data;
    bool needed;
  } cases[] = {
      {kRegSz, EncodeRegString("0"), true},
      {kRegSz, Bytes({'0', 0}), true},  // no terminating zero
      {kRegExpandSz, EncodeRegString("0"), true},
      {kRegSz, EncodeRegString("1"), false},
      {kRegSz, EncodeRegString("00"), false},
      {kRegSz, EncodeRegString(" 0"), false},
      {kRegSz, EncodeRegString(""), false},
      {kRegSz, {}, false},
      {kRegDword, {}, false},  // present without data reads as empty
  };
  for (const Case& c : cases) {
    root.SetValue(kToolKey, kBackupValue, c.type, c.data);
    EXPECT_EQ(ReadOrCreateFlag(registry), c.needed) << DecodeRegString(c.data);
  }
}

TEST_F(SettingsStore, FlagErrorsCarryTheValueName) {
  root.SetValue(kToolKey, kBackupValue, kRegDword, Bytes({1, 0, 0, 0}));
  // The English line, then what the player does about it.
  EXPECT_EQ(ThrownMessage([&] { ReadOrCreateFlag(registry); }),
            "Invalid data type for 'Backup'\nA HKEY_LOCAL_MACHINE\\Software\\Marvek\\VONU11 XQ kulcs „Backup” értéke "
            "nem szöveg, így a program nem tudja kiolvasni. Töröld ezt az értéket (rendszergazdaként: reg delete "
            "\"HKLM\\Software\\Marvek\\VONU11 XQ\" /v Backup /reg:32 /f), majd futtasd újra ezt a programot!");

  MemoryRegistry locked;
  locked.refuseCreate = true;
  TRegistry lockedRegistry(locked);
  EXPECT_EQ(ThrownMessage([&] { ReadOrCreateFlag(lockedRegistry); }),
            "Failed to set data for 'Backup'");
  EXPECT_EQ(ThrownMessage([&] { MarkBackupDone(locked); }), "Failed to set data for 'Backup'");

  // A "1" that can't be read (beyond the reading cap, say) is not taken for
  // a missing flag and overwritten.
  root.SetString(kToolKey, kBackupValue, "1");
  root.FindKey(kToolKey)->failQuery = true;
  EXPECT_EQ(ThrownMessage([&] { ReadOrCreateFlag(registry); }), "Failed to get data for 'Backup'");
  EXPECT_EQ(root.StringAt(kToolKey, kBackupValue), "1");
}

TEST_F(SettingsStore, GameFolder) {
  EXPECT_EQ(ReadGameFolder(registry), "");  // no game key: not reported

  root.SetString(kGameKey, kInstallDirValue, "C:\\J\xC3\xA1t\xC3\xA9kok\\VONU 11\\");
  EXPECT_EQ(ReadGameFolder(registry), "C:\\J\xC3\xA1t\xC3\xA9kok\\VONU 11\\");
  EXPECT_EQ(root.FindKey(kToolKey), nullptr);

  root.FindKey(kGameKey)->refuseOpen = true;  // no full access: treated as missing
  EXPECT_EQ(ReadGameFolder(registry), "");

  root.FindKey(kGameKey)->refuseOpen = false;
  root.SetValue(kGameKey, kInstallDirValue, kRegBinary, Bytes({'C', 0}));
  const std::string error = ThrownMessage([&] { ReadGameFolder(registry); });
  EXPECT_EQ(error.substr(0, error.find('\n')), "Invalid data type for 'Install Dir'");
  EXPECT_NE(error.find("„Install Dir” értéke nem szöveg"), std::string::npos) << error;
  EXPECT_FALSE(registry.ValueExists(kInstallDirValue)) << "the key is closed after the error";
}

// Both operations refuse before they look at any file.
class NoFileAccess final : public FileOps {
 public:
  int calls = 0;
  PathProbe Probe(const std::string&) override { return ++calls, PathProbe{}; }
  FileStatus Rename(const std::string&, const std::string&) override { return Touched(); }
  FileStatus OpenForReading(const std::string&, std::unique_ptr<ReadableFile>&) override { return Touched(); }
  FileStatus CreateNew(const std::string&, std::unique_ptr<WritableFile>&) override { return Touched(); }
  FileStatus Delete(const std::string&) override { return Touched(); }
  FileStatus FreeSpace(const std::string&, uint64_t&) override { return Touched(); }

 private:
  FileStatus Touched() { return ++calls, FileStatus::Failure("touched"); }
};

struct NoPc final : PcWatch {
  int RunningFrom(const std::vector<std::string>&) override { return -1; }
  std::vector<std::string> PrivateCopyFolders(const std::string&) override { return {}; }
};

struct Utc final : TimeZone {
  int64_t OffsetAt(int64_t) const override { return 0; }
};

struct NoGauge final : ProgressSink {
  void SetProgress(int32_t) override {}
  void StillWorking() override {}
};

// From the game's "Install Dir" as stored to GameDir as the start-up forms it
// (left empty when the read raises), and what the operations make of it.
TEST(GameFolder, FromTheRegistryValueToTheOperations) {
  enum Outcome { kUsed, kNotRegistered, kUnreadable };
  const std::string noKey = "(no key)", failedQuery = "(query fails)", failedExpansion = "(expansion fails)";
  struct Case {
    std::string stored;  // or one of the markers above
    uint32_t type;
    std::string installDir;  // as read, or the error raised
    Outcome outcome;
  } cases[] = {
      {"C:\\Games\\VONU 11", kRegSz, "C:\\Games\\VONU 11", kUsed},
      {"d:/Games/VONU 11/", kRegSz, "d:/Games/VONU 11/", kUsed},
      {"\\\\server\\share\\VONU 11", kRegSz, "\\\\server\\share\\VONU 11", kUsed},
      {"%SystemDrive%\\Games\\VONU 11", kRegExpandSz, "C:\\Games\\VONU 11", kUsed},
      {noKey, kRegSz, "", kNotRegistered},
      {"", kRegSz, "", kNotRegistered},
      {"Games\\VONU 11", kRegSz, "Games\\VONU 11", kNotRegistered},
      {"C:Games\\VONU 11", kRegSz, "C:Games\\VONU 11", kNotRegistered},
      {"\\VONU 11", kRegSz, "\\VONU 11", kNotRegistered},
      {"\\\\server\\", kRegSz, "\\\\server\\", kNotRegistered},
      {"%SystemDrive%\\VONU 11", kRegSz, "%SystemDrive%\\VONU 11", kNotRegistered},  // not expandable
      {"%NoSuchVariable%\\VONU 11", kRegExpandSz, "%NoSuchVariable%\\VONU 11", kNotRegistered},
      {"C:\\Games", kRegDword, "Invalid data type for 'Install Dir'", kUnreadable},
      {failedQuery, kRegSz, "Failed to get data for 'Install Dir'", kUnreadable},
      {failedExpansion, kRegExpandSz, "Failed to get data for 'Install Dir'", kUnreadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    MemoryRegistry root;
    if (c.stored != noKey) {
      root.SetValue(kGameKey, kInstallDirValue, c.type,
                    EncodeRegString(c.stored == failedQuery || c.stored == failedExpansion ? "%x%" : c.stored));
    }
    if (c.stored == failedQuery) root.AddKey(kGameKey).failQuery = true;
    root.failExpand = c.stored == failedExpansion;
    TRegistry registry(root);

    std::string gameDir;
    const std::string error = ThrownMessage([&] { gameDir = MakeGameDir(ReadGameFolder(registry)); });
    if (c.outcome == kUnreadable) {
      EXPECT_EQ(error.substr(0, error.find('\n')), c.installDir);
      EXPECT_EQ(gameDir, "");
    } else {
      EXPECT_EQ(gameDir, c.installDir + "\\Game\\");
    }
    EXPECT_EQ(IsAbsoluteWindowsPath(gameDir), c.outcome == kUsed);

    const GameDirProblem problem = GameDirProblemOf(gameDir);
    EXPECT_EQ(problem == GameDirProblem::None, c.outcome == kUsed);
    if (c.outcome == kUsed) continue;

    NoFileAccess files;
    NoPc pc;
    const SwitchOutcome switched = VersionSwitch(files, pc, gameDir, GameVersion::Base, {});
    EXPECT_EQ(switched.kind, SwitchKind::NotReady);
    EXPECT_EQ(switched.folder.state, FolderCheck::State::DirUnusable);
    NoGauge gauge;
    bool marked = false;
    const BackupOutcome backedUp = FirstRunBackup(files, pc, gameDir, gauge, 0, [&] { marked = true; }, {});
    EXPECT_EQ(backedUp.folder.state, FolderCheck::State::DirUnusable);
    EXPECT_FALSE(marked);
    const std::string says = c.outcome == kUnreadable ? "nem sikerült kiolvasni a registryből"
                             : c.installDir.empty()   ? "nincs bejegyezve a registryben"
                                                      : "nincs teljes elérési úttal bejegyezve";
    const bool relative = c.outcome == kNotRegistered && !c.installDir.empty();
    for (const std::string& text : {SwitchText(switched), BackupText(backedUp, Utc())}) {
      EXPECT_EQ(BoxTextProblem(text), "") << text;
      EXPECT_NE(text.find(says), std::string::npos) << text;
      EXPECT_NE(text.find("(HKEY_LOCAL_MACHINE\\Software\\Dravela\\VONU 11 kulcs, 64 bites Windowson "
                          "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Dravela\\VONU 11, „Install Dir” érték"),
                std::string::npos) << text;
      EXPECT_NE(text.find(relative ? ": " + c.installDir + ")." : ""), std::string::npos) << text;
    }
    EXPECT_FALSE(BackupNeeded(files, gameDir, true));
    EXPECT_EQ(files.calls, 0);
  }
}

TEST_F(SettingsStore, MarkBackupDoneCreatesOrOverwrites) {
  MarkBackupDone(root);
  EXPECT_EQ(root.StringAt(kToolKey, kBackupValue), "1");
  root.SetString(kToolKey, kBackupValue, "0");
  MarkBackupDone(root);
  EXPECT_EQ(root.StringAt(kToolKey, kBackupValue), "1");
}

}  // namespace
