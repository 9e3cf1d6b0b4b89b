// The seven game files that differ between VONU 11 1.0 and its 1.01 patch, and
// the names under which the version that is not in use is kept.
#pragma once
#include <array>
#include <string>

// ActiveName is the name the game loads; BaseCopyName and PatchCopyName hold
// the base (1.0) and patched (1.01) version while the other one is active.
// Every name begins with a backslash so that GameDir + name is a full path.
struct FileSetEntry {
  const char* ActiveName;
  const char* BaseCopyName;
  const char* PatchCopyName;
};

// The order is the order of every operation: the .bh files, the .big files,
// the executable last.
inline constexpr std::array<FileSetEntry, 7> FileSet{{
    {"\\data0.bh", "\\data0.mrvdefbh", "\\data0.mrvupdbh"},
    {"\\data1.bh", "\\data1.mrvdefbh", "\\data1.mrvupdbh"},
    {"\\data3.bh", "\\data3.mrvdefbh", "\\data3.mrvupdbh"},
    {"\\data0.big", "\\data0.mrvdefbig", "\\data0.mrvupdbig"},
    {"\\data1.big", "\\data1.mrvdefbig", "\\data1.mrvupdbig"},
    {"\\data3.big", "\\data3.mrvdefbig", "\\data3.mrvupdbig"},
    {"\\vonu.exe", "\\vonu.mrvdefexe", "\\vonu.mrvupdexe"},
}};

// A file whose names show no stored copy follows data0.big's state: its
// stored copy says which version is stored, hence which one is active.
inline constexpr const FileSetEntry& MarkerEntry = FileSet[3];

// The game's install directory followed by "\Game\". Nothing is normalised:
// an empty install directory gives "\Game\", and a trailing separator gives
// two in a row, which the file system reads as one.
std::string MakeGameDir(const std::string& installDir);

// A file-set name as the user sees it in the Game folder, without the
// leading separator.
std::string ShownName(const char* name);
