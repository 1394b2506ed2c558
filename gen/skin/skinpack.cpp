// skinpack FOLDER OUT.skn: packs a skin folder (one INI and its BMP images).
#include <cstdio>

#include "SknPack.h"
#include "classlib/Gbk.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinpack FOLDER OUT.skn\n");
    return 2;
  }
  std::vector<skn::Entry> entries;
  std::string error;
  if (!skn::ReadFolder(gbk::FromUtf8(argv[1]), entries, error) ||
      !skn::WritePackage(gbk::FromUtf8(argv[2]), entries, error)) {
    std::fprintf(stderr, "skinpack: %s\n", gbk::ToUtf8(error).c_str());
    return 1;
  }
  return 0;
}
