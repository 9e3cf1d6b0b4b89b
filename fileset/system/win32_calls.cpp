#include "fileset/system/win32_calls.h"

#include "common/system_library_win32.h"
#include "common/utf.h"

namespace {

// The longest path the system takes in the "\\?\" form.
constexpr size_t kLongestPath = 32767;

}  // namespace

// The full path is made first, since the "\\?\" form takes every separator,
// "." and ".." literally. A path already in the form is as the user gave it.
bool LongPath(const std::wstring& path, std::wstring& longForm) {
  longForm = path;
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.size() < kLongestPath;
  const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0 || need >= kLongestPath) return false;
  std::wstring full(need, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), need, &full[0], nullptr);
  if (length == 0 || length >= need) return false;
  full.resize(length);
  longForm = full.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
  return longForm.size() < kLongestPath;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
             CSTR_EQUAL;
}

std::wstring PlainPath(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) path.erase(0, 4);
  return path;
}

constexpr int64_t kTicksPerSecond = 10000000;

FileTime FromFiletime(const FILETIME& ft) {
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
  FileTime t;
  t.seconds = ticks / kTicksPerSecond - kFiletimeEpochToUnixSeconds;
  t.nanoseconds = static_cast<uint32_t>(ticks % kTicksPerSecond) * 100;
  return t;
}

bool ToFiletime(const FileTime& t, FILETIME& ft) {
  const int64_t seconds = t.seconds + kFiletimeEpochToUnixSeconds;
  if (seconds < 0 || seconds > INT64_MAX / kTicksPerSecond - 1) return false;
  const uint64_t ticks = static_cast<uint64_t>(seconds * kTicksPerSecond + t.nanoseconds / 100);
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return true;
}

UniqueHandle OpenExisting(const std::wstring& path, DWORD access, DWORD flags) {
  return UniqueHandle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
}

DWORD LastErrorOrGeneral() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

bool RunningUnderWine() {
  return SystemFunction<FARPROC>(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length > 0 && buffer) text.assign(buffer, length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return Narrow(text);
}
