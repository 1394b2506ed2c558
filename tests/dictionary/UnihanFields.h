// The unpacked Unihan files of the build (TORVIK_UNIHAN_DIR), read field by field, for the
// tests that check the generated dictionary against them.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "classlib/Gbk.h"

inline std::string Utf8Of(uint32_t cp) {
  std::u16string one(1, static_cast<char16_t>(cp));
  return gbk::ToUtf8(gbk::FromUtf16(one));
}

// One field of the unpacked Unihan file `part`: code point to value.
inline std::map<uint32_t, std::string> UnihanField(const char* part, const std::string& key) {
  std::map<uint32_t, std::string> out;
  std::ifstream in(std::string(TORVIK_UNIHAN_DIR) + "/Unihan_" + part + ".txt");
  for (std::string line; std::getline(in, line);) {
    std::istringstream f(line);
    std::string cp, k, value;
    if (std::getline(f, cp, '\t') && std::getline(f, k, '\t') && std::getline(f, value) && k == key) {
      out[static_cast<uint32_t>(std::stoul(cp.substr(2), nullptr, 16))] = value;
    }
  }
  return out;
}
