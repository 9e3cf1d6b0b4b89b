// PcWatch on Windows: the process list any user can read, and the per-user
// VirtualStore that Windows keeps for programs without administrator rights.
#pragma once
#include "fileset/game_guard.h"

class Win32PcWatch final : public PcWatch {
 public:
  bool IsRunning(const std::string& exePath) override;
  std::string PrivateCopyFolder(const std::string& gameDir) override;
};
