// PcWatch on Windows: the process list any user can read, the VirtualStore
// that Windows keeps in every profile for programs without administrator
// rights, and the links on the way to the Game folder, which stays held open
// (not to be renamed or removed) for as long as this object lives. Every path
// in the "\\?\" form, at any length. A check that cannot run is kept as the
// object's NotRun(), and what it found counts for nothing.
#pragma once
#include "common/win_handles.h"
#include "fileset/act/game_guard.h"

class Win32PcWatch final : public PcWatch {
 public:
  int RunningFrom(const std::vector<std::string>& exePaths) override;
  std::vector<std::string> PrivateCopyFolders(const std::string& gameDir) override;
  FolderLink LinkOnTheWay(const std::string& gameDir) override;
  CheckNotRun NotRun() const override { return notRun_; }

 private:
  // Keeps the first check that could not run, with the system's error.
  void Failed(CheckNotRun::Step step, unsigned long code);

  UniqueHandle folder_;
  CheckNotRun notRun_;
};
