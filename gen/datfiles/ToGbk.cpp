// Copies a UTF-8 text file as GBK, with "\r\n" line ends, for the program's data folder.
#include <cstdio>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ToGbk <utf-8 file> <gbk file>\n");
    return 2;
  }
  std::string text;
  if (!file::ReadAll(argv[1], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  if (!file::WriteAtomic(argv[2], gbk::FromUtf8(out))) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
