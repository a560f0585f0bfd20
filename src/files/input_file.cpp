#include "files/input_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

namespace rb {

namespace {

// (Files of a world are written two at a time, each looked at again.)
std::atomic<std::size_t> openFiles = 0;

// Descriptors kept free for what a run opens besides its held files.
constexpr rlim_t kSpareDescriptors = 64;

}  // namespace

std::size_t InputFile::openCount() {
  return openFiles;
}

bool InputFile::mayHoldAnother() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
  return limit.rlim_cur > kSpareDescriptors && openFiles + kSpareDescriptors < limit.rlim_cur;
}

std::optional<FileId> fileIdOf(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) != 0) return std::nullopt;
  return FileId{info.st_dev, info.st_ino};
}

FileState FileState::of(const struct stat& info) {
  FileState state;
  state.id = FileId{info.st_dev, info.st_ino};
  state.size = info.st_size;
  state.modified = info.st_mtim;
  state.regular = S_ISREG(info.st_mode);
  return state;
}

bool FileState::sameAs(const FileState& other) const {
  return id == other.id && size == other.size && modified.tv_sec == other.modified.tv_sec &&
         modified.tv_nsec == other.modified.tv_nsec;
}

InputFile::~InputFile() {
  close();
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      name_(std::move(other.name_)),
      reason_(std::move(other.reason_)),
      error_(other.error_),
      state_(other.state_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    name_ = std::move(other.name_);
    reason_ = std::move(other.reason_);
    error_ = other.error_;
    state_ = other.state_;
  }
  return *this;
}

InputFile::Status InputFile::open(const std::string& name, Lock lock) {
  close();
  name_ = name;
  reason_.clear();
  error_ = 0;
  const auto failed = [&](int error) {
    error_ = error;
    reason_ = error == EWOULDBLOCK ? kInUseReason : std::strerror(error);
    return error == EWOULDBLOCK ? Status::InUse : Status::Unreadable;
  };
  // Not waiting at the open for a FIFO's writer.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return failed(errno);
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return failed(error);
  }
  // Reads wait for data again, as reads of a file do.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (lock != Lock::None &&
      flock(fd, (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return failed(error);
  }
  fd_ = fd;
  ++openFiles;
  state_ = FileState::of(info);
  return Status::Open;
}

void InputFile::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  --openFiles;
}

bool InputFile::rewind() {
  return fd_ >= 0 && lseek(fd_, 0, SEEK_SET) == 0;
}

std::optional<FileState> InputFile::stateNow() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0) return std::nullopt;
  return FileState::of(info);
}

bool InputFile::readAt(off_t offset, std::size_t length, std::string& out) const {
  out.resize(length);
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = pread(fd_, out.data() + got, length - got, offset + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;  // the file ended early
      out.resize(got);
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace rb
