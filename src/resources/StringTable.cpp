#include "resources/StringTable.h"

#include <algorithm>

#include "resources/StringTableData.h"

std::string LoadStr(int id) {
  const StringTableEntry* end = kStringTable + kStringTableSize;
  const StringTableEntry* e =
      std::lower_bound(kStringTable, end, id, [](const StringTableEntry& a, int b) { return a.id < b; });
  return (e != end && e->id == id) ? std::string(e->text, e->length) : std::string();
}
