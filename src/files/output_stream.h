// Text written to a descriptor (standard output of the commands) as it is
// made, in blocks, so that a report or a picture of any size never has to be
// held whole; the first failure is kept and writing stops. From the second
// block on, blocks are written on a thread of their own while the next is
// made (a reader at the other end of a pipe takes as long as the making).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/text_append.h"
#include "files/background_writer.h"

namespace rb {

class OutputStream {
 public:
  // Writes to `fd`; with fd -1, keeps everything (text()), for tests.
  explicit OutputStream(int fd) : fd_(fd) {}
  ~OutputStream() { flush(); }
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  template <class... Args>
  void print(const Args&... args) {
    appendText(buffer_, args...);
    if (fd_ >= 0 && buffer_.size() >= kBlock) handOver();
  }
  // The buffer itself, to append to directly; flushed at the next print.
  std::string& buffer() { return buffer_; }

  // Writes what is buffered and waits until all is written. False (and
  // from then on) once a write failed.
  bool flush();
  bool failed() const { return error_ != 0; }
  int fd() const { return fd_; }
  int error() const { return error_; }
  // Everything printed (fd -1 only).
  const std::string& text() const { return buffer_; }

 private:
  static constexpr std::size_t kBlock = 256 * 1024;

  // A full block written: in place the first time (most outputs are one
  // block or less, and start no thread), then handed to the writer.
  void handOver();
  void keepError();

  int fd_;
  int error_ = 0;
  std::string buffer_;
  bool wroteBlock_ = false;
  std::unique_ptr<BackgroundWriter> writer_;  // from the second block on
};

}  // namespace rb
