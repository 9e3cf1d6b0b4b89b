// The seven game files that differ between VONU 11 1.0 and its 1.01 patch, and
// the names under which the version that is not in use is kept.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "fileset/system/file_ops.h"

// ActiveName is the name the game loads; BaseCopyName and PatchCopyName hold
// the base (1.0) and patched (1.01) version while the other one is active;
// the backup writes a copy under TempName until it is whole. Every name
// begins with a backslash; GamePath joins it to GameDir.
struct FileSetEntry {
  const char* ActiveName;
  const char* BaseCopyName;
  const char* PatchCopyName;
  const char* TempName;
};

// The order is the order of every operation: the .bh files, the .big files,
// the executable last.
inline constexpr std::array<FileSetEntry, 7> FileSet{{
    {"\\data0.bh", "\\data0.mrvdefbh", "\\data0.mrvupdbh", "\\data0.mrvtmpbh"},
    {"\\data1.bh", "\\data1.mrvdefbh", "\\data1.mrvupdbh", "\\data1.mrvtmpbh"},
    {"\\data3.bh", "\\data3.mrvdefbh", "\\data3.mrvupdbh", "\\data3.mrvtmpbh"},
    {"\\data0.big", "\\data0.mrvdefbig", "\\data0.mrvupdbig", "\\data0.mrvtmpbig"},
    {"\\data1.big", "\\data1.mrvdefbig", "\\data1.mrvupdbig", "\\data1.mrvtmpbig"},
    {"\\data3.big", "\\data3.mrvdefbig", "\\data3.mrvupdbig", "\\data3.mrvtmpbig"},
    {"\\vonu.exe", "\\vonu.mrvdefexe", "\\vonu.mrvupdexe", "\\vonu.mrvtmpexe"},
}};

// The game's install directory followed by "\Game\". An empty install
// directory gives "\Game\"; a trailing separator gives two in a row, which
// the file system reads as one, except in the "\\?\" form, which gets one.
std::string MakeGameDir(const std::string& installDir);

// The full path of a file-set name in the game folder. GameDir ends with a
// separator and every name begins with one; the pair becomes one, since a
// path in the "\\?\" form takes every separator literally.
std::string GamePath(const std::string& gameDir, const char* name);

// Whether two files are copies of each other as far as their folder entries
// tell: the same size, and last-write times no more than 2 seconds apart (FAT
// keeps times to 2 s, and a copy through such a drive or a tool may round them).
bool AreTwins(const PathProbe& a, const PathProbe& b);

// The names in `listed` that match a name of the set, or a temporary copy's
// name, regardless of case, where the folder holds another name that differs
// from it only in case: Windows' calls would take either of them.
std::vector<std::string> NamesTwinnedByCase(const std::vector<std::string>& listed);

// A file-set name as the user sees it in the Game folder, without the
// leading separator.
std::string ShownName(const char* name);
