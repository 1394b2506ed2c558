// MSurnameOrigins: the surname-origin text ("BJX") and the classical surname list.
// The text holds, for each surname, a line "[姓]", free lines, and a line "[end]"; all GBK.
#pragma once

#include <string>
#include <vector>

#include "classlib/TStringList.h"

class MSurnameOrigins {
 public:
  // The surnames of the classical list, in order.
  static std::vector<std::string> Surnames();

  void SetText(const std::string& gbkText) { lines.SetText(gbkText); }
  // The entry of `surname`, key line included, each line closed by "\r\n"; "" when
  // absent. Without an "[end]" the entry runs to the end of the text; the first of
  // two entries wins.
  std::string Entry(const std::string& surname) const;
  // The problems of the text as a whole: surnames of the list without an entry,
  // entries without "[end]", keys met twice, text outside an entry. Empty when sound.
  std::vector<std::string> Check() const;

 private:
  TStringList lines;
};
