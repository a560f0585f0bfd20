#include "base/write_all.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace rb {

bool writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written > 0) {
      text.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EAGAIN) {
      struct pollfd ready = {fd, POLLOUT, 0};
      if (poll(&ready, 1, -1) > 0 || errno == EINTR) continue;
    }
    if (written == 0) errno = EIO;
    return false;
  }
  return true;
}

bool writeAllAt(int fd, std::string_view text, off_t at) {
  while (!text.empty()) {
    const ssize_t written = ::pwrite(fd, text.data(), text.size(), at);
    if (written > 0) {
      text.remove_prefix(static_cast<std::size_t>(written));
      at += written;
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;
    return false;
  }
  return true;
}

}  // namespace rb
