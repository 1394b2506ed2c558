// A program folder of one Windows test's own: a TempFolder with copies of shipped files
// of the program folder the test runs from (the dictionaries, the place table, the
// skins, Torvik.exe), so whatever the test writes there stays in it and goes with it.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "support/ShippedFolder.h"
#include "support/TempFolder.h"

class ProgramCopy : public TempFolder {
 public:
  // By default the dictionaries, which the main window opens at start. Settings files
  // (init.ini, set.ini, EndInfo.txt) are not there unless asked for, as before a first
  // start.
  explicit ProgramCopy(std::initializer_list<const char*> names = {"dat\\ChiWord.db", "dat\\ChiWordMini.db"}) {
    for (const char* name : names) Add(name);
  }
  // Copies one more file or folder (relative, '\' separated) from the shipped program folder.
  void Add(const std::string& relative) {
    const std::filesystem::path from = Native(ShippedFolder() + relative), to = Native(Path(relative));
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
  }

 private:
  static std::filesystem::path Native(const std::string& gbkPath) { return gbk::ToWide(gbkPath); }
};
