#include "files/background_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/write_all.h"

namespace rb {

void startWriteback(int fd, off_t offset, off_t length) {
#ifdef __linux__
  // (A length of 0 would mean all to the file's end.)
  if (length > 0) sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
#else
  (void)fd, (void)offset, (void)length;
#endif
}

bool BackgroundWriter::write(std::string_view text) {
  if (!wait()) return false;
  block_.assign(text);
  start();
  return true;
}

bool BackgroundWriter::writeTaking(std::string& text) {
  if (!wait()) return false;
  block_.swap(text);
  text.clear();
  start();
  return true;
}

void BackgroundWriter::start() {
  job_.start([this] {
    const off_t at = lseek(fd_, 0, SEEK_CUR);
    if (!writeAll(fd_, block_)) {
      error_ = errno != 0 ? errno : EIO;
    } else if (at >= 0) {
      startWriteback(fd_, at, static_cast<off_t>(block_.size()));
    }
  });
}

bool BackgroundWriter::wait() {
  job_.wait();
  if (error_ == 0) return true;
  errno = error_;
  return false;
}

}  // namespace rb
