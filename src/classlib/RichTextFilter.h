// What a rich edit may be given of a report file: the file parsed and written anew.
//
// The system's rich-text reader is not safe against every file: it reads the bytes
// after \binN as RTF, crashes on deep nesting and long control words, and hangs for
// minutes on chains of \* groups, long runs of \u and paragraphs of a megabyte. So a
// file never reaches it as it is. RTF is parsed into the groups, control words and
// text that reports use (fonts, colours, sizes, bold, italic, underline, paragraph
// alignment, indents and spacing, breaks and tabs, \'hh, \uN) and written anew from
// that parse alone: groups whose first word is unknown, \* groups and \bin data are
// dropped, and the result is flat. What cannot be parsed is refused; the file is
// never changed.
//
// The bounds, from the reader under Wine on a machine shared by many builds: it lays a
// paragraph out in time that grows with the square of its length, and every character
// costs besides. A megabyte in one word took over a minute; broken into paragraphs of
// 4,096 characters 16-22 s, of 1,024 about 4 s, of 256 about 2-3.5 s. 262,144
// characters in paragraphs of 512 load in 0.4-1.0 s (plain text 0.4-0.55 s, RTF of
// Chinese 1.0 s), of 256 in 0.3-0.76 s; clearing them again takes 0.06-0.12 s. With
// paragraphs of 64 a megabyte loads in 0.9 s but takes 4-26 s to clear. A report the
// program writes is tens of kilobytes in paragraphs of at most a few hundred characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct RichTextBounds {
  int64_t maxFileBytes = 2 * 1024 * 1024;  // larger files are refused unread
  size_t maxChars = 256 * 1024;            // characters of text and breaks; more are refused
  size_t maxParagraphChars = 512;          // a longer paragraph is broken
  int maxDepth = 128;                      // groups open at once, the outermost counting 1
  size_t maxWordLetters = 32;              // letters of one control word, as the format allows
  size_t maxParameterDigits = 10;          // digits of a control word's number
};

// A file's text as a rich edit may take it: RTF written anew, or plain GBK text.
struct ViewText {
  std::string data;
  bool rtf = false;
};

// Whether a file's text is read as RTF: it opens as RTF does.
inline bool LooksLikeRtf(std::string_view data) { return data.substr(0, 5) == "{\\rtf"; }

// Parses `data` (RTF when it looks like it and `plainText` is false, else plain text)
// into `out`. False with the reason (GBK, a clause to follow the file's name) when it
// cannot be parsed or holds nothing.
bool FilterRichText(std::string_view data, bool plainText, ViewText& out, std::string& why,
                    const RichTextBounds& bounds = {});

// The file at `path` read and filtered; false with a message (GBK) naming the file.
bool ReadRichTextFile(const std::string& path, bool plainText, ViewText& out, std::string& why,
                      const RichTextBounds& bounds = {});
