// Text conversion between the core's UTF-8 strings and UTF-16, the form in which
// Windows' W functions and REG_SZ data hold text.
#pragma once
#include <string>

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

#ifdef _WIN32
// wchar_t is 16 bits on Windows, so the W functions take these directly.
inline std::wstring Widen(const std::string& text) {
  std::u16string u = Utf8ToUtf16(text);
  return std::wstring(u.begin(), u.end());
}
inline std::string Narrow(const std::wstring& text) {
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}
#endif
