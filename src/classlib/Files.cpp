#include "classlib/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace file {

namespace {

// Each thread's last failure, in storage with nothing to destroy: worker threads fail
// too, and under MinGW the clean-up of a thread's own objects at its end can crash.
// Long texts are cut at a character boundary.
template <size_t N>
struct KeptText {
  char text[N];
  KeptText& operator=(std::string_view s) {
    const std::string cut = gbk::CutAtCharBoundary(s, N - 1);
    std::memcpy(text, cut.data(), cut.size());
    text[cut.size()] = '\0';
    return *this;
  }
  operator std::string() const { return text; }
};
thread_local KeptText<2048> lastError;
thread_local KeptText<512> lastReason;

// The reasons a user meets, in the program's own words: the system's text is English
// in the native build and under Wine.
constexpr std::pair<int, const char*> kErrnoTexts[] = {
    {ENOENT, "找不到这个文件或文件夹"},
    {ENOTDIR, "找不到这个文件或文件夹"},
    {EACCES, "没有权限，或文件只读"},
    {EPERM, "没有权限，或文件只读"},
    {EROFS, "磁盘只读"},
    {ENOSPC, "磁盘已满"},
    {EEXIST, "已经有同名的文件或文件夹"},
    {ENOTEMPTY, "文件夹不是空的"},
    {EBUSY, "文件正被另一个程序使用"},
    {EISDIR, "这是一个文件夹"},
    {ENAMETOOLONG, "名字太长"},
    {EMFILE, "打开的文件太多"},
    {ENFILE, "打开的文件太多"},
    {EXDEV, "不能移到另一个磁盘"},
    {EIO, "磁盘读写出错"},
};

std::string ErrnoText(int code) {
  for (const auto& [known, text] : kErrnoTexts) {
    if (known == code) return gbk::U(text);
  }
  return Format(gbk::U("系统错误（代码%d）").c_str(), code);
}

#ifdef _WIN32
// The system's codes by the errno of the same cause.
constexpr std::pair<DWORD, int> kWindowsCodes[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},   {ERROR_PATH_NOT_FOUND, ENOENT},   {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_WRITE_PROTECT, EROFS},     {ERROR_SHARING_VIOLATION, EBUSY}, {ERROR_LOCK_VIOLATION, EBUSY},
    {ERROR_HANDLE_DISK_FULL, ENOSPC}, {ERROR_DISK_FULL, ENOSPC},        {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},   {ERROR_DIR_NOT_EMPTY, ENOTEMPTY}, {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_NOT_SAME_DEVICE, EXDEV},
};

std::string WindowsText(DWORD code) {
  for (const auto& [known, errnoCode] : kWindowsCodes) {
    if (known == code) return ErrnoText(errnoCode);
  }
  return Format(gbk::U("系统错误（代码%lu）").c_str(), code);
}
#endif

// Keeps what failed, in the user's words, with the system's reason: "无法读取“path”：…".
// `what` names the action (UTF-8); a second path follows `between` ("改名为", "复制到").
bool Fail(const char* what, std::string_view path, const char* between = nullptr, std::string_view second = {}) {
#ifdef _WIN32
  std::string reason = WindowsText(GetLastError());
#else
  std::string reason = ErrnoText(errno);
#endif
  std::string text = gbk::U(what) + gbk::U("“") + std::string(path) + gbk::U("”");
  if (between) text += gbk::U(between) + gbk::U("“") + std::string(second) + gbk::U("”");
  lastError = text + gbk::U("：") + reason;
  lastReason = reason;
  return false;
}

#ifdef _WIN32
std::wstring W(std::string_view path) { return gbk::ToWide(path); }
#endif

}  // namespace

std::string LastErrorText() { return lastError; }

std::string LastReason() { return lastReason; }

std::string ErrnoReason() { return ErrnoText(errno); }

#ifdef _WIN32
std::string SystemReason() { return WindowsText(GetLastError()); }
#else
std::string SystemReason() { return ErrnoText(errno); }
#endif

