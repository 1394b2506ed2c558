#include "classlib/StrUtils.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "classlib/Gbk.h"

size_t Pos(std::string_view sub, std::string_view s, size_t from) {
  if (sub.empty() || from == 0 || from > s.size()) return 0;
  size_t at = s.find(sub, from - 1);
  return at == std::string_view::npos ? 0 : at + 1;
}

size_t PosChar(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  for (size_t i = 0; i + sub.size() <= s.size(); i += gbk::CharLength(s, i)) {
    if (s.compare(i, sub.size(), sub) == 0) return i + 1;
  }
  return 0;
}

std::string Copy(std::string_view s, size_t index, size_t count) {
  if (index == 0) index = 1;
  if (index > s.size()) return {};
  return std::string(s.substr(index - 1, count));
}

void Delete(std::string& s, size_t index, size_t count) {
  if (index == 0 || index > s.size()) return;
  s.erase(index - 1, count);
}

void Insert(std::string_view sub, std::string& s, size_t index) {
  if (index == 0) index = 1;
  if (index > s.size() + 1) index = s.size() + 1;
  s.insert(index - 1, sub);
}

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

// Case conversion must not touch the trail byte of a GBK character (it may be a letter).
std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (size_t i = 0; i < r.size(); i += gbk::CharLength(r, i)) {
    if (r[i] >= 'a' && r[i] <= 'z') r[i] = static_cast<char>(r[i] - 'a' + 'A');
  }
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (size_t i = 0; i < r.size(); i += gbk::CharLength(r, i)) {
    if (r[i] >= 'A' && r[i] <= 'Z') r[i] = static_cast<char>(r[i] - 'A' + 'a');
  }
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::string StringReplace(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  size_t i = 0;
  while (true) {
    size_t at = s.find(from, i);
    if (at == std::string_view::npos) break;
    r.append(s.substr(i, at - i));
    r.append(to);
    i = at + from.size();
  }
  r.append(s.substr(i));
  return r;
}

std::string IntToStr(long long v) { return std::to_string(v); }

bool TryStrToInt(std::string_view text, long long& out) {
  std::string s = Trim(text);
  if (s.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  unsigned long long v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d = c >= '0' && c <= '9' ? c - '0'
            : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
            : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
    if (d < 0) return false;
    v = v * base + d;
    if (v > 0x7FFFFFFFFFFFFFFFull) return false;
  }
  out = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
  return true;
}

long long StrToIntDef(std::string_view s, long long def) {
  long long v;
  return TryStrToInt(s, v) ? v : def;
}

double StrToFloatDef(std::string_view text, double def) {
  std::string s = Trim(text);
  if (s.empty()) return def;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(s.c_str(), &end);
  return (errno != 0 || end == s.c_str() || *end != '\0') ? def : v;
}

std::string FloatToStr(double v) {
  std::string s = Format("%.15g", v);
  return s;
}

std::string FormatV(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  return out;
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string out = FormatV(fmt, args);
  va_end(args);
  return out;
}

namespace {
// Index just past the last separator, on a character boundary ('\' can be a GBK trail byte).
size_t NameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += gbk::CharLength(path, i)) {
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  }
  return start;
}
}  // namespace

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFileExt(std::string_view path) {
  std::string name = ExtractFileName(path);
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += gbk::CharLength(name, i)) {
    if (name[i] == '.') dot = i;
  }
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string old = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - old.size())) + std::string(ext);
}

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string r(path);
  if (r.empty() || NameStart(r) != r.size()) r += '\\';
  return r;
}
