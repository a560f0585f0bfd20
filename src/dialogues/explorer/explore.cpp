#include "dialogues/explorer/explore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "base/number_text.h"
#include "dialogues/explorer/explorer_walk.h"
#include "dialogues/explorer/room_file_reader.h"
#include "format/room_model.h"
#include "terminal/line_sizes.h"

namespace rb {

namespace {

// The named file opened for reading (not waiting for a FIFO's writer), or -1;
// a directory does not count as opening.
int openRoomFile(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (fd >= 0 && (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))) {
    ::close(fd);
    return -1;
  }
  if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

void explore(Console& con) {
  int fd = -1;
  while (fd < 0) {
    con.print(
        "Please enter the name of the room\n"
        "file you wish to explore.\n"
        "WARNING: Files not created using tov,\n"
        "or those modified since creation may\n"
        "function incorrectly with this option.\n");
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    // An empty line is the way back to the main menu.
    if (name.empty()) return;
    fd = openRoomFile(name);
  }
  con.print("What is the lowest room number?\n");
  const int lowest = textToInt(con.readLine(kExplorerLineSize, LineKind::Number));
  const auto map = std::make_unique<RoomMap>();
  loadRooms(fd, lowest, *map);
  ::close(fd);
  walk(con, *map, lowest);
}

}  // namespace rb
