#include "files/background_writer.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "base/write_all.h"

namespace rb {

void startWriteback(int fd, off_t offset, off_t length) {
#ifdef __linux__
  sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
#else
  (void)fd, (void)offset, (void)length;
#endif
}

BackgroundWriter::BackgroundWriter(int fd) : fd_(fd) {
  // The thread starts with every signal blocked, and so keeps them.
  sigset_t all, before;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &before);
  thread_ = std::thread([this] { run(); });
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

BackgroundWriter::~BackgroundWriter() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    waitIdle(lock);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::waitIdle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !busy_; });
}

bool BackgroundWriter::write(std::string_view text) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    waitIdle(lock);
    if (error_ != 0) {
      errno = error_;
      return false;
    }
    block_.assign(text);
    busy_ = true;
  }
  changed_.notify_all();
  return true;
}

bool BackgroundWriter::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  waitIdle(lock);
  if (error_ == 0) return true;
  errno = error_;
  return false;
}

void BackgroundWriter::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stop_; });
    if (!busy_) return;  // stopped, nothing left to write
    // The block is the writer's alone while busy_: written unlocked.
    lock.unlock();
    const off_t at = lseek(fd_, 0, SEEK_CUR);
    const bool written = writeAll(fd_, block_);
    const int error = errno;
    if (written && at >= 0) startWriteback(fd_, at, static_cast<off_t>(block_.size()));
    lock.lock();
    if (!written && error_ == 0) error_ = error != 0 ? error : EIO;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace rb
