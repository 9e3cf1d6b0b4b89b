// PcWatch on Windows: the process list any user can read, the VirtualStore
// that Windows keeps in every profile for programs without administrator
// rights, and the links on the way to the Game folder, which stays held open
// (not to be renamed or removed) for as long as this object lives.
#pragma once
#include "common/win_handles.h"
#include "fileset/game_guard.h"

class Win32PcWatch final : public PcWatch {
 public:
  bool IsRunning(const std::string& exePath) override;
  std::vector<std::string> PrivateCopyFolders(const std::string& gameDir) override;
  FolderLink LinkOnTheWay(const std::string& gameDir) override;

 private:
  UniqueHandle folder_;
};
