#include "dialogues/transfer/source_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rb {

SourceFile::~SourceFile() {
  if (fd_ >= 0) ::close(fd_);
}

SourceFile::Status SourceFile::open(const std::string& name) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return Status::Unreadable;
  struct stat info {};
  const bool readable = fstat(fd_, &info) == 0 && !S_ISDIR(info.st_mode) &&
                        lseek(fd_, 0, SEEK_SET) == 0 &&
                        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK) == 0;
  if (!readable) {
    ::close(fd_);
    fd_ = -1;
    return Status::Unreadable;
  }
  // Shared: other readers are welcome, a run writing the file is not.
  if (flock(fd_, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd_);
    fd_ = -1;
    return Status::InUse;
  }
  id_ = FileId{info.st_dev, info.st_ino};
  name_ = name;
  return Status::Open;
}

bool SourceFile::rewind() {
  return lseek(fd_, 0, SEEK_SET) == 0;
}

}  // namespace rb