std::string NativePath(std::string_view path) {
#ifdef _WIN32
  return std::string(path);
#else
  std::string p;
  p.reserve(path.size());
  for (size_t i = 0; i < path.size(); i += gbk::CharLength(path, i)) {
    size_t n = gbk::CharLength(path, i);
    if (n == 1 && path[i] == '\\') {
      p += '/';
    } else {
      p.append(path.substr(i, n));
    }
  }
  return gbk::ToUtf8(p);
#endif
}

std::string ProgramFolder() {
#ifdef _WIN32
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    buf.resize(buf.size() * 2);
  }
  return IncludeTrailingBackslash(ExtractFilePath(gbk::FromWide(buf)));
#else
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string exe = gbk::FromUtf8(std::string_view(buf, static_cast<size_t>(n)));
  return ExtractFilePath(exe);
#endif
}

std::FILE* Open(std::string_view path, const char* mode) {
#ifdef _WIN32
  std::wstring m(mode, mode + std::strlen(mode));
  std::FILE* f = _wfopen(W(path).c_str(), m.c_str());
#else
  std::FILE* f = std::fopen(NativePath(path).c_str(), mode);
#endif
  if (!f) Fail("无法打开", path);
  return f;
}

bool Exists(std::string_view path) {
#ifdef _WIN32
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool DirExists(std::string_view path) {
#ifdef _WIN32
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

bool CreateDir(std::string_view path) {
  if (DirExists(path)) return true;
#ifdef _WIN32
  if (CreateDirectoryW(W(path).c_str(), nullptr)) return true;
#else
  if (mkdir(NativePath(path).c_str(), 0777) == 0) return true;
#endif
  // The reason is the creation's, taken before the check below can change it. Another
  // process or thread may have made the folder between the check and the create.
  Fail("无法建立文件夹", path);
  return DirExists(path);
}

bool ForceDirectories(std::string_view path) {
  std::string p = path.empty() ? std::string() : std::string(path);
  while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty() || DirExists(p)) return true;
  std::string parent = ExtractFilePath(p);
  if (!parent.empty() && parent != p && !ForceDirectories(parent)) return false;
  return CreateDir(p);
}

bool Delete(std::string_view path) {
#ifdef _WIN32
  if (DeleteFileW(W(path).c_str())) return true;
#else
  if (unlink(NativePath(path).c_str()) == 0) return true;
#endif
  return Fail("无法删除", path);
}

bool RemoveDir(std::string_view path) {
#ifdef _WIN32
  if (RemoveDirectoryW(W(path).c_str())) return true;
#else
  if (rmdir(NativePath(path).c_str()) == 0) return true;
#endif
  return Fail("无法删除文件夹", path);
}

bool Rename(std::string_view from, std::string_view to) {
#ifdef _WIN32
  if (MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
#else
  if (rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0) return true;
#endif
  return Fail("无法把", from, "改名为", to);
}

// A folder moves by one call, so whatever it holds changes place all at once.
bool RenameDir(std::string_view from, std::string_view to) {
#ifdef _WIN32
  if (MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
#else
  if (rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0) return true;
#endif
  return Fail("无法把", from, "改名为", to);
}

int64_t Size(std::string_view path) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) return -1;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
#else
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
#endif
}

int64_t Stamp(std::string_view path) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) return -1;
  return (static_cast<int64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) | d.ftLastWriteTime.dwLowDateTime;
#else
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
}

