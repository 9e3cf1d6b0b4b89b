// A library of the system folder, loaded by its full path: never by its bare
// name, which a planted file beside the exe could answer.
#pragma once
#include <windows.h>

#include <string>

// None when the path cannot be made.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A function of a library, looked up by name rather than imported: one that
// an older Windows lacks, or one whose library the program loads itself. Null
// where the library or the function is missing.
template <class Function>
Function SystemFunction(HMODULE library, const char* name) {
  if (!library) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
