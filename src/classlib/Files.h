// Files and folders by GBK path.
//
// The program writes paths with '\' (AppDir + "dat\set.ini"). On Windows they go to
// the W functions through code page 936; in the native build '\' becomes '/' and the
// name is handed to the system in UTF-8, so the portable core reads the same paths.
// Every operation returns false (or an empty result) on failure and leaves the
// system's reason in LastErrorText(), captured at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace file {

// The program's folder: the executable's folder with a trailing separator.
std::string ProgramFolder();

// The system's name for a program path (native: '/' separators, UTF-8).
std::string NativePath(std::string_view path);

std::FILE* Open(std::string_view path, const char* mode);
bool Exists(std::string_view path);
bool DirExists(std::string_view path);
bool CreateDir(std::string_view path);         // one level; true if it already exists
bool ForceDirectories(std::string_view path);  // every missing level
bool Delete(std::string_view path);
bool RemoveDir(std::string_view path);                       // must be empty
bool Rename(std::string_view from, std::string_view to);     // replaces `to`
bool RenameDir(std::string_view from, std::string_view to);  // `to` must not exist
bool Copy(std::string_view from, std::string_view to, bool failIfExists);
int64_t Size(std::string_view path);  // -1 when absent
// A value that changes whenever the file is written (its modification time); -1 when absent.
int64_t Stamp(std::string_view path);

// Size, modification time (as Stamp) and up to `n` leading bytes of a file, from one
// opening; false when it cannot be opened.
bool Peek(std::string_view path, size_t n, int64_t& size, int64_t& stamp, std::string& head);

bool ReadAll(std::string_view path, std::string& out);
// Pushes a file's buffered data through to the disk.
bool FlushToDisk(std::FILE* f);
// Writes through a temporary file in the same folder, flushed, then renamed over the
// target, so a crash leaves either the old or the new file, never a half-written one.
bool WriteAtomic(std::string_view path, std::string_view data);

// Names (not paths) of the files in `folder` whose name ends with `suffix`
// (case-insensitive; "" for all), sorted by name.
std::vector<std::string> List(std::string_view folder, std::string_view suffix);
// Names of the folders in `folder` (not links to folders), sorted by name.
std::vector<std::string> ListFolders(std::string_view folder);
// Names of the symbolic links and junctions in `folder`, to files and folders alike.
std::vector<std::string> ListLinks(std::string_view folder);
// Whether path is itself a symbolic link or a junction (trailing separators aside).
bool IsLink(std::string_view path);
// Removes the link at path itself, never what it leads to.
bool RemoveLink(std::string_view path);
// Whether two paths name one file or folder, however each is spelt (links, "..", case).
bool SameEntry(std::string_view a, std::string_view b);

std::string LastErrorText();
// Only the system's reason of the last failure, without the operation and the path.
std::string LastReason();
// The reason, in Chinese, of the last failed system call (GetLastError on Windows,
// errno elsewhere), and of the last failed C library call (errno).
std::string SystemReason();
std::string ErrnoReason();

}  // namespace file
