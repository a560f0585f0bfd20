// Text written to a descriptor (standard output of the commands) as it is
// made, in blocks, so that a report or a picture of any size never has to be
// held whole; the first failure is kept and writing stops.
#pragma once

#include <string>
#include <string_view>

#include "base/text_append.h"

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
    if (fd_ >= 0 && buffer_.size() >= kBlock) flush();
  }
  // The buffer itself, to append to directly; flushed at the next print.
  std::string& buffer() { return buffer_; }

  // Writes what is buffered. False (and from then on) once a write failed.
  bool flush();
  bool failed() const { return error_ != 0; }
  int fd() const { return fd_; }
  int error() const { return error_; }
  // Everything printed (fd -1 only).
  const std::string& text() const { return buffer_; }

 private:
  static constexpr std::size_t kBlock = 256 * 1024;

  int fd_;
  int error_ = 0;
  std::string buffer_;
};

}  // namespace rb
