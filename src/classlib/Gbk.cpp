#include "classlib/Gbk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace gbk {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes UTF-8 into UTF-16; malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = s[i];
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = extra <= 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0;
    int taken = 0;  // continuation bytes read before a sequence broke off
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
        ok = false;
      } else {
        c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        taken = k;
      }
    }
    constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      // One replacement for a broken sequence, as far as it went.
      out += kReplacement;
      i += ok ? extra + 1 : taken + 1;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += extra + 1;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

#ifdef _WIN32

constexpr UINT kGbk = 936;

// Converts one GBK character (1 or 2 bytes); false when code page 936 has no such character.
bool DecodeOne(const char* p, int n, char16_t& out) {
  wchar_t w[2];
  int got = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, p, n, w, 2);
  if (got != 1) return false;
  out = static_cast<char16_t>(w[0]);
  return true;
}

bool EncodeOne(char16_t c, std::string& out) {
  char buf[4];
  BOOL usedDefault = FALSE;
  wchar_t w = static_cast<wchar_t>(c);
  int n = WideCharToMultiByte(kGbk, 0, &w, 1, buf, sizeof buf, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.append(buf, n);
  return true;
}

// Whole strings in one call: false when any character needs the per-character rules.
bool DecodeAll(std::string_view s, std::u16string& out) {
  const int len = static_cast<int>(s.size());
  int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, s.data(), len, nullptr, 0);
  if (n <= 0) return false;
  out.resize(n);
  return MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, s.data(), len, reinterpret_cast<wchar_t*>(out.data()), n) == n;
}

bool EncodeAll(std::u16string_view s, std::string& out) {
  const auto* w = reinterpret_cast<const wchar_t*>(s.data());
  const int len = static_cast<int>(s.size());
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(kGbk, 0, w, len, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.resize(n);
  return WideCharToMultiByte(kGbk, 0, w, len, out.data(), n, nullptr, &usedDefault) == n && !usedDefault;
}

#else

// One iconv descriptor per direction and thread; iconv keeps shift state, so it is not shared.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts a whole small buffer; false if any byte failed.
  bool Run(const char* in, size_t inLen, char* out, size_t& outLen) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    size_t room = outLen;
    size_t r = iconv(cd_, &src, &inLen, &dst, &room);
    if (r == static_cast<size_t>(-1) || inLen != 0) return false;
    // iconv counts irreversible conversions; treat them as failures to keep round trips exact.
    if (r != 0) return false;
    outLen -= room;
    return true;
  }

 private:
  iconv_t cd_;
};

Converter& ToU16() {
  thread_local Converter c("UTF-16LE", "CP936");
  return c;
}
Converter& FromU16() {
  thread_local Converter c("CP936", "UTF-16LE");
  return c;
}

bool DecodeOne(const char* p, int n, char16_t& out) {
  char buf[8];
  size_t len = sizeof buf;
  if (!ToU16().Run(p, n, buf, len) || len != 2) return false;
  out = static_cast<char16_t>(static_cast<unsigned char>(buf[0]) | (static_cast<unsigned char>(buf[1]) << 8));
  return true;
}

bool EncodeOne(char16_t c, std::string& out) {
  char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  char buf[8];
  size_t len = sizeof buf;
  if (!FromU16().Run(in, 2, buf, len) || len == 0) return false;
  out.append(buf, len);
  return true;
}

// Whole strings in one call: false when any character needs the per-character rules.
bool DecodeAll(std::string_view s, std::u16string& out) {
  std::string buf(s.size() * 2 + 2, '\0');
  size_t len = buf.size();
  if (!ToU16().Run(s.data(), s.size(), buf.data(), len)) return false;
  out.resize(len / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(buf[2 * i]) |
                                   (static_cast<unsigned char>(buf[2 * i + 1]) << 8));
  }
  return true;
}

bool EncodeAll(std::u16string_view s, std::string& out) {
  std::string in(s.size() * 2, '\0');
  for (size_t i = 0; i < s.size(); ++i) {
    in[2 * i] = static_cast<char>(s[i] & 0xFF);
    in[2 * i + 1] = static_cast<char>(s[i] >> 8);
  }
  out.assign(s.size() * 2 + 2, '\0');
  size_t len = out.size();
  if (!FromU16().Run(in.data(), in.size(), out.data(), len)) return false;
  out.resize(len);
  return true;
}

#endif

}  // namespace

std::u16string ToUtf16(std::string_view s) {
  std::u16string out;
  // Most texts convert whole; the loop below is for those with bytes GBK does not know.
  if (DecodeAll(s, out)) return out;
  out.clear();
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    char16_t c;
    unsigned char trail = i + 1 < s.size() ? s[i + 1] : 0;
    bool pair = IsLeadByte(b) && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
    if (pair) {
      // A well-formed pair is one character even where the code page assigns nothing.
      out += DecodeOne(s.data() + i, 2, c) ? c : kReplacement;
      i += 2;
    } else if (DecodeOne(s.data() + i, 1, c)) {  // the single-byte 0x80 of code page 936
      out += c;
      ++i;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

std::string FromUtf16(std::u16string_view s) {
  std::string out;
  if (EncodeAll(s, out)) return out;
  out.clear();
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (!EncodeOne(c, out)) {
      // Surrogate pairs and characters outside GBK have no GBK form.
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) ++i;
      out += '?';
    }
  }
  return out;
}

std::string ToUtf8(std::string_view gbk) {
  bool ascii = true;
  for (unsigned char c : gbk) ascii = ascii && c < 0x80;
  if (ascii) return std::string(gbk);
  return Utf16ToUtf8(ToUtf16(gbk));
}

std::string FromUtf8(std::string_view utf8) {
  bool ascii = true;
  for (unsigned char c : utf8) ascii = ascii && c < 0x80;
  if (ascii) return std::string(utf8);
  return FromUtf16(Utf8ToUtf16(utf8));
}

std::string CutAtCharBoundary(std::string_view s, size_t maxBytes) {
  size_t i = 0;
  while (i < s.size()) {
    size_t n = CharLength(s, i);
    if (i + n > maxBytes) break;
    i += n;
  }
  return std::string(s.substr(0, i));
}

}  // namespace gbk
