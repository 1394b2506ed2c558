// skinlist PACKAGE.skn [-x FOLDER]: lists a skin package's entries (name, size, offset
// in the entry bytes), or extracts them into FOLDER.
#include <cstdio>
#include <cstring>

#include "SknPack.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "skin/SkinRead.h"

namespace {

int Fail(const std::string& why) {
  std::fprintf(stderr, "skinlist: %s\n", gbk::ToUtf8(why).c_str());
  return 1;
}

void List(const TSkinReader& reader) {
  std::printf("version %d, %d entries\n", reader.Version(), reader.Count());
  long long offset = 0;
  for (int i = 0; i < reader.Count(); ++i) {
    std::printf("%10d %10lld  %s\n", reader.Sizes()[i], offset, gbk::ToUtf8(reader.Names()[i]).c_str());
    offset += reader.Sizes()[i];
  }
}

int Extract(const TSkinReader& reader, const std::string& folder) {
  std::string dir = IncludeTrailingBackslash(folder);
  if (!file::ForceDirectories(dir)) return Fail(file::LastErrorText());
  for (int i = 0; i < reader.Count(); ++i) {
    const std::string& name = reader.Names()[i];
    if (!skn::SafeFileName(name)) return Fail("refusing to write entry " + name);
    std::string bytes;
    reader.readfile(name, bytes);
    if (!file::WriteAtomic(dir + name, bytes)) return Fail(file::LastErrorText());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool extract = argc == 4 && std::strcmp(argv[2], "-x") == 0;
  if (argc != 2 && !extract) {
    std::fprintf(stderr, "usage: skinlist PACKAGE.skn [-x FOLDER]\n");
    return 2;
  }
  TSkinReader reader;
  if (!reader.loadfromfile(gbk::FromUtf8(argv[1]))) return Fail(reader.LastError());
  if (extract) return Extract(reader, gbk::FromUtf8(argv[3]));
  List(reader);
  return 0;
}
