#include "files/output_stream.h"

#include <cerrno>

#include "base/write_all.h"

namespace rb {

bool OutputStream::flush() {
  if (fd_ < 0) return true;
  if (error_ == 0 && !buffer_.empty() && !writeAll(fd_, buffer_)) error_ = errno != 0 ? errno : EIO;
  buffer_.clear();
  return error_ == 0;
}

}  // namespace rb
