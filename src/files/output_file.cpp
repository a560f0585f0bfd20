#include "files/output_file.h"

#include "base/write_all.h"
#include "files/numbered_backup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace rb {

namespace {

// The file open on `fd` opened again for reading through its name, or -1
// when it cannot be (a file that may only be written, or a name that no
// longer leads to it).
int reopenForReading(const std::string& name, const struct stat& open) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (fd >= 0 &&
      (fstat(fd, &info) != 0 || info.st_dev != open.st_dev || info.st_ino != open.st_ino)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool endsWithLineBreak(int fd, off_t size) {
  char last = '\n';
  return pread(fd, &last, 1, size - 1) != 1 || last == '\n';
}

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

OutputFile::Outcome OutputFile::open(const std::string& name, OpenMode mode) {
  Outcome outcome;
  outcome.failedName = name;
  // Not waiting at the open: a FIFO nobody reads fails at once (ENXIO).
  const int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (mode == OpenMode::Append ? O_APPEND : 0);
  const int fd = ::open(name.c_str(), flags, 0666);
  if (fd < 0) {
    outcome.error = errno;
    return outcome;
  }
  const int status = fcntl(fd, F_GETFL);
  if (status >= 0) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    outcome.status = Status::InUse;
    return outcome;
  }
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  length_ = regular ? info.st_size : 0;
  openedMidLine_ = false;
  if (regular && info.st_size > 0) {
    // A file this run may not read is emptied without a backup, and
    // appended to as it is.
    const int old = reopenForReading(name, info);
    if (old >= 0 && mode == OpenMode::Create) {
      const BackupOutcome backup = keepNumberedBackup(old, name, info.st_mode);
      ::close(old);
      if (!backup.kept) {
        ::close(fd);
        outcome.error = backup.error;
        outcome.failedName = backup.name;
        return outcome;
      }
      outcome.backup = backup.name;
    } else if (old >= 0) {
      openedMidLine_ = !endsWithLineBreak(old, info.st_size);
      ::close(old);
    }
    if (mode == OpenMode::Create) {
      if (ftruncate(fd, 0) != 0) {
        outcome.error = errno;
        ::close(fd);
        return outcome;
      }
      length_ = 0;
    }
  }
  fd_ = fd;
  name_ = name;
  openedLength_ = length_;
  midLine_ = openedMidLine_;
  outcome.status = Status::Opened;
  return outcome;
}

bool OutputFile::write(std::string_view text) {
  if (midLine_ && !text.empty()) {
    // The line break the file lacked goes with the first text, in one write.
    std::string joined;
    joined.reserve(text.size() + 1);
    joined.push_back('\n');
    joined.append(text);
    if (!writeAll(fd_, joined)) return false;
    midLine_ = false;
    length_ += static_cast<off_t>(joined.size());
    return true;
  }
  const bool ok = writeAll(fd_, text);
  // What did get written counts until it is cut back.
  if (ok) length_ += static_cast<off_t>(text.size());
  return ok;
}

void OutputFile::cutBack(off_t length) {
  // Only a regular file can be cut; elsewhere there is nothing to take back.
  if (ftruncate(fd_, length) == 0) {
    length_ = length;
    if (length <= openedLength_) midLine_ = openedMidLine_;
  }
}

bool OutputFile::sync() {
  if (fd_ < 0) return true;
  // Devices and pipes cannot be synced, and need not be.
  return fsync(fd_) == 0 || errno == EINVAL || errno == EROFS;
}

bool OutputFile::close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

int OutputFile::openForReading() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return reopenForReading(name_, info);
}

bool OutputFile::isNamed(const std::string& name) const {
  struct stat open {};
  if (fd_ < 0 || fstat(fd_, &open) != 0) return false;
  return fileIdOf(name) == FileId{open.st_dev, open.st_ino};
}

}  // namespace rb
