// Feeds arbitrary value types and bytes through the registry reading and the
// settings store's three uses. Any crash, sanitizer report or unexpected
// exception type is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "support/memory_registry.h"
#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 4) return 0;
  const uint8_t selector = bytes[0];
  uint32_t type = bytes[1] % 13;
  if (bytes[2] & 0x80) type = bytes[2] | (bytes[3] << 8);
  std::vector<uint8_t> data(bytes + 4, bytes + size);

  MemoryRegistry root;
  const bool forGame = selector & 1;
  root.SetValue(forGame ? kGameKey : kToolKey, forGame ? kInstallDirValue : kBackupValue, type,
                data);
  if (selector & 2) root.refuseCreate = true;
  if (selector & 4) root.AddKey(kToolKey).failQuery = true;
  if (selector & 8) root.AddKey(kToolKey).failSet = true;

  try {
    TRegistry registry(root);
    const std::string folder = ReadGameFolder(registry);
    // Never more than the bytes hold, unless an expandable string grew.
    if (type != kRegExpandSz && folder.size() > data.size() * 2) __builtin_trap();
    ReadOrCreateFlag(registry);
  } catch (const ERegistryException&) {
  }
  try {
    MarkBackupDone(root);
    if (root.StringAt(kToolKey, kBackupValue) != "1") __builtin_trap();
  } catch (const ERegistryException&) {
  }
  return 0;
}
