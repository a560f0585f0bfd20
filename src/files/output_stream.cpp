#include "files/output_stream.h"

#include <cerrno>

#include "base/write_all.h"

namespace rb {

void OutputStream::keepError() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void OutputStream::handOver() {
  if (error_ != 0) {
    buffer_.clear();
  } else if (!wroteBlock_) {
    wroteBlock_ = true;
    flush();
  } else {
    if (!writer_) writer_ = std::make_unique<BackgroundWriter>(fd_);
    if (!writer_->writeTaking(buffer_)) keepError();
    buffer_.clear();
  }
}

bool OutputStream::flush() {
  if (fd_ < 0) return true;
  if (writer_ && !writer_->wait()) keepError();
  if (error_ == 0 && !buffer_.empty() && !writeAll(fd_, buffer_)) keepError();
  buffer_.clear();
  return error_ == 0;
}

}  // namespace rb
