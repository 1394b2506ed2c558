#include "classlib/RichTextFilter.h"

#include <algorithm>
#include <map>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

bool Letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool Digit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (Digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int Clamp(long long v, int lo, int hi) { return static_cast<int>(std::clamp<long long>(v, lo, hi)); }

enum class Refusal { None, Empty, NoText, TooMuchText, Nesting, LongWord, BadNumber, BadBinary };

// Half points and twips: the widest a page or a glyph sensibly gets.
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTwips = 31680;
// A larger table is no report's; entries past it are not written.
constexpr int kMaxTableEntries = 1024;
constexpr size_t kMaxFontNameBytes = 64;

struct CharFormat {
  int font = -1;  // the default font
  int size = 24;  // half points
  bool bold = false, italic = false, underline = false, strike = false;
  int colour = 0, highlight = 0;  // 0 is the automatic colour
  int script = 0;                 // 1 raised, -1 lowered
  bool operator==(const CharFormat&) const = default;
};

struct ParaFormat {
  char align = 'l';
  int left = 0, right = 0, first = 0, before = 0, after = 0, line = 0;
  bool lineMultiple = false;
  bool operator==(const ParaFormat&) const = default;
};

enum class Dest { Text, FontTable, ColourTable, Skip };

struct State {
  Dest dest = Dest::Text;
  CharFormat chr;
  ParaFormat para;
  int uc = 1;
  bool fresh = true;  // nothing read in the group yet: its first word says what it is
};

struct Font {
  int number = 0;
  std::string family = "fnil";
  int charset = 1;
  int pitch = -1;
  std::string name;
};

struct Colour {
  bool automatic = true;
  int red = 0, green = 0, blue = 0;
};

// The character-format and paragraph words that may open a group of text; a group
// opened by any other word is a destination we do not know, and is dropped whole.
bool OpensTextGroup(std::string_view w) {
  static constexpr std::string_view kWords[] = {
      "rtf",       "ansi",     "ansicpg", "deff",       "uc",      "plain",    "f",       "fs",     "b",
      "i",         "ul",       "uld",     "uldb",       "ulw",     "ulnone",   "strike",  "cf",     "cb",
      "highlight", "super",    "sub",     "nosupersub", "pard",    "ql",       "qr",      "qc",     "qj",
      "li",        "ri",       "fi",      "sb",         "sa",      "sl",       "slmult",  "lang",   "langfe",
      "langnp",    "langfenp", "loch",    "hich",       "dbch",    "ltrch",    "rtlch",   "ltrpar", "af",
      "afs",       "kerning",  "cs",      "s",          "insrsid", "charrsid", "noproof", "field",  "fldrslt",
      "pntext",    "listtext", "cgrid",   "expnd",      "expndtw", "up",       "dn",      "par",    "line",
      "tab",       "u"};
  return std::find(std::begin(kWords), std::end(kWords), w) != std::end(kWords);
}

// Unicode characters named by a word of their own.
int NamedCharacter(std::string_view w) {
  static constexpr struct {
    std::string_view word;
    int code;
  } kNamed[] = {{"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
                {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
                {"enspace", 0x2002}, {"qmspace", 0x2005}};
  for (const auto& n : kNamed)
    if (n.word == w) return n.code;
  return -1;
}

bool DoubleByteCharset(int charset) { return charset == 128 || charset == 129 || charset == 134 || charset == 136; }
bool DoubleByteCodePage(int cp) { return cp == 932 || cp == 936 || cp == 949 || cp == 950; }

class RtfFilter {
 public:
  RtfFilter(std::string_view in, const RichTextBounds& bounds) : in_(in), bounds_(bounds) {}

  Refusal Run(std::string& out) {
    while (at_ < in_.size() && !done_ && refusal_ == Refusal::None) {
      const char c = in_[at_++];
      if (c == '{') {
        Open();
      } else if (c == '}') {
        Close();
      } else if (c == '\\') {
        Control();
      } else if (c != '\r' && c != '\n' && !stack_.empty()) {
        Byte(static_cast<unsigned char>(c));
      }
    }
    if (refusal_ != Refusal::None) return refusal_;
    if (!sawText_) return Refusal::NoText;
    out = Header() + body_ + "}";
    return Refusal::None;
  }

  // Where the last control word began: where a refusal was found.
  size_t Offset() const { return token_; }

 private:
  State& Top() { return stack_.back(); }
  const State& Top() const { return stack_.back(); }

  void Refuse(Refusal r) { refusal_ = r; }

  void Open() {
    skip_ = 0;
    if (static_cast<int>(stack_.size()) >= bounds_.maxDepth) return Refuse(Refusal::Nesting);
    State s = stack_.empty() ? State{} : Top();
    s.fresh = true;
    stack_.push_back(s);
    if (stack_.size() == fontTableDepth_ + 1) CommitFont();  // a group of its own for each font
  }

  void Close() {
    skip_ = 0;
    if (stack_.empty()) return;
    if (Top().dest == Dest::FontTable && stack_.size() <= fontTableDepth_ + 1) CommitFont();
    stack_.pop_back();
    done_ = stack_.empty();  // what follows the outermost group is no part of it
  }

  // After a backslash: a control symbol is one byte; a control word is letters, then an
  // optional signed number, then an optional blank.
  void Control() {
    token_ = at_ - 1;
    if (at_ >= in_.size()) return;
    const char c = in_[at_];
    if (!Letter(c)) {
      ++at_;
      return Symbol(c);
    }
    const size_t word = at_;
    while (at_ < in_.size() && Letter(in_[at_])) ++at_;
    if (at_ - word > bounds_.maxWordLetters) return Refuse(Refusal::LongWord);
    const std::string_view name = in_.substr(word, at_ - word);
    const bool negative = at_ + 1 < in_.size() && in_[at_] == '-' && Digit(in_[at_ + 1]);
    if (negative) ++at_;
    const size_t number = at_;
    long long value = 0;
    while (at_ < in_.size() && Digit(in_[at_])) value = value * 10 + (in_[at_++] - '0');
    if (at_ - number > bounds_.maxParameterDigits) return Refuse(Refusal::BadNumber);
    const bool hasValue = at_ > number;
    if (at_ < in_.size() && in_[at_] == ' ') ++at_;
    Word(name, hasValue, negative ? -value : value);
  }

  void Symbol(char c) {
    if (stack_.empty()) return;
    State& s = Top();
    const bool fresh = s.fresh;
    s.fresh = false;
    if (c == '*') {
      if (fresh) s.dest = Dest::Skip;
      return;
    }
    if (c == '\'') {
      const int hi = at_ < in_.size() ? HexValue(in_[at_]) : -1;
      const int lo = at_ + 1 < in_.size() ? HexValue(in_[at_ + 1]) : -1;
      if (hi < 0 || lo < 0) return;
      at_ += 2;
      return Byte(static_cast<unsigned char>(hi * 16 + lo));
    }
    if (c == '\\' || c == '{' || c == '}') return Byte(static_cast<unsigned char>(c));
    if (s.dest != Dest::Text) return;
    if (c == '\r' || c == '\n') return Paragraph();
    if (c == '~') return Unicode(0xA0);
    if (c == '_') return Unicode(0x2011);
  }

  void Word(std::string_view w, bool hasValue, long long v) {
    if (stack_.empty()) return;
    State& s = Top();
    if (w == "bin") return Binary(hasValue ? v : 0);
    if (s.fresh) {
      s.fresh = false;
      if (w == "fonttbl") {
        s.dest = Dest::FontTable;
        fontTableDepth_ = stack_.size();
      }
      if (w == "colortbl") s.dest = Dest::ColourTable;
      if (s.dest == Dest::Text && !OpensTextGroup(w)) s.dest = Dest::Skip;
    }
    switch (s.dest) {
      case Dest::FontTable:
        return FontWord(w, v);
      case Dest::ColourTable:
        return ColourWord(w, v);
      case Dest::Text:
        return TextWord(s, w, hasValue, v);
      case Dest::Skip:
        return;
    }
  }

  void Binary(long long n) {
    if (n < 0 || static_cast<unsigned long long>(n) > in_.size() - at_) return Refuse(Refusal::BadBinary);
    at_ += static_cast<size_t>(n);  // data, never text: dropped wherever it stands
  }

  void FontWord(std::string_view w, long long v) {
    if (w == "f") {
      font_.number = Clamp(v, 0, 32767);
      fontSeen_ = true;
    } else if (w == "fcharset") {
      font_.charset = Clamp(v, 0, 255);
    } else if (w == "fprq") {
      font_.pitch = Clamp(v, 0, 2);
    } else if (w == "fnil" || w == "froman" || w == "fswiss" || w == "fmodern" || w == "fscript" || w == "fdecor" ||
               w == "ftech" || w == "fbidi") {
      // The family is kept: runs of one face in fonts of two families stay apart.
      font_.family = std::string(w);
    }
  }

  void CommitFont() {
    if (fontSeen_ && fonts_.size() < static_cast<size_t>(kMaxTableEntries)) fonts_.emplace(font_.number, font_);
    font_ = Font{};
    fontSeen_ = false;
  }

  void ColourWord(std::string_view w, long long v) {
    int* part = w == "red" ? &colour_.red : w == "green" ? &colour_.green : w == "blue" ? &colour_.blue : nullptr;
    if (!part) return;
    *part = Clamp(v, 0, 255);
    colour_.automatic = false;
  }

  void TextWord(State& s, std::string_view w, bool hasValue, long long v) {
    if (w == "u") {
      Unicode(static_cast<int>(std::clamp<long long>(v, -32768, 65535)));
      skip_ = s.uc;  // its stand-in for readers without Unicode follows
      return;
    }
    skip_ = 0;
    if (const int code = NamedCharacter(w); code >= 0) return Unicode(code);
    if (w == "par" || w == "sect" || w == "page" || w == "row") return Paragraph();
    if (w == "line") return Unit("\\line ");
    if (w == "tab" || w == "cell") return Unit("\\tab ");
    if (w == "ansicpg" && stack_.size() == 1) codePage_ = Clamp(v, 0, 65535);
    if (w == "deff" && stack_.size() == 1) defaultFont_ = Clamp(v, 0, 32767);
    if (w == "uc") s.uc = Clamp(v, 0, 8);
    CharacterWord(s.chr, w, hasValue, v);
    ParagraphWord(s.para, w, hasValue, v);
  }

  static void CharacterWord(CharFormat& c, std::string_view w, bool hasValue, long long v) {
    const bool on = !hasValue || v != 0;
    if (w == "plain") c = CharFormat{};
    if (w == "f") c.font = Clamp(v, 0, 32767);
    if (w == "fs") c.size = hasValue ? Clamp(v, 2, kMaxHalfPoints) : 24;
    if (w == "b") c.bold = on;
    if (w == "i") c.italic = on;
    if (w == "strike") c.strike = on;
    if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw") c.underline = on;
    if (w == "ulnone") c.underline = false;
    if (w == "cf") c.colour = Clamp(v, 0, kMaxTableEntries);
    if (w == "cb" || w == "highlight") c.highlight = Clamp(v, 0, kMaxTableEntries);
    if (w == "super") c.script = 1;
    if (w == "sub") c.script = -1;
    if (w == "nosupersub") c.script = 0;
  }

  static void ParagraphWord(ParaFormat& p, std::string_view w, bool hasValue, long long v) {
    if (w == "pard") p = ParaFormat{};
    if (w == "ql" || w == "qr" || w == "qc" || w == "qj") p.align = w[1];
    if (w == "li") p.left = Clamp(v, -kMaxTwips, kMaxTwips);
    if (w == "ri") p.right = Clamp(v, -kMaxTwips, kMaxTwips);
    if (w == "fi") p.first = Clamp(v, -kMaxTwips, kMaxTwips);
    if (w == "sb") p.before = Clamp(v, 0, kMaxTwips);
    if (w == "sa") p.after = Clamp(v, 0, kMaxTwips);
    if (w == "sl") p.line = Clamp(v, -kMaxTwips, kMaxTwips);
    if (w == "slmult") p.lineMultiple = !hasValue || v != 0;
  }

  // A byte of text, or of a font's name or a colour entry.
  void Byte(unsigned char b) {
    if (stack_.empty()) return;
    State& s = Top();
    s.fresh = false;
    if (s.dest == Dest::FontTable) return FontNameByte(b);
    if (s.dest == Dest::ColourTable) {
      if (b == ';' && colours_.size() < static_cast<size_t>(kMaxTableEntries)) colours_.push_back(colour_);
      if (b == ';') colour_ = Colour{};
      return;
    }
    if (s.dest != Dest::Text) return;
    if (skip_ > 0) {
      --skip_;  // the stand-in for the \u before it
      return;
    }
    if (b == '\t') return Unit("\\tab ");
    if (b < 0x20 || b == 0x7F) return;
    Formats();
    if (b == '\\' || b == '{' || b == '}') {
      body_ += '\\';
      body_ += static_cast<char>(b);
    } else if (b >= 0x80) {
      body_ += Format("\\'%02x", b);
    } else {
      body_ += static_cast<char>(b);
    }
    sawText_ = true;
    // The second byte of a two-byte character adds no character and is never cut from it.
    if (lead_) {
      lead_ = false;
    } else {
      Count();
      lead_ = b >= 0x81 && DoubleByte();
    }
    if (!lead_) BreakLongParagraph(b == ' ');
  }

  void FontNameByte(unsigned char b) {
    if (b == ';') return CommitFont();
    if (b >= 0x20 && font_.name.size() < kMaxFontNameBytes) font_.name += static_cast<char>(b);
  }

  void Unicode(int code) {
    if (Top().dest != Dest::Text) return;
    skip_ = 0;
    if (code < 0) code += 65536;
    Formats();
    body_ += "\\u" + std::to_string(static_cast<int16_t>(code)) + "?";
    sawText_ = true;
    lead_ = false;
    Count();
    BreakLongParagraph(code == 0x20 || code == 0x3000);
  }

  // A break, tab or the like that counts as one character of its paragraph.
  void Unit(const char* rtf) {
    if (Top().dest != Dest::Text) return;
    Formats();
    body_ += rtf;
    sawText_ = true;
    lead_ = false;
    Count();
    BreakLongParagraph(false);
  }

  void Paragraph() {
    if (Top().dest != Dest::Text) return;
    Formats();
    body_ += "\\par\r\n";
    sawText_ = true;
    lead_ = false;
    Count();
    paragraphChars_ = 0;
  }

  // One more character of the text, within the bound of the whole.
  void Count() {
    ++paragraphChars_;
    if (++chars_ > bounds_.maxChars) Refuse(Refusal::TooMuchText);
  }

  // A paragraph past its bound ends at a blank once it is near the bound, else at it.
  void BreakLongParagraph(bool blank) {
    const size_t bound = bounds_.maxParagraphChars;
    if (paragraphChars_ >= bound || (blank && paragraphChars_ >= bound - bound / 8)) {
      body_ += "\\par\r\n";
      paragraphChars_ = 0;
    }
  }

  // The formats in force written before the text they apply to, when they changed.
  void Formats() {
    const State& s = Top();
    if (!wroteChar_ || s.chr != writtenChar_) {
      const CharFormat& c = s.chr;
      body_ += "\\plain";
      if (const int font = c.font >= 0 ? c.font : defaultFont_; font >= 0 && FindFont(font))
        body_ += "\\f" + std::to_string(font);
      body_ += "\\fs" + std::to_string(c.size);
      if (c.bold) body_ += "\\b";
      if (c.italic) body_ += "\\i";
      if (c.underline) body_ += "\\ul";
      if (c.strike) body_ += "\\strike";
      if (c.colour > 0 && static_cast<size_t>(c.colour) < colours_.size()) body_ += "\\cf" + std::to_string(c.colour);
      if (c.highlight > 0 && static_cast<size_t>(c.highlight) < colours_.size())
        body_ += "\\highlight" + std::to_string(c.highlight);
      if (c.script) body_ += c.script > 0 ? "\\super" : "\\sub";
      body_ += ' ';
      writtenChar_ = c;
      wroteChar_ = true;
    }
    if (!wrotePara_ || s.para != writtenPara_) {
      const ParaFormat& p = s.para;
      body_ += "\\pard";
      body_ += std::string("\\q") + p.align;
      if (p.left) body_ += "\\li" + std::to_string(p.left);
      if (p.right) body_ += "\\ri" + std::to_string(p.right);
      if (p.first) body_ += "\\fi" + std::to_string(p.first);
      if (p.before) body_ += "\\sb" + std::to_string(p.before);
      if (p.after) body_ += "\\sa" + std::to_string(p.after);
      if (p.line) body_ += "\\sl" + std::to_string(p.line) + "\\slmult" + (p.lineMultiple ? "1" : "0");
      body_ += ' ';
      writtenPara_ = p;
      wrotePara_ = true;
    }
  }

  const Font* FindFont(int number) const {
    const auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
  }

  // Whether the text's bytes are of a code page of two-byte characters.
  bool DoubleByte() const {
    const int number = Top().chr.font >= 0 ? Top().chr.font : defaultFont_;
    const Font* f = number >= 0 ? FindFont(number) : nullptr;
    if (f && f->charset != 0 && f->charset != 1) return DoubleByteCharset(f->charset);
    return DoubleByteCodePage(codePage_);
  }

  std::string Header() const {
    std::string h = "{\\rtf1\\ansi";
    if (codePage_ > 0) h += "\\ansicpg" + std::to_string(codePage_);
    if (defaultFont_ >= 0) h += "\\deff" + std::to_string(defaultFont_);
    h += "\\uc1{\\fonttbl";
    for (const auto& [number, f] : fonts_) {
      h += "{\\f" + std::to_string(number) + "\\" + f.family + "\\fcharset" + std::to_string(f.charset);
      if (f.pitch >= 0) h += "\\fprq" + std::to_string(f.pitch);
      h += ' ';
      for (unsigned char c : f.name)
        h += c >= 0x80 || c == '\\' || c == '{' || c == '}' ? Format("\\'%02x", c)
                                                            : std::string(1, static_cast<char>(c));
      h += ";}";
    }
    h += "}{\\colortbl";
    for (const Colour& c : colours_) {
      if (!c.automatic)
        h += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) + "\\blue" + std::to_string(c.blue);
      h += ';';
    }
    return h + "}\r\n";
  }

  std::string_view in_;
  const RichTextBounds& bounds_;
  size_t at_ = 0;
  size_t token_ = 0;
  bool done_ = false;
  Refusal refusal_ = Refusal::None;
  std::vector<State> stack_;
  std::map<int, Font> fonts_;  // by number: text looks its font up at every character
  Font font_;                  // the font being read
  bool fontSeen_ = false;
  size_t fontTableDepth_ = 0;
  std::vector<Colour> colours_;
  Colour colour_;
  int codePage_ = 0;
  int defaultFont_ = -1;
  int skip_ = 0;  // stand-in characters of a \u still to drop
  std::string body_;
  bool sawText_ = false;
  bool wroteChar_ = false, wrotePara_ = false;
  CharFormat writtenChar_;
  ParaFormat writtenPara_;
  size_t paragraphChars_ = 0;
  size_t chars_ = 0;
  bool lead_ = false;  // the last text byte began a two-byte character
};

// Plain text with its long lines broken, never inside a two-byte character.
Refusal FilterPlainText(std::string_view in, const RichTextBounds& bounds, std::string& out) {
  const size_t bound = bounds.maxParagraphChars;
  out.reserve(in.size() + in.size() / bound * 2);
  size_t line = 0;
  for (size_t i = 0, chars = 0; i < in.size(); ++chars) {
    if (chars >= bounds.maxChars) return Refusal::TooMuchText;
    const size_t n = gbk::CharLength(in, i);
    out.append(in.substr(i, n));
    const char c = in[i];
    i += n;
    if (c == '\r' || c == '\n') {
      line = 0;
    } else if (++line >= bound || (c == ' ' && line >= bound - bound / 8)) {
      out += "\r\n";
      line = 0;
    }
  }
  return Refusal::None;
}

std::string RefusalText(Refusal r, size_t offset, const RichTextBounds& bounds) {
  switch (r) {
    case Refusal::Empty:
      return gbk::U("是空文件，没有可以显示的内容。");
    case Refusal::NoText:
      return gbk::U("中没有可以显示的文字，不能载入。");
    case Refusal::TooMuchText:
      return Format(gbk::U("的文字超过%zu个字符，显示框不能及时显示，不能载入。").c_str(), bounds.maxChars);
    case Refusal::Nesting:
      return Format(gbk::U("的格式嵌套超过%d层，可能已损坏，不能载入。").c_str(), bounds.maxDepth);
    case Refusal::LongWord:
      return Format(gbk::U("在第%zu字节处有过长的格式控制字，可能已损坏，不能载入。").c_str(), offset);
    case Refusal::BadNumber:
      return Format(gbk::U("在第%zu字节处有超出范围的格式数值，可能已损坏，不能载入。").c_str(), offset);
    case Refusal::BadBinary:
      return Format(gbk::U("在第%zu字节处有不完整的二进制数据，可能已损坏，不能载入。").c_str(), offset);
    case Refusal::None:
      break;
  }
  return {};
}

std::string Named(const std::string& path) { return gbk::U("文件“") + path + gbk::U("”"); }

}  // namespace

bool FilterRichText(std::string_view data, bool plainText, ViewText& out, std::string& why,
                    const RichTextBounds& bounds) {
  Refusal r = data.empty() ? Refusal::Empty : Refusal::None;
  size_t offset = 0;
  out.rtf = !plainText && LooksLikeRtf(data);
  if (r == Refusal::None && out.rtf) {
    RtfFilter filter(data, bounds);
    r = filter.Run(out.data);
    offset = filter.Offset();
  } else if (r == Refusal::None) {
    r = FilterPlainText(data, bounds, out.data);
  }
  why = RefusalText(r, offset, bounds);
  return r == Refusal::None;
}

bool ReadRichTextFile(const std::string& path, bool plainText, ViewText& out, std::string& why,
                      const RichTextBounds& bounds) {
  // A huge file is refused before it is read.
  const int64_t size = file::Size(path);
  if (size > bounds.maxFileBytes) {
    why = Named(path) + Format(gbk::U("太大（%lld字节，超过%dMB），不能载入。").c_str(), static_cast<long long>(size),
                               static_cast<int>(bounds.maxFileBytes / (1024 * 1024)));
    return false;
  }
  std::string data;
  if (size < 0 || !file::ReadAll(path, data)) {
    why = gbk::U("无法读取文件“") + path + gbk::U("”：") + file::LastReason();
    return false;
  }
  if (FilterRichText(data, plainText, out, why, bounds)) return true;
  why = Named(path) + why;
  return false;
}
