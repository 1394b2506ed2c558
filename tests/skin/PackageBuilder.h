// Package content and bitmaps made byte by byte for the skin tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skintest {

inline std::string Le32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

inline std::string Le16(uint16_t v) { return Le32(v).substr(0, 2); }

struct Entry {
  std::string name;
  std::string bytes;
};

// Decompressed package content; the bytes between the header and the name list are gap.
inline std::string Content(int32_t version, const std::vector<Entry>& entries, char gap = '\xEE') {
  std::string names;
  for (const Entry& e : entries) names += e.name + "\r\n";
  size_t listAt = version == 30000 ? 272 : version == 40000 ? 96 : 16;
  std::string c = Le32(static_cast<uint32_t>(version)) + Le32(static_cast<uint32_t>(names.size())) + Le32(7) + Le32(9);
  c.resize(listAt, gap);
  c += names;
  for (const Entry& e : entries) c += Le32(static_cast<uint32_t>(e.bytes.size()));
  for (const Entry& e : entries) c += e.bytes;
  return c;
}

// A 24-bit bottom-up bitmap filled with one colour, padded with `extra` trailing bytes.
inline std::string Bitmap(int width, int height, uint32_t rgb = 0x336699, size_t extra = 0) {
  int stride = (width * 3 + 3) / 4 * 4;
  uint32_t pixels = static_cast<uint32_t>(stride * height);
  std::string b = "BM" + Le32(54 + pixels) + Le32(0) + Le32(54);
  b += Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + Le16(1) + Le16(24);
  b += Le32(0) + Le32(pixels) + Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row.push_back(static_cast<char>(rgb & 0xFF));
      row.push_back(static_cast<char>(rgb >> 8));
      row.push_back(static_cast<char>(rgb >> 16));
    }
    row.resize(stride, '\0');
    b += row;
  }
  return b + std::string(extra, '\0');
}

}  // namespace skintest
