#include "files/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/write_all.h"
#include "files/numbered_backup.h"

namespace rb {

ReplacementFile::~ReplacementFile() {
  abandon();
}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : name_(std::move(other.name_)), temporary_(std::move(other.temporary_)), fd_(other.fd_) {
  other.temporary_.clear();
  other.fd_ = -1;
}

bool ReplacementFile::start(const std::string& name, mode_t mode) {
  name_ = name;
  std::string temporary = name + ".XXXXXX";
  fd_ = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  temporary_ = temporary;
  if (fchmod(fd_, mode & 07777) != 0) {
    const int error = errno;
    abandon();
    errno = error;
    return false;
  }
  return true;
}

bool ReplacementFile::write(std::string_view text) {
  return writeAll(fd_, text);
}

bool ReplacementFile::finishWriting() {
  const bool synced = fsync(fd_) == 0;
  const int error = errno;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced) errno = error;
  return synced && closed;
}

bool ReplacementFile::commit(std::string& backup) {
  const BackupOutcome kept = keepAsNumberedBackup(name_);
  if (!kept.kept) {
    errno = kept.error;
    return false;
  }
  backup = kept.name;
  if (rename(temporary_.c_str(), name_.c_str()) != 0) return false;
  temporary_.clear();
  return true;
}

void ReplacementFile::abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace rb
