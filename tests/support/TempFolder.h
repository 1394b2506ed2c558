// A fresh folder for one test, removed with everything in it when the test ends.
// Path() builds program-style paths ('\' separators) inside it.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "classlib/Gbk.h"

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() / ("torvik-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(root_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder in GBK with a trailing separator, as the program's AppDir is.
  std::string Dir() const {
#ifdef _WIN32
    return gbk::FromWide(root_.wstring()) + "\\";
#else
    return gbk::FromUtf8(root_.string()) + "/";
#endif
  }
  std::string Path(const std::string& relative) const { return Dir() + relative; }

 private:
  std::filesystem::path root_;
};
