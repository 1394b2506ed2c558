// Company-name proposals: the stroke totals of a company name's middle characters that
// make the whole name a good number, each split into stroke counts of the middle
// characters with suitable characters listed for every count, and the company reading
// of each number. The analyser's ProposeCompanyNames forwards here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "dictionary/Namelibrary.h"
#include "engine/Records.h"

namespace company {

// The numbers counted good for a company name, in the order they are tried.
inline constexpr std::array<int, 32> GoodNumbers = {1,  3,  5,  6,  7,  8,  11, 13, 15, 16, 17, 18, 23, 24, 25, 29,
                                                    31, 32, 33, 35, 37, 39, 41, 45, 47, 48, 52, 65, 67, 68, 73, 81};

bool IsGoodNumber(int n);
// The middle totals g (in GoodNumbers order) whose whole name, base + g folded, is good.
std::vector<int> GoodTotals(int base);
// Splits of `total` into n stroke counts of 1 to 27: n - 1 consecutive counts, then a
// larger last one; with n = 1 the total itself.
std::vector<std::vector<int>> StrokeSplits(int total, int n);

// The whole proposal for prefix + n middle characters + suffix, into `prefix`.
// elementMask: bit 0 水 … bit 4 金, 0 for any element. Opens the quick dictionary of
// `lib`. False with `error` set when a character of the name is not in the dictionary
// or no total can be proposed.
bool ProposeCompanyNames(MNameLibrary& lib, const AnalysisSettings& settings, std::string& prefix,
                         const std::string& suffix, int elementMask, int n, std::string& error);

}  // namespace company
