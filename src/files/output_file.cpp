#include "files/output_file.h"

#include "files/write_all.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace rb {

namespace {

// Copies the file open on `from` to `to`, through a temporary file that
// replaces `to` only once it is complete. False (errno set) on a failure.
bool copyTo(int from, const std::string& to, mode_t mode) {
  std::string temporary = to + ".XXXXXX";
  const int out = mkstemp(temporary.data());
  if (out < 0) return false;
  bool ok = fchmod(out, mode & 07777) == 0;
  char buffer[64 * 1024];
  while (ok) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    ok = writeAll(out, std::string_view(buffer, static_cast<std::size_t>(got)));
  }
  if (ok) ok = fsync(out) == 0;
  const int error = errno;
  if (::close(out) != 0 && ok) ok = false;
  if (ok && rename(temporary.c_str(), to.c_str()) == 0) return true;
  const int failure = ok ? errno : error;
  unlink(temporary.c_str());
  errno = failure;
  return false;
}

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

OutputFile::Outcome OutputFile::open(const std::string& name, OpenMode mode) {
  Outcome outcome;
  outcome.failedName = name;
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == OpenMode::Append ? O_APPEND : 0);
  const int fd = ::open(name.c_str(), flags, 0666);
  if (fd < 0) {
    outcome.error = errno;
    return outcome;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    outcome.status = Status::InUse;
    return outcome;
  }
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  length_ = regular ? info.st_size : 0;
  if (mode == OpenMode::Create && regular && info.st_size > 0) {
    // A file this run may not read is emptied without a copy.
    const int old = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (old >= 0) {
      const bool copied = copyTo(old, name + "~", info.st_mode);
      const int error = errno;
      ::close(old);
      if (!copied) {
        ::close(fd);
        outcome.error = error;
        outcome.failedName = name + "~";
        return outcome;
      }
      outcome.backedUp = true;
    }
    if (ftruncate(fd, 0) != 0) {
      outcome.error = errno;
      ::close(fd);
      return outcome;
    }
    length_ = 0;
  }
  fd_ = fd;
  name_ = name;
  outcome.status = Status::Opened;
  return outcome;
}

bool OutputFile::write(std::string_view text) {
  const bool ok = writeAll(fd_, text);
  // What did get written counts until it is cut back.
  if (ok) length_ += static_cast<off_t>(text.size());
  return ok;
}

void OutputFile::cutBack(off_t length) {
  // Only a regular file can be cut; elsewhere there is nothing to take back.
  if (ftruncate(fd_, length) == 0) length_ = length;
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

bool OutputFile::isNamed(const std::string& name) const {
  struct stat open {};
  if (fd_ < 0 || fstat(fd_, &open) != 0) return false;
  return fileIdOf(name) == FileId{open.st_dev, open.st_ino};
}

std::optional<FileId> fileIdOf(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) != 0) return std::nullopt;
  return FileId{info.st_dev, info.st_ino};
}

}  // namespace rb
