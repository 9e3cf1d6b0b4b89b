#include "fileset/system/pc_watch_win32.h"

#include <windows.h>

#include <tlhelp32.h>

#include "common/utf.h"
#include "common/win_handles.h"
#include "fileset/system/pc_answers_win32.h"
#include "fileset/system/win32_calls.h"

namespace {

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
// spellings of one folder compare equal; as given where it cannot be made.
std::wstring Canonical(const std::wstring& path) {
  std::wstring full;
  if (path.empty() || !LongPath(path, full)) return path;
  const std::wstring longForm = Grown([&](wchar_t* b, DWORD n) { return GetLongPathNameW(full.c_str(), b, n); });
  return PlainPath(longForm.empty() ? full : longForm);
}

std::wstring Environment(const wchar_t* name) {
  return Grown([&](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(name, b, n); });
}

// Which file a path names, links and mapped drive letters resolved.
FileId IdentityOf(const std::wstring& path) {
  std::wstring wide;
  if (!LongPath(path, wide)) return {};
  UniqueHandle h = OpenExisting(wide, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  return h.Valid() ? FileIdOf(h.Get()) : FileId{};
}

// The name after the last separator.
std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// The profile folders that Windows lists, each user's, however the tool was
// started: an administrator's password typed for a standard account runs
// the tool as the administrator, whose own profile is not the player's. A
// list that cannot be read leaves `error` set: the profiles it would name
// are not looked at.
std::vector<std::wstring> ProfileFolders(LONG& error) {
  std::vector<std::wstring> folders;
  const std::wstring own = Environment(L"USERPROFILE");
  if (!own.empty()) folders.push_back(own);
  HKEY list = nullptr;
  error = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                        KEY_READ | KEY_WOW64_64KEY, &list);
  if (error == ERROR_FILE_NOT_FOUND) error = ERROR_SUCCESS;  // no profile listed
  if (error != ERROR_SUCCESS || !list) return folders;
  UniqueKey listKey(list);
  wchar_t sid[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    error = RegEnumKeyExW(list, i, sid, &length, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_NO_MORE_ITEMS) {
      error = ERROR_SUCCESS;
      break;
    }
    if (error != ERROR_SUCCESS) break;
    wchar_t stored[1024];
    DWORD size = sizeof stored - sizeof(wchar_t);
    const LONG read = RegGetValueW(list, sid, L"ProfileImagePath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                   nullptr, stored, &size);
    if (read == ERROR_FILE_NOT_FOUND) continue;  // a key without a profile folder
    if (read != ERROR_SUCCESS) {
      error = read;
      break;
    }
    stored[size / sizeof(wchar_t)] = L'\0';
    std::wstring folder =
        Grown([&](wchar_t* b, DWORD n) { return ExpandEnvironmentStringsW(stored, b, n); });
    if (!folder.empty() && folder.back() == L'\0') folder.pop_back();
    if (!folder.empty()) folders.push_back(folder);
  }
  return folders;
}

// The folder a link leads to, as the system resolves it.
std::wstring Target(const std::wstring& path) {
  UniqueHandle h = OpenExisting(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  if (!h.Valid()) return {};
  return PlainPath(Grown([&](wchar_t* b, DWORD n) { return GetFinalPathNameByHandleW(h.Get(), b, n, 0); }));
}

// The folders on the way to a folder in the "\\?\" form, from below its
// drive's root or its share down to the folder itself, each in that form.
std::vector<std::wstring> StepsOnTheWay(const std::wstring& folder) {
  const bool share = folder.rfind(L"\\\\?\\UNC\\", 0) == 0;
  size_t at = share ? 8 : 4;
  for (int root = share ? 2 : 1; root > 0 && at != std::wstring::npos; --root) {
    at = folder.find(L'\\', at);
    if (at != std::wstring::npos) ++at;
  }
  std::vector<std::wstring> steps;
  while (at != std::wstring::npos && at < folder.size()) {
    at = folder.find(L'\\', at);
    steps.push_back(folder.substr(0, at));
    if (at != std::wstring::npos) ++at;
  }
  return steps;
}

// A running program's image path as the system gives it; empty where it
// cannot be read.
std::wstring ImagePathOf(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process.Valid()) return {};
  return Grown([&](wchar_t* b, DWORD n) {
    DWORD length = n;
    return QueryFullProcessImageNameW(process.Get(), 0, b, &length)
               ? length
               : (GetLastError() == ERROR_INSUFFICIENT_BUFFER ? n * 2 : 0);
  });
}

}  // namespace

void Win32PcWatch::Failed(CheckNotRun::Step step, unsigned long code) {
  if (notRun_.step != CheckNotRun::Step::None) return;
  notRun_ = {step, FileStatus::Failure(SystemErrorText(code), FailureKind::Other, code)};
}

int Win32PcWatch::RunningFrom(const std::vector<std::string>& exePaths) {
  // The same file however it was reached: a link to the game's folder, or a
  // drive letter mapped onto it, names the exe another way.
  std::vector<std::wstring> paths, names;
  std::vector<FileId> ids;
  for (const std::string& exePath : exePaths) {
    paths.push_back(Canonical(Widen(exePath)));
    names.push_back(FileNameOf(paths.back()));
    ids.push_back(IdentityOf(paths.back()));
  }
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) {
    Failed(CheckNotRun::Step::RunningGame, LastErrorOrGeneral());
    return -1;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  BOOL more = Process32FirstW(snapshot.Get(), &entry);
  if (!more && GetLastError() != ERROR_NO_MORE_FILES) Failed(CheckNotRun::Step::RunningGame, LastErrorOrGeneral());
  for (; more; more = Process32NextW(snapshot.Get(), &entry)) {
    // Each image is read and opened once, whichever exe it is compared with.
    ImageAnswer image;
    const std::wstring imagePath = ImagePathOf(entry.th32ProcessID);
    image.pathRead = !imagePath.empty();
    const std::wstring canonical = image.pathRead ? Canonical(imagePath) : std::wstring();
    if (image.pathRead) image.image = IdentityOf(canonical);
    for (size_t i = 0; i < paths.size(); ++i) {
      image.samePath = image.pathRead && SameText(canonical, paths[i]);
      image.sameName = SameText(entry.szExeFile, names[i]);
      if (RunsFrom(image, ids[i])) return static_cast<int>(i);
    }
  }
  return -1;
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
  LONG error = ERROR_SUCCESS;
  const std::vector<std::wstring> profiles = ProfileFolders(error);
  if (error != ERROR_SUCCESS) Failed(CheckNotRun::Step::Profiles, static_cast<unsigned long>(error));
  // C:\Program Files\X\Game\ is kept as <profile>\AppData\Local\VirtualStore\Program Files\X\Game\.
  for (const std::wstring& profile : profiles) {
    const std::string store = Narrow(profile + L"\\AppData\\Local\\VirtualStore" + folder.substr(2));
    bool seen = false;
    for (const std::string& s : stores) seen = seen || SameText(Widen(s), Widen(store));
    if (!seen) stores.push_back(store);
  }
  return stores;
}

FolderLink Win32PcWatch::LinkOnTheWay(const std::string& gameDir) {
  std::wstring folder;
  if (!LongPath(Widen(gameDir), folder)) {
    Failed(CheckNotRun::Step::LinkWalk, ERROR_FILENAME_EXCED_RANGE);
    return {};
  }
  // Held without sharing its removal: neither it nor a folder above it can be
  // renamed, removed or swapped for a link until the operation's box is gone.
  folder_.Reset(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder_.Valid()) Failed(CheckNotRun::Step::HoldFolder, LastErrorOrGeneral());
  // Under Wine every program is the same Linux user, and Linux players keep
  // games on other disks through symbolic links: a link is nobody else's.
  const bool sameUser = RunningUnderWine();
  for (const std::wstring& step : StepsOnTheWay(folder)) {
    const StepJudgement judged = JudgeStep(StepAnswerOf(step, sameUser));
    if (judged.doubt == LinkDoubt::None) continue;
    FolderLink link{Narrow(PlainPath(step)), Narrow(Target(step)), judged.doubt, {}};
    if (judged.code != 0) {
      link.unread = FileStatus::Failure(SystemErrorText(judged.code), FailureKind::Other, judged.code);
    }
    return link;
  }
  return {};
}