bool Peek(std::string_view path, size_t n, int64_t& size, int64_t& stamp, std::string& head) {
  head.assign(n, '\0');
#ifdef _WIN32
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  DWORD got = 0;
  bool ok = GetFileInformationByHandle(h, &info) && ReadFile(h, head.data(), static_cast<DWORD>(n), &got, nullptr);
  CloseHandle(h);
  if (!ok) return false;
  size = (static_cast<int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp = (static_cast<int64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
#else
  int fd = open(NativePath(path).c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat st;
  ssize_t got = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? read(fd, head.data(), n) : -1;
  close(fd);
  if (got < 0) return false;
  size = st.st_size;
  stamp = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
  head.resize(static_cast<size_t>(got));
  return true;
}

bool ReadAll(std::string_view path, std::string& out) {
  out.clear();
  std::FILE* f = Open(path, "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok || Fail("无法读取", path);
}

bool FlushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

bool WriteAtomic(std::string_view path, std::string_view data) {
  std::string tmp = std::string(path) + ".tmp";
  std::FILE* f = Open(tmp, "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size() && FlushToDisk(f);
  if (!ok) Fail("无法写入", tmp);
  if (std::fclose(f) != 0 && ok) ok = Fail("无法写入", tmp);
  if (!ok) {
    const std::string keep = lastError;
    Delete(tmp);
    lastError = keep;
    return false;
  }
  return Rename(tmp, path);
}

bool Copy(std::string_view from, std::string_view to, bool failIfExists) {
#ifdef _WIN32
  if (CopyFileW(W(from).c_str(), W(to).c_str(), failIfExists)) return true;
  return Fail("无法把", from, "复制到", to);
#else
  if (failIfExists && Exists(to)) {
    errno = EEXIST;
    return Fail("无法把", from, "复制到", to);
  }
  std::string data;
  if (!ReadAll(from, data)) return false;
  std::FILE* f = Open(to, "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size() && FlushToDisk(f);
  if (std::fclose(f) != 0) ok = false;
  return ok || Fail("无法写入", to);
#endif
}

std::vector<std::string> List(std::string_view folder, std::string_view suffix) {
  std::vector<std::string> names;
  std::string dir = IncludeTrailingBackslash(folder);
  auto keep = [&](const std::string& name) {
    return name.size() >= suffix.size() && SameText(std::string_view(name).substr(name.size() - suffix.size()), suffix);
  };
#ifdef _WIN32
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = gbk::FromWide(fd.cFileName);
    if (keep(name)) names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
#else
  DIR* d = opendir(NativePath(dir).c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    std::string name = gbk::FromUtf8(e->d_name);
    if (name != "." && name != ".." && Exists(dir + name) && keep(name)) names.push_back(name);
  }
  closedir(d);
#endif
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ListFolders(std::string_view folder) {
  std::vector<std::string> names;
  std::string dir = IncludeTrailingBackslash(folder);
#ifdef _WIN32
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = gbk::FromWide(fd.cFileName);
    bool folderItself =
        (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (folderItself && name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
#else
  DIR* d = opendir(NativePath(dir).c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    struct stat st;
    if (name != "." && name != ".." && lstat(NativePath(dir).append(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      names.push_back(gbk::FromUtf8(name));
    }
  }
  closedir(d);
#endif
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

std::string WithoutTrailingSeparators(std::string_view path) {
  std::string p(path);
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  return p;
}

}  // namespace

std::vector<std::string> ListLinks(std::string_view folder) {
  std::vector<std::string> names;
  std::string dir = IncludeTrailingBackslash(folder);
#ifdef _WIN32
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) names.push_back(gbk::FromWide(fd.cFileName));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
#else
  DIR* d = opendir(NativePath(dir).c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    struct stat st;
    if (lstat(NativePath(dir).append(e->d_name).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      names.push_back(gbk::FromUtf8(e->d_name));
    }
  }
  closedir(d);
#endif
  std::sort(names.begin(), names.end());
  return names;
}

bool IsLink(std::string_view path) {
  std::string p = WithoutTrailingSeparators(path);
#ifdef _WIN32
  DWORD a = GetFileAttributesW(W(p).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  struct stat st;
  return lstat(NativePath(p).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
#endif
}

bool RemoveLink(std::string_view path) {
  std::string p = WithoutTrailingSeparators(path);
#ifdef _WIN32
  // A link to a folder is removed as a folder, which takes the link and not its target.
  DWORD a = GetFileAttributesW(W(p).c_str());
  bool removed = a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(W(p).c_str())
                                                                                : DeleteFileW(W(p).c_str());
  if (removed) return true;
#else
  if (unlink(NativePath(p).c_str()) == 0) return true;
#endif
  return Fail("无法删除链接", p);
}

bool SameEntry(std::string_view a, std::string_view b) {
#ifdef _WIN32
  auto identity = [](std::string_view path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = CreateFileW(W(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION x, y;
  return identity(a, x) && identity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
#else
  struct stat x, y;
  return stat(NativePath(a).c_str(), &x) == 0 && stat(NativePath(b).c_str(), &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
#endif
}

}  // namespace file
