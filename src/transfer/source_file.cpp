#include "transfer/source_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace rb {

namespace {

// Far more than any area; a file that goes past it is too large to read.
constexpr std::size_t kMaxSourceBytes = std::size_t{1} << 31;

ReadStatus failed(SourceFile& file, int fd, int error) {
  if (fd >= 0) ::close(fd);
  file.error = error;
  return ReadStatus::Unreadable;
}

}  // namespace

ReadStatus readSourceFile(const std::string& name, SourceFile& file, bool refuseWhileWritten) {
  // Not waiting at the open for a FIFO's writer.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return failed(file, -1, errno);
  const int status = fcntl(fd, F_GETFL);
  if (status >= 0) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  struct stat info {};
  if (fstat(fd, &info) != 0) return failed(file, fd, errno);
  if (S_ISDIR(info.st_mode)) return failed(file, fd, EISDIR);
  // Shared: other readers are welcome, a run writing the file is not.
  if (refuseWhileWritten && flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    return ReadStatus::InUse;
  }
  std::string text;
  char buffer[64 * 1024];
  try {
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return failed(file, fd, errno);
      if (text.size() > kMaxSourceBytes) throw std::bad_alloc();
      text.append(buffer, static_cast<std::size_t>(got));
    }
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return ReadStatus::TooLarge;
  }
  ::close(fd);
  file.text = std::move(text);
  file.id = FileId{info.st_dev, info.st_ino};
  return ReadStatus::Read;
}

}  // namespace rb
