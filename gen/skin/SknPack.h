// Skin packages from folders, for the build's packer and lister.
//
// A skin folder holds one INI description and the BMP images it names. The package is
// written as version 20000 (name list at offset 16), the INI first, then the images by
// name, and read back with the program's own reader before it is kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skn {

struct Entry {
  std::string name;
  std::string bytes;
};

// The decompressed package of these entries.
std::string Content(const std::vector<Entry>& entries);
// The folder's INI and BMP files, checked; false with a reason otherwise.
bool ReadFolder(std::string_view folder, std::vector<Entry>& entries, std::string& error);
bool WritePackage(std::string_view path, const std::vector<Entry>& entries, std::string& error);
// A name that is safe to create in a folder: printable, no folder part, not "." or "..".
bool SafeFileName(std::string_view name);

}  // namespace skn
