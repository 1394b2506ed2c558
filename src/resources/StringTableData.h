// The compiled-in string table of the native build, written by StrTableGen.
#pragma once

#include <cstddef>

struct StringTableEntry {
  int id;
  const char* text;  // GBK
  size_t length;
};

// Sorted by id.
extern const StringTableEntry kStringTable[];
extern const size_t kStringTableSize;
