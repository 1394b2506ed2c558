// MNumberPicker: the mobile-number picker apart from its window. Each of the 11
// positions allows a set of digits; the picker lists the numbers so formed whose last
// four digits make a good number of the 81, at most 30,000 of them.
//
// Only the last four digits decide, so their good endings are found first: a choice
// without any answers at once instead of walking up to 10^11 numbers.
#pragma once

#include <array>
#include <string>
#include <vector>

class MNumberPicker {
 public:
  static constexpr int kPositions = 11;
  static constexpr int kMaxLines = 30000;

  MNumberPicker();

  // Position p is 1..11; digits are kept in increasing order without repeats.
  void SetAny(int p);
  void SetDigit(int p, int d);
  // False (list unchanged) for an empty set.
  bool SetDigits(int p, const std::vector<int>& digits);
  const std::vector<int>& Digits(int p) const { return digitLists[p - 1]; }

  // Fills `lines` with "%d：%s（%02d）"; false when none is good, with the message in
  // `message` ("没有吉号！"); `message` also tells when the list was cut at 30,000.
  bool Generate(std::vector<std::string>& lines, std::string& message) const;

  // The reading shown for a listed line: "[%d数]" and the text of the number; "" when
  // the line names no number of 1..81.
  static std::string Explain(const std::string& line);

 private:
  std::array<std::vector<int>, kPositions> digitLists;
};
