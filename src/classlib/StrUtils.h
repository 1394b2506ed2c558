// The byte-counting string helpers of the class library.
//
// Text is GBK in std::string. Lengths and positions count bytes, and positions are
// 1-based, as the program's algorithms are written: Pos returns 0 when not found,
// Copy(s, 1, n) is the first n bytes. Case conversion touches ASCII letters only.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// 1-based position of sub in s at or after byte `from`, 0 when absent.
size_t Pos(std::string_view sub, std::string_view s, size_t from = 1);
// Like Pos, but a match only counts when it starts on a character boundary of GBK text.
size_t PosChar(std::string_view sub, std::string_view s);
// count bytes of s from 1-based index; out-of-range parts are clipped.
std::string Copy(std::string_view s, size_t index, size_t count);
// Removes count bytes from 1-based index.
void Delete(std::string& s, size_t index, size_t count);
// Inserts sub before 1-based index (past the end appends).
void Insert(std::string_view sub, std::string& s, size_t index);

std::string Trim(std::string_view s);       // spaces and control bytes both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
std::string StringReplace(std::string_view s, std::string_view from, std::string_view to);

std::string IntToStr(long long v);
// Decimal, or hexadecimal with "0x"/"$"; surrounding spaces allowed; def on anything else.
long long StrToIntDef(std::string_view s, long long def);
bool TryStrToInt(std::string_view s, long long& out);
double StrToFloatDef(std::string_view s, double def);
std::string FloatToStr(double v);

// printf-style formatting into a std::string of any length.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args);

// Paths use '\' as the program writes them; '/' is accepted too.
std::string ExtractFilePath(std::string_view path);  // with its trailing separator
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);   // with its dot, "" when none
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingBackslash(std::string_view path);
