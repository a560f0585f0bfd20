#include "transfer/source_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rb {

ReadStatus readSourceFile(const std::string& name, SourceFile& file) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ReadStatus::Unreadable;
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return ReadStatus::Unreadable;
  }
  // Shared: other readers are welcome, a run writing the file is not.
  if (flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    return ReadStatus::InUse;
  }
  std::string text;
  char buffer[64 * 1024];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return ReadStatus::Unreadable;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  file.text = std::move(text);
  file.id = FileId{info.st_dev, info.st_ino};
  return ReadStatus::Read;
}

}  // namespace rb
