// The 81-number readings of everyday numbers, company names and licence plates:
// each input line is reduced to one number, folded into 1 to 81 and read from the
// string table. Pure rules; the dictionary is reached only through a stroke look-up.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/TStringList.h"

class MNameLibrary;

namespace numberread {

// Strokes of one GBK character; false when the character is unknown.
using StrokeLookup = std::function<bool(std::string_view ch, int& strokes)>;

// Kangxi (`strokeMode` 0) or simplified (1) counts from the open dictionary.
// Only two-byte characters are looked up; anything else is unknown.
StrokeLookup DictionaryStrokes(MNameLibrary& lib, int strokeMode);

enum class Tool { Phone, Company, Plate };

// A trailing number (the whole text below 5 bytes, else its last four bytes) when it
// is at least 1, otherwise the stroke total; false when a character is unknown.
bool NumberRule(std::string_view s, const StrokeLookup& strokes, int& n);
// Digits and letters by value (a-z, A-Z 10-35), blanks dropped, other characters by
// strokes; false when a character is unknown or a single byte is neither.
bool PlateRule(std::string_view s, const StrokeLookup& strokes, int& n);

// The reading of every non-empty line of `lines`, numbered from 1, as one text.
std::string ReadLines(const TStringList& lines, Tool tool, const StrokeLookup& strokes);

// Stroke counts d > 0 whose addition makes a company stroke total good, ascending.
std::vector<int> LuckyStrokeDeltas(int total);

// The company test of `name` (trimmed, non-empty). False at the first unknown character,
// with `text` untouched.
bool CompanyReading(std::string_view name, const StrokeLookup& strokes, std::string& text);

}  // namespace numberread
