#include "fileset/pc_watch_win32.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include "common/utf.h"
#include "common/win_handles.h"
#include "fileset/file_ops_win32.h"

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

// A path as the system returns it, with a buffer as large as it asks for.
template <class Call>
std::wstring Grown(Call&& call) {
  std::wstring text(MAX_PATH, L'\0');
  DWORD length = call(&text[0], static_cast<DWORD>(text.size()));
  if (length >= text.size()) {
    text.assign(length + 1, L'\0');
    length = call(&text[0], static_cast<DWORD>(text.size()));
  }
  text.resize(length < text.size() ? length : 0);
  return text;
}

// An absolute path in its long form, without the "\\?\" prefix, so that two
// spellings of one folder compare equal.
std::wstring Canonical(std::wstring path) {
  if (path.rfind(L"\\\\?\\", 0) == 0 && path.rfind(L"\\\\?\\UNC\\", 0) != 0) path.erase(0, 4);
  std::wstring full = Grown([&](wchar_t* b, DWORD n) { return GetFullPathNameW(path.c_str(), n, b, nullptr); });
  if (!full.empty()) path = full;
  std::wstring longForm = Grown([&](wchar_t* b, DWORD n) { return GetLongPathNameW(path.c_str(), b, n); });
  if (!longForm.empty()) path = longForm;
  return path;
}

std::wstring Environment(const wchar_t* name) {
  return Grown([&](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(name, b, n); });
}

// Which file a path names, links and mapped drive letters resolved: the
// volume and the file's number on it.
struct FileIdentity {
  DWORD volume = 0, high = 0, low = 0;
  bool known = false;
  bool operator==(const FileIdentity& o) const {
    return known && o.known && volume == o.volume && high == o.high && low == o.low;
  }
};
FileIdentity IdentityOf(const std::wstring& path) {
  FileIdentity id;
  UniqueHandle h(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION data;
  if (h.Valid() && GetFileInformationByHandle(h.Get(), &data)) {
    id = {data.dwVolumeSerialNumber, data.nFileIndexHigh, data.nFileIndexLow, true};
  }
  return id;
}

// The profile folders that Windows lists, each user's, however the tool was
// started: an administrator's password typed for a standard account runs
// the tool as the administrator, whose own profile is not the player's.
std::vector<std::wstring> ProfileFolders() {
  std::vector<std::wstring> folders;
  const std::wstring own = Environment(L"USERPROFILE");
  if (!own.empty()) folders.push_back(own);
  HKEY list = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                    KEY_READ | KEY_WOW64_64KEY, &list) != ERROR_SUCCESS) {
    return folders;
  }
  UniqueKey listKey(list);
  wchar_t sid[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(list, i, sid, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    wchar_t stored[1024];
    DWORD size = sizeof stored - sizeof(wchar_t);
    if (RegGetValueW(list, sid, L"ProfileImagePath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                     stored, &size) != ERROR_SUCCESS) {
      continue;
    }
    stored[size / sizeof(wchar_t)] = L'\0';
    std::wstring folder =
        Grown([&](wchar_t* b, DWORD n) { return ExpandEnvironmentStringsW(stored, b, n); });
    if (!folder.empty() && folder.back() == L'\0') folder.pop_back();
    if (!folder.empty()) folders.push_back(folder);
  }
  return folders;
}

// Where an administrator trusts a link: one made by Administrators, SYSTEM
// or TrustedInstaller (a game moved to another drive by its installer or by
// an administrator).
bool OwnedByAdministrators(HANDLE link) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(link, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool trusted = IsWellKnownSid(owner, WinBuiltinAdministratorsSid) || IsWellKnownSid(owner, WinLocalSystemSid);
  PSID installer = nullptr;
  if (!trusted && ConvertStringSidToSidW(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
                                         &installer)) {
    trusted = EqualSid(owner, installer) != FALSE;
    LocalFree(installer);
  }
  LocalFree(descriptor);
  return trusted;
}

// The folder a link leads to, as the system resolves it.
std::wstring Target(const std::wstring& path) {
  UniqueHandle h(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.Valid()) return {};
  std::wstring target = Grown([&](wchar_t* b, DWORD n) { return GetFinalPathNameByHandleW(h.Get(), b, n, 0); });
  if (target.rfind(L"\\\\?\\", 0) == 0 && target.rfind(L"\\\\?\\UNC\\", 0) != 0) target.erase(0, 4);
  return target;
}

}  // namespace

bool Win32PcWatch::IsRunning(const std::string& exePath) {
  // The same file however it was reached: a link to the game's folder, or a
  // drive letter mapped onto it, names the exe another way.
  const FileIdentity wanted = IdentityOf(Canonical(Widen(exePath)));
  if (!wanted.known) return false;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process.Valid()) continue;
    const std::wstring image = Grown([&](wchar_t* b, DWORD n) {
      DWORD length = n;
      return QueryFullProcessImageNameW(process.Get(), 0, b, &length) ? length : (GetLastError() ==
             ERROR_INSUFFICIENT_BUFFER ? n * 2 : 0);
    });
    if (!image.empty() && IdentityOf(image) == wanted) return true;
  }
  return false;
}

std::vector<std::string> Win32PcWatch::PrivateCopyFolders(const std::string& gameDir) {
  const std::wstring folder = Canonical(Widen(gameDir));
  // The folders whose writes Windows redirects for a program without
  // administrator rights that is not marked as knowing better.
  bool virtualised = false;
  for (const wchar_t* root : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"ProgramData", L"SystemRoot"}) {
    virtualised = virtualised || StartsWithFolder(folder, Canonical(Environment(root)));
  }
  std::vector<std::string> stores;
  if (!virtualised || folder.size() < 3 || folder[1] != L':') return stores;
  // C:\Program Files\X\Game\ is kept as <profile>\AppData\Local\VirtualStore\Program Files\X\Game\.
  for (const std::wstring& profile : ProfileFolders()) {
    const std::string store = Narrow(profile + L"\\AppData\\Local\\VirtualStore" + folder.substr(2));
    bool seen = false;
    for (const std::string& s : stores) seen = seen || SameText(Widen(s), Widen(store));
    if (!seen) stores.push_back(store);
  }
  return stores;
}

FolderLink Win32PcWatch::LinkOnTheWay(const std::string& gameDir) {
  const std::wstring folder = Canonical(Widen(gameDir));
  // Held without sharing its removal: neither it nor a folder above it can be
  // renamed, removed or swapped for a link until the operation's box is gone.
  folder_.Reset(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  // Under Wine every program is the same Linux user, and Linux players keep
  // games on other disks through symbolic links: nobody to guard against.
  if (RunningUnderWine()) return {};
  // Each folder on the way, from the drive's root down.
  for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
    const std::wstring step = folder.substr(0, at);
    const DWORD attributes = GetFileAttributesW(step.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    UniqueHandle link(CreateFileW(step.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!link.Valid() || !GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag)) continue;
    const bool isLink = tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT;
    if (isLink && !OwnedByAdministrators(link.Get())) return {Narrow(step), Narrow(Target(step))};
  }
  return {};
}
