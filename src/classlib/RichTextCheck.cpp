#include "classlib/RichTextCheck.h"

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

bool Letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// A walk over RTF that sees only what the bounds are about: groups and control words.
// Escaped braces (\{ \}) are text, and the bytes after \binN are data, not syntax.
class Walker {
 public:
  Walker(std::string_view data, const RichTextLimits& limits) : data_(data), limits_(limits) {}

  RichTextVerdict Run() {
    while (at_ < data_.size()) {
      const char c = data_[at_++];
      if (c == '{') {
        if (++depth_ > limits_.maxDepth) return RichTextVerdict::TooDeep;
      } else if (c == '}') {
        if (depth_ > 0) --depth_;
      } else if (c == '\\') {
        if (RichTextVerdict v = ControlWord(); v != RichTextVerdict::Fits) return v;
      }
    }
    return RichTextVerdict::Fits;
  }

 private:
  // After a backslash: a control symbol is one byte; a control word is letters, then an
  // optional signed number, then an optional blank.
  RichTextVerdict ControlWord() {
    if (at_ >= data_.size()) return RichTextVerdict::Fits;
    if (!Letter(data_[at_])) {
      ++at_;  // a control symbol: \{ \} \\ \' and their kin
      return RichTextVerdict::Fits;
    }
    const size_t word = at_;
    while (at_ < data_.size() && Letter(data_[at_])) ++at_;
    const size_t letters = at_ - word;
    if (letters > limits_.maxWordLetters) return RichTextVerdict::WordTooLong;
    if (at_ < data_.size() && data_[at_] == '-') ++at_;
    const size_t number = at_;
    while (at_ < data_.size() && Digit(data_[at_])) ++at_;
    const std::string_view digits = data_.substr(number, at_ - number);
    if (digits.size() > limits_.maxParameterDigits) return RichTextVerdict::BadNumber;
    if (at_ < data_.size() && data_[at_] == ' ') ++at_;
    const std::string_view name = data_.substr(word, letters);
    if (name == "fs" && StrToIntDef(std::string(digits), 0) > limits_.maxFontSize) return RichTextVerdict::BadNumber;
    if (name == "bin") SkipBinary(digits);
    return RichTextVerdict::Fits;
  }

  void SkipBinary(std::string_view digits) {
    const uint64_t n = static_cast<uint64_t>(StrToIntDef(std::string(digits), 0));
    at_ = n >= data_.size() - at_ ? data_.size() : at_ + static_cast<size_t>(n);
  }

  std::string_view data_;
  const RichTextLimits& limits_;
  size_t at_ = 0;
  int depth_ = 0;
};

}  // namespace

RichTextVerdict CheckRichTextSize(int64_t bytes, const RichTextLimits& limits) {
  return bytes > limits.maxBytes ? RichTextVerdict::TooLarge : RichTextVerdict::Fits;
}

RichTextVerdict CheckRichText(std::string_view data, bool rtf, const RichTextLimits& limits) {
  const RichTextVerdict size = CheckRichTextSize(static_cast<int64_t>(data.size()), limits);
  if (size != RichTextVerdict::Fits || !rtf) return size;
  return Walker(data, limits).Run();
}

std::string RichTextFileRefusal(std::string_view path, bool plainText, const RichTextLimits& limits) {
  // A huge file is refused before it is read.
  RichTextVerdict v = CheckRichTextSize(file::Size(path), limits);
  std::string data;
  if (v == RichTextVerdict::Fits && file::ReadAll(path, data))
    v = CheckRichText(data, !plainText && LooksLikeRtf(data), limits);
  return RichTextRefusal(v, limits);
}

std::string RichTextRefusal(RichTextVerdict v, const RichTextLimits& limits) {
  switch (v) {
    case RichTextVerdict::TooLarge:
      return Format(gbk::U("文件太大（超过%dMB），不能载入。").c_str(),
                    static_cast<int>(limits.maxBytes / (1024 * 1024)));
    case RichTextVerdict::TooDeep:
      return Format(gbk::U("文件的格式嵌套超过%d层，可能已损坏，不能载入。").c_str(), limits.maxDepth);
    case RichTextVerdict::WordTooLong:
      return gbk::U("文件含有过长的格式控制字，可能已损坏，不能载入。");
    case RichTextVerdict::BadNumber:
      return gbk::U("文件含有超出范围的格式数值，可能已损坏，不能载入。");
    case RichTextVerdict::Fits:
      break;
  }
  return {};
}
