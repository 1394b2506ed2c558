// GBK text conversion.
//
// The program's text is GBK (code page 936): one byte for ASCII, two bytes for a
// Chinese character, lead byte 0x81-0xFE. Conversion happens only at the edges:
// to UTF-16 for Win32 (inside the class library) and to UTF-8 for SQLite and for
// file names in the native build. Windows converts with code page 936 explicitly,
// never the system code page; Linux uses iconv's CP936, which round-trips every
// GBK double-byte character the same way.
//
// Invalid input never fails: a byte that does not start a valid sequence becomes
// U+FFFD going out, and a character GBK lacks becomes '?' coming back.
#pragma once

#include <string>
#include <string_view>

namespace gbk {

// True for a byte that starts a two-byte GBK character.
constexpr bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length in bytes of the character starting at s[i] (1 or 2; 1 for a lead byte at the end).
inline size_t CharLength(std::string_view s, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

std::string ToUtf8(std::string_view gbk);
std::string FromUtf8(std::string_view utf8);
std::u16string ToUtf16(std::string_view gbk);
std::string FromUtf16(std::u16string_view utf16);

// A UTF-8 literal of the source as the program's text: U("李") is 李 in GBK.
inline std::string U(std::string_view utf8) { return FromUtf8(utf8); }

#ifdef _WIN32
// wchar_t is 16 bits on Windows: the class library's views for the W functions.
inline std::wstring ToWide(std::string_view gbk) {
  std::u16string u = ToUtf16(gbk);
  return std::wstring(u.begin(), u.end());
}
inline std::string FromWide(std::wstring_view w) {
  return FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
}
#endif

// Cuts s to at most maxBytes without splitting a two-byte character.
std::string CutAtCharBoundary(std::string_view s, size_t maxBytes);

}  // namespace gbk
