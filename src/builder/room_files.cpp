#include "builder/room_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "shell/fatal_error.h"

namespace rb {

RoomFiles::~RoomFiles() {
  if (roomFd_ >= 0) ::close(roomFd_);
  if (dataFd_ >= 0) ::close(dataFd_);
}

int RoomFiles::open(const std::string& name, OpenMode mode) {
  const int flags =
      mode == OpenMode::Create ? O_RDWR | O_CREAT | O_TRUNC : O_WRONLY | O_CREAT | O_APPEND;
  const int fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) throw FatalError(kFileNotOpening);
  return fd;
}

void RoomFiles::openRoomFile(const std::string& name, OpenMode mode) {
  roomFd_ = open(name, mode);
}

bool RoomFiles::openDataFile(const std::string& name, OpenMode mode) {
  dataFd_ = open(name, mode);
  struct stat room {
  }, data{};
  if (fstat(roomFd_, &room) == 0 && fstat(dataFd_, &data) == 0 && room.st_dev == data.st_dev &&
      room.st_ino == data.st_ino) {
    ::close(dataFd_);
    dataFd_ = -1;
    return false;
  }
  return true;
}

void RoomFiles::writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw FatalError(kFileNotWriting);
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

void RoomFiles::close() {
  const int room = roomFd_;
  const int data = dataFd_;
  roomFd_ = dataFd_ = -1;
  const bool roomClosed = room < 0 || ::close(room) == 0;
  const bool dataClosed = data < 0 || ::close(data) == 0;
  if (!roomClosed || !dataClosed) throw FatalError(kFileNotWriting);
}

}  // namespace rb
