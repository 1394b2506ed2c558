// What a file must keep to before it goes into a rich edit.
//
// The system's rich-text reader is not safe against every file. Under Wine, measured:
// groups nested 33 deep (the outermost counting) hang or fault it, 32 load; a control
// word of 1,100 letters faults it, 1,025 loads; a number of 20 digits, or a font size
// of 2,000,000,000 half points, hangs it; and a megabyte of paragraph marks takes
// seconds. A report the program writes is tens of kilobytes, 3 groups deep, with
// control words of a dozen letters; the bounds leave wide room for reports written by
// other programs and stay well clear of where the reader breaks. Plain text is bounded
// by its size alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct RichTextLimits {
  int64_t maxBytes = 1024 * 1024;
  int maxDepth = 24;               // groups open at once, the outermost counting 1
  size_t maxWordLetters = 255;     // letters of one control word (the format allows 32)
  size_t maxParameterDigits = 10;  // digits of a control word's number (a 32-bit value)
  long long maxFontSize = 3276;    // \fs, in half points (1,638 points)
};

enum class RichTextVerdict { Fits, TooLarge, TooDeep, WordTooLong, BadNumber };

// The verdict on a file's text; `rtf` false checks the size only.
RichTextVerdict CheckRichText(std::string_view data, bool rtf, const RichTextLimits& limits = {});
// The verdict on a file's size before it is read.
RichTextVerdict CheckRichTextSize(int64_t bytes, const RichTextLimits& limits = {});
// Whether a file's text is read as RTF: it opens as RTF does.
inline bool LooksLikeRtf(std::string_view data) { return data.substr(0, 5) == "{\\rtf"; }
// Why the file at `path` may not go into a rich edit (GBK), read as plain text or by
// its look; empty when it may, or when it cannot be read (its reader says why then).
std::string RichTextFileRefusal(std::string_view path, bool plainText, const RichTextLimits& limits = {});
// Why a file was refused, for the user (GBK); empty for Fits.
std::string RichTextRefusal(RichTextVerdict v, const RichTextLimits& limits = {});
