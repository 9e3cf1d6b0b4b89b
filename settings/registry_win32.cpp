#include "settings/registry_win32.h"

#include <windows.h>

#include "common/utf.h"
#include "common/win_handles.h"

namespace {
// Full access even for reading, in the 32-bit view whatever the exe's bitness.
constexpr REGSAM kAccess = KEY_ALL_ACCESS | KEY_WOW64_32KEY;
// Values beyond this are not settings anyone wrote; refusing them keeps a hostile
// value from exhausting memory.
constexpr DWORD kLargestValue = 16u << 20;

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}

  RegQuery Query(const std::string& name) override {
    RegQuery result;
    const std::wstring wname = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, nullptr, &size);
    // The value can change between the two calls; ask again while it grows.
    for (int attempt = 0; rc == ERROR_SUCCESS && size > 0 && attempt < 4; ++attempt) {
      if (size > kLargestValue) {
        result.status = RegQuery::kFailed;
        return result;
      }
      result.data.assign(size, 0);
      rc = RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, result.data.data(), &size);
      if (rc == ERROR_SUCCESS) {
        result.data.resize(size);
        break;
      }
      if (rc == ERROR_MORE_DATA) rc = ERROR_SUCCESS;
      else break;
    }
    if (rc == ERROR_FILE_NOT_FOUND) {
      result.data.clear();
      return result;
    }
    if (rc != ERROR_SUCCESS || (size > 0 && result.data.size() != size)) {
      result.status = RegQuery::kFailed;
      result.data.clear();
      return result;
    }
    result.status = RegQuery::kOk;
    result.type = type;
    return result;
  }

  bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
    return RegSetValueExW(key_.Get(), Widen(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

 private:
  UniqueKey key_;
};
}  // namespace

std::unique_ptr<RegistryKey> Win32MachineRoot::Open(const std::string& path, bool canCreate) {
  const std::wstring wpath = Widen(path);
  HKEY key = nullptr;
  LONG rc;
  if (canCreate) {
    rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         kAccess, nullptr, &key, nullptr);
  } else {
    rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wpath.c_str(), 0, kAccess, &key);
  }
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key);
}

bool Win32MachineRoot::ExpandEnvironment(const std::string& text, std::string& expanded) {
  const std::wstring source = Widen(text);
  // The answer counts the terminating zero; a variable can change between the
  // two calls, so ask again while the result grows.
  DWORD size = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
  for (int attempt = 0; size > 0 && attempt < 4; ++attempt) {
    std::wstring out(size, L'\0');
    const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), &out[0], size);
    if (needed == 0) return false;
    if (needed <= size) {
      out.resize(needed - 1);
      expanded = Narrow(out);
      return true;
    }
    size = needed;
  }
  return false;
}
