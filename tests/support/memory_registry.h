// An in-memory registry root for tests: keys that refuse to open or be created,
// values of any type and any bytes, queries and writes that fail on demand, and
// a fixed environment for expandable strings.
#pragma once
#include <map>
#include <string>

#include "settings/registry.h"

class MemoryRegistry : public RegistryRoot {
 public:
  struct Value {
    uint32_t type = kRegSz;
    std::vector<uint8_t> data;
  };
  struct Key {
    std::map<std::string, Value> values;  // by lower-case name
    bool refuseOpen = false;              // as for a user without full access
    bool failQuery = false;
    bool failSet = false;
  };

  std::unique_ptr<RegistryKey> Open(const std::string& path, bool canCreate) override;
  bool ExpandEnvironment(const std::string& text, std::string& expanded) override;

  // Makes creating any key fail, as when the root can't be written.
  bool refuseCreate = false;
  // The variables that expand, by lower-case name, as on a typical machine.
  std::map<std::string, std::string> environment{{"systemdrive", "C:"},
                                                 {"programfiles", "C:\\Program Files"}};
  bool failExpand = false;

  Key& AddKey(const std::string& path);
  Key* FindKey(const std::string& path);
  void SetValue(const std::string& path, const std::string& name, uint32_t type,
                std::vector<uint8_t> data);
  void SetString(const std::string& path, const std::string& name, const std::string& text);
  const Value* FindValue(const std::string& path, const std::string& name);
  // The text a value holds, decoded as the platform would; empty when missing.
  std::string StringAt(const std::string& path, const std::string& name);

 private:
  std::map<std::string, Key> keys_;  // by lower-case path
};
