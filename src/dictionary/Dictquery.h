// The dictionary page's queries: characters looked up one by one, or the whole file
// scanned by conditions, written as the text the page shows.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Namelibrary.h"

namespace dictquery {

// "Any" is an empty text, 0 or an empty mask.
struct Conditions {
  std::string pinyin;        // matched byte for byte against truePy
  int sex = 0;               // 1 male, 2 female names
  std::string radical;       // the chosen radicals, 2 bytes each
  int strokes = 0;           // 1..51
  int strokeKind = 0;        // 0 Kangxi, 1 simplified
  unsigned elementMask = 0;  // bit wx for each allowed element
};

enum class Style { Full, Brief };

// The further explanations of a record, each a paragraph.
std::string ExplainBlock(const CharRecord& r);
// One character's line: strokes, element, luck and meaning, and the explanations when asked.
std::string FullLine(const CharRecord& r, bool explain);
bool Matches(const CharRecord& r, const Conditions& c);

// The line of each character of `text` that the open file holds.
std::string SearchByChars(MNameLibrary& lib, std::string_view text, bool explain);
// Every id of the full count scanned over one connection; the result comes in blocks of
// 1000 full lines so the text never grows large while it is built. `pump` runs now and
// then so the window stays responsive.
std::vector<std::string> SearchByConditions(MNameLibrary& lib, const Conditions& c, Style style, bool explain,
                                            const std::function<void()>& pump = {});
// The blocks as one text, a line each.
std::string JoinBlocks(const std::vector<std::string>& blocks);

}  // namespace dictquery
