// What the parts of the case store share: the sizes of its files. Not for use outside
// src/cases.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "cases/Database.h"

namespace casestore {

inline constexpr int64_t kHeaderSize = sizeof(CaseFileHeader);
inline constexpr int64_t kRecordSize = sizeof(CaseRecord);
// The header counts files in 16 bits, which bounds the store.
inline constexpr int32_t kMaxFiles = std::numeric_limits<int16_t>::max();
inline constexpr int32_t kMaxCases = kMaxFiles * MDataBase::kRecordsPerFile;
// Records changed by one journal at most; larger changes go in several.
inline constexpr size_t kChunk = 256;

inline int32_t ExpectedFileCount(int32_t count) {
  return count <= 0 ? 1 : (count - 1) / MDataBase::kRecordsPerFile + 1;
}

// Bytes file n must hold at least for the slots the header counts.
inline int64_t RequiredSize(int32_t n, int32_t count) {
  int64_t records =
      std::clamp<int64_t>(int64_t{count} - int64_t{n} * MDataBase::kRecordsPerFile, 0, MDataBase::kRecordsPerFile);
  return records * kRecordSize + (n == 0 ? kHeaderSize : 0);
}

}  // namespace casestore
