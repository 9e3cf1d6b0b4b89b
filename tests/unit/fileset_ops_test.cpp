#include <gtest/gtest.h>

#include <string>

#include "support/file_ops_posix.h"
#include "fileset/decide/file_set.h"
#include "fileset_folder.h"

namespace {

TEST(FileSet, NamesFollowTheStoredNameScheme) {
  for (const FileSetEntry& e : FileSet) {
    const std::string active = e.ActiveName;
    const size_t dot = active.find('.');
    ASSERT_EQ(active[0], '\\');
    EXPECT_EQ(std::string(e.BaseCopyName), active.substr(0, dot + 1) + "mrvdef" + active.substr(dot + 1));
    EXPECT_EQ(std::string(e.PatchCopyName), active.substr(0, dot + 1) + "mrvupd" + active.substr(dot + 1));
  }
}

TEST(FileSet, GameDirIsConcatenationButForTheLiteralForm) {
  EXPECT_EQ(MakeGameDir(""), "\\Game\\");
  EXPECT_EQ(MakeGameDir("C:\\Games\\VONU 11"), "C:\\Games\\VONU 11\\Game\\");
  EXPECT_EQ(MakeGameDir("C:\\Games\\VONU 11\\"), "C:\\Games\\VONU 11\\\\Game\\");
  EXPECT_EQ(MakeGameDir("\\\\?\\C:\\Games\\VONU 11\\"), "\\\\?\\C:\\Games\\VONU 11\\Game\\");
  // One separator between the folder and the name, as "\\?\" paths need.
  EXPECT_EQ(GamePath(MakeGameDir("D:\\Játékok"), FileSet[0].ActiveName), "D:\\Játékok\\Game\\data0.bh");
  EXPECT_EQ(GamePath(MakeGameDir("\\\\?\\C:\\VONU11"), FileSet[6].BaseCopyName),
            "\\\\?\\C:\\VONU11\\Game\\vonu.mrvdefexe");
}

TEST(PosixFileOps, ProbeTellsFilesFoldersAndNothingApart) {
  TempGameFolder folder;
  PosixFileOps ops;
  folder.Write("file", "12345");
  folder.SetModified("file", 0, 250);  // no DOS date, still a file
  std::filesystem::create_directory(folder.PathOf("folder"));
  const PathProbe file = ops.Probe(folder.GameDir() + "\\file");
  EXPECT_EQ(file.kind, EntryKind::File);
  EXPECT_EQ(file.size, 5u);
  EXPECT_EQ(file.lastWrite, (FileTime{0, 250}));
  EXPECT_EQ(ops.Probe(folder.GameDir() + "\\folder").kind, EntryKind::Folder);
  EXPECT_EQ(ops.Probe(folder.GameDir()).kind, EntryKind::Folder);
  EXPECT_EQ(ops.Probe(folder.GameDir() + "\\none").kind, EntryKind::Missing);
  EXPECT_EQ(ops.Probe(folder.GameDir() + "\\file\\below").kind, EntryKind::Missing);
}

TEST(PosixFileOps, RenameNeverReplaces) {
  TempGameFolder folder;
  PosixFileOps ops;
  const std::string dir = folder.GameDir();
  folder.Write("a", "A");
  folder.Write("b", "B");
  const FileStatus taken = ops.Rename(dir + "\\a", dir + "\\b");
  EXPECT_FALSE(taken.ok);
  EXPECT_FALSE(taken.reason.empty());
  EXPECT_EQ(folder.Read("a"), "A");
  EXPECT_EQ(folder.Read("b"), "B");

  EXPECT_EQ(taken.kind, FailureKind::Other);
  EXPECT_EQ(ops.Rename(dir + "\\a", dir + "\\" + std::string(300, 'n')).kind, FailureKind::NameTooLong);
  EXPECT_FALSE(ops.Rename(dir + "\\none", dir + "\\c").ok);
  EXPECT_FALSE(folder.Has("c"));

  EXPECT_TRUE(ops.Rename(dir + "\\a", dir + "\\c").ok);
  EXPECT_FALSE(folder.Has("a"));
  EXPECT_EQ(folder.Read("c"), "A");
}

TEST(PosixFileOps, CreateNewRefusesAnExistingName) {
  TempGameFolder folder;
  PosixFileOps ops;
  folder.Write("kept", "old");
  std::unique_ptr<WritableFile> out;
  EXPECT_FALSE(ops.CreateNew(folder.GameDir() + "\\kept", out).ok);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(folder.Read("kept"), "old");

  ASSERT_TRUE(ops.CreateNew(folder.GameDir() + "\\new", out).ok);
  EXPECT_TRUE(out->Write("abc", 3).ok);
  EXPECT_TRUE(out->SetLastWriteTime(FileTime{1234567890, 5000}).ok);
  EXPECT_TRUE(out->Flush().ok);
  EXPECT_TRUE(out->Close().ok);
  EXPECT_EQ(folder.Read("new"), "abc");
  EXPECT_EQ(folder.Modified("new").tv_sec, 1234567890);
  EXPECT_EQ(folder.Modified("new").tv_nsec, 5000);

  std::unique_ptr<ReadableFile> in;
  EXPECT_FALSE(ops.OpenForReading(folder.GameDir(), in).ok);
  EXPECT_FALSE(ops.OpenForReading(folder.GameDir() + "\\none", in).ok);
}

}  // namespace
