#include "fileset/pc_watch_win32.h"

#include <windows.h>

#include <tlhelp32.h>

#include "common/utf.h"
#include "common/win_handles.h"

namespace {

bool SameText(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
             CSTR_EQUAL;
}

bool StartsWithFolder(const std::wstring& path, std::wstring folder) {
  if (folder.empty()) return false;
  if (folder.back() != L'\\') folder += L'\\';
  return path.size() > folder.size() && SameText(path.substr(0, folder.size()), folder);
}

// An absolute path in its long form, without the "\\?\" prefix, so that two
// spellings of one file compare equal.
std::wstring Canonical(std::wstring path) {
  if (path.rfind(L"\\\\?\\", 0) == 0 && path.rfind(L"\\\\?\\UNC\\", 0) != 0) path.erase(0, 4);
  wchar_t full[MAX_PATH];
  DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length > 0 && length < MAX_PATH) path.assign(full, length);
  wchar_t longForm[MAX_PATH];
  length = GetLongPathNameW(path.c_str(), longForm, MAX_PATH);
  if (length > 0 && length < MAX_PATH) path.assign(longForm, length);
  return path;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool Win32PcWatch::IsRunning(const std::string& exePath) {
  const std::wstring wanted = Canonical(Widen(exePath));
  const std::wstring name = FileNameOf(wanted);
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (!SameText(entry.szExeFile, name)) continue;
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process.Valid()) continue;
    wchar_t image[MAX_PATH];
    DWORD length = MAX_PATH;
    if (QueryFullProcessImageNameW(process.Get(), 0, image, &length) &&
        SameText(Canonical(std::wstring(image, length)), wanted)) {
      return true;
    }
  }
  return false;
}

std::string Win32PcWatch::PrivateCopyFolder(const std::string& gameDir) {
  const std::wstring folder = Canonical(Widen(gameDir));
  // The folders whose writes Windows redirects for a program without
  // administrator rights that is not marked as knowing better.
  bool virtualised = false;
  for (const wchar_t* root : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"ProgramData", L"SystemRoot"}) {
    virtualised = virtualised || StartsWithFolder(folder, Canonical(Environment(root)));
  }
  const std::wstring store = Environment(L"LOCALAPPDATA");
  if (!virtualised || store.empty() || folder.size() < 3 || folder[1] != L':') return {};
  // C:\Program Files\X\Game\ is kept as %LOCALAPPDATA%\VirtualStore\Program Files\X\Game\.
  return Narrow(store + L"\\VirtualStore" + folder.substr(2));
}
