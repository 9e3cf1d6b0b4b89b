#include "support/memory_registry.h"

#include <cctype>

namespace {
// Registry names match without regard to case.
std::string Folded(const std::string& name) {
  std::string out = name;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

class MemoryKey : public RegistryKey {
 public:
  explicit MemoryKey(MemoryRegistry::Key& key) : key_(key) {}
  RegQuery Query(const std::string& name) override {
    RegQuery result;
    if (key_.failQuery) {
      result.status = RegQuery::kFailed;
      return result;
    }
    auto it = key_.values.find(Folded(name));
    if (it == key_.values.end()) return result;
    result.status = RegQuery::kOk;
    result.type = it->second.type;
    result.data = it->second.data;
    return result;
  }
  bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
    if (key_.failSet) return false;
    key_.values[Folded(name)] = MemoryRegistry::Value{type, data};
    return true;
  }

 private:
  MemoryRegistry::Key& key_;
};
}  // namespace

std::unique_ptr<RegistryKey> MemoryRegistry::Open(const std::string& path, bool canCreate) {
  Key* key = FindKey(path);
  if (!key) {
    if (!canCreate || refuseCreate) return nullptr;
    key = &AddKey(path);
  }
  if (key->refuseOpen) return nullptr;
  return std::make_unique<MemoryKey>(*key);
}

bool MemoryRegistry::ExpandEnvironment(const std::string& text, std::string& expanded) {
  if (failExpand) return false;
  expanded.clear();
  size_t at = 0;
  while (at < text.size()) {
    const size_t close = text[at] == '%' ? text.find('%', at + 1) : std::string::npos;
    if (close != std::string::npos) {
      auto it = environment.find(Folded(text.substr(at + 1, close - at - 1)));
      if (it != environment.end()) {
        expanded += it->second;
        at = close + 1;
        continue;
      }
    }
    expanded += text[at++];
  }
  return true;
}

MemoryRegistry::Key& MemoryRegistry::AddKey(const std::string& path) { return keys_[Folded(path)]; }

MemoryRegistry::Key* MemoryRegistry::FindKey(const std::string& path) {
  auto it = keys_.find(Folded(path));
  return it == keys_.end() ? nullptr : &it->second;
}

void MemoryRegistry::SetValue(const std::string& path, const std::string& name, uint32_t type,
                              std::vector<uint8_t> data) {
  AddKey(path).values[Folded(name)] = Value{type, std::move(data)};
}

void MemoryRegistry::SetString(const std::string& path, const std::string& name,
                               const std::string& text) {
  SetValue(path, name, kRegSz, EncodeRegString(text));
}

const MemoryRegistry::Value* MemoryRegistry::FindValue(const std::string& path,
                                                       const std::string& name) {
  Key* key = FindKey(path);
  if (!key) return nullptr;
  auto it = key->values.find(Folded(name));
  return it == key->values.end() ? nullptr : &it->second;
}

std::string MemoryRegistry::StringAt(const std::string& path, const std::string& name) {
  const Value* value = FindValue(path, name);
  return value ? DecodeRegString(value->data) : std::string();
}
