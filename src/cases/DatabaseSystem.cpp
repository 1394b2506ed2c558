// What the case store asks of the system directly: the lock that keeps two windows
// from working on one history at once, and cutting a data file back to its old length.
// The lock is the system's own on an open file, so it goes with a process that dies.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "cases/Database.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

using file::SystemReason;

MDataBase::Held::Held(MDataBase& db) : db_(db) { held = db.Lock(busy); }

MDataBase::Held::~Held() {
  if (held) db_.Unlock();
}

// Opens the lock file, making it when missing, and waits for the lock a bounded time.
// Nested calls count: the lock goes when the outermost holder lets go.
bool MDataBase::Lock(bool& busy) {
  busy = false;
  if (lockDepth_ > 0) {
    ++lockDepth_;
    return true;
  }
  if (filePrefix_.empty()) return FailUtf8("历史记录还没有打开。");
  std::string path = filePrefix_ + ".lck";
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWaitMs_);
#ifdef _WIN32
  HANDLE h = CreateFileW(gbk::ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return CannotMakeLock(path);
  for (;;) {
    OVERLAPPED at{};
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
    if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
      std::string reason = SystemReason();
      CloseHandle(h);
      return FailUtf8("无法锁定历史记录（%s）：%s", path.c_str(), reason.c_str());
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      CloseHandle(h);
      busy = true;
      return Busy();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  lock_ = reinterpret_cast<intptr_t>(h);
#else
  int fd = open(file::NativePath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return CannotMakeLock(path);
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      std::string reason = SystemReason();
      close(fd);
      return FailUtf8("无法锁定历史记录（%s）：%s", path.c_str(), reason.c_str());
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      close(fd);
      busy = true;
      return Busy();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  lock_ = fd;
#endif
  lockDepth_ = 1;
  return true;
}

// Nothing is locked then: the folder (or the lock file) cannot be written, and the
// history can only be read.
bool MDataBase::CannotMakeLock(const std::string& path) {
  std::string reason = SystemReason();
  writeFailed_ = true;
  if (file::Exists(path)) return FailUtf8("无法写入文件%s：%s", path.c_str(), reason.c_str());
  return FailUtf8("文件夹%s不能写入：%s", ExtractFilePath(path).c_str(), reason.c_str());
}

void MDataBase::Unlock() {
  if (--lockDepth_ > 0) return;
#ifdef _WIN32
  HANDLE h = reinterpret_cast<HANDLE>(lock_);
  OVERLAPPED at{};
  UnlockFileEx(h, 0, 1, 0, &at);
  CloseHandle(h);
#else
  close(static_cast<int>(lock_));  // closing the last descriptor lets the lock go
#endif
  lock_ = -1;
}

bool MDataBase::Busy() { return FailUtf8("另一个窗口正在使用历史记录，请稍后再试。历史记录没有改变。"); }

// f is open for writing on path; its buffered bytes are flushed first.
bool MDataBase::CutFile(std::FILE* f, int64_t size, const std::string& path) {
  bool ok = std::fflush(f) == 0;
  if (ok && freeSpace_ >= 0) freeSpace_ += std::max<int64_t>(0, file::Size(path) - size);
#ifdef _WIN32
  ok = ok && _chsize_s(_fileno(f), size) == 0;
#else
  ok = ok && ftruncate(fileno(f), static_cast<off_t>(size)) == 0;
#endif
  return ok || FailUtf8("无法把文件%s恢复原来的长度：%s", path.c_str(), file::ErrnoReason().c_str());
}
