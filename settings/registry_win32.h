// HKEY_LOCAL_MACHINE, always in the 32-bit view: the game's 32-bit installer writes
// its key there on 64-bit Windows, and earlier installs hold the tool's flag there.
#pragma once
#include "settings/registry.h"

class Win32MachineRoot : public RegistryRoot {
 public:
  std::unique_ptr<RegistryKey> Open(const std::string& path, bool canCreate) override;
  // ExpandEnvironmentStringsW, against this process's environment.
  bool ExpandEnvironment(const std::string& text, std::string& expanded) override;
};
