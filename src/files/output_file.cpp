#include "files/output_file.h"

#include "base/write_all.h"
#include "files/numbered_backup.h"
#include "files/temporary_name.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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

// The name with its folder made absolute (symbolic links in the folder
// followed): two names of one file that does not exist yet compare equal.
std::string absoluteName(const std::string& name) {
  char resolved[PATH_MAX];
  if (!realpath(folderOf(name).c_str(), resolved)) return name;
  return std::string(resolved) + "/" + baseNameOf(name);
}

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  // A new file not put in place is not whole: the old one is still there.
  if (!partial_.empty()) unlink(partial_.c_str());
  if (targetLock_ >= 0) ::close(targetLock_);
}

OutputFile::Outcome OutputFile::openReplacement(const std::string& name) {
  Outcome outcome;
  outcome.failedName = name;
  const auto failed = [&](int error) {
    outcome.error = error;
    if (targetLock_ >= 0) ::close(targetLock_);
    targetLock_ = -1;
    return outcome;
  };
  struct stat info {};
  const bool exists = stat(name.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) return open(name, OpenMode::Create);  // a device
  mode_t mode = 0666;
  if (exists) {
    // The old file stays until the new one takes its place: locked against
    // other runs meanwhile, and its contents kept now, as an emptied file's are.
    targetLock_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (targetLock_ < 0) return failed(errno);
    if (flock(targetLock_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      ::close(targetLock_);
      targetLock_ = -1;
      outcome.status = Status::InUse;
      return outcome;
    }
    mode = info.st_mode & 07777;
    if (info.st_size > 0) {
      const BackupOutcome backup = keepNumberedBackup(targetLock_, name, info.st_mode);
      if (!backup.kept) {
        outcome.failedName = backup.name;
        return failed(backup.error);
      }
      outcome.backup = backup.name;
    }
  }
  std::string partial = name + ".partial-XXXXXX";  // isPartialName
  const int fd = mkostemp(partial.data(), O_CLOEXEC);
  if (fd < 0) return failed(errno);
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, exists ? mode : mode & ~mask);
  flock(fd, LOCK_EX | LOCK_NB);
  fd_ = fd;
  name_ = name;
  partial_ = partial;
  targetPath_ = absoluteName(name);
  length_ = openedLength_ = 0;
  midLine_ = openedMidLine_ = false;
  outcome.status = Status::Opened;
  return outcome;
}

OutputFile::Outcome OutputFile::open(const std::string& name, OpenMode mode) {
  if (mode == OpenMode::Replace) return openReplacement(name);
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
    // A file this run may not read cannot have its contents kept: it is
    // not emptied. (Appended to, it is used as it is.)
    const int old = reopenForReading(name, info);
    if (old < 0 && mode == OpenMode::Create) {
      ::close(fd);
      outcome.error = EACCES;
      return outcome;
    }
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
  bool ok = fd < 0 || ::close(fd) == 0;
  if (!partial_.empty()) {
    // Whole: it takes its name's place, the old contents being in a backup.
    if (ok && ::rename(partial_.c_str(), name_.c_str()) != 0) ok = false;
    if (ok) {
      partial_.clear();
      syncFolderOf(name_);
    }
  }
  if (targetLock_ >= 0) ::close(targetLock_);
  targetLock_ = -1;
  return ok;
}

int OutputFile::openForReading() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return reopenForReading(name_, info);
}

bool OutputFile::isNamed(const std::string& name) const {
  if (fd_ < 0) return false;
  if (!partial_.empty()) {
    const auto given = fileIdOf(name), own = fileIdOf(name_);
    if (given && own) return *given == *own;
    return absoluteName(name) == targetPath_;
  }
  struct stat open {};
  if (fstat(fd_, &open) != 0) return false;
  return fileIdOf(name) == FileId{open.st_dev, open.st_ino};
}

}  // namespace rb
