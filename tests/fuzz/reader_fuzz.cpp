// libFuzzer target: the explorer's room file reader on arbitrary bytes,
// followed by showing every room it stored.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "dialogues/explorer/explorer_walk.h"
#include "dialogues/explorer/room_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(int)) return 0;
  // The first bytes choose the lowest room number, the rest is the file.
  int lowest;
  std::memcpy(&lowest, data, sizeof lowest);
  data += sizeof lowest;
  size -= sizeof lowest;
  const int fd = memfd_create("fuzz", MFD_CLOEXEC);
  if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) return 0;
  lseek(fd, 0, SEEK_SET);
  const auto map = std::make_unique<rb::RoomMap>();
  rb::loadRooms(fd, lowest, *map);
  close(fd);
  rb::Console con("");
  for (std::size_t i = 0; i < rb::kMapRooms; ++i) {
    if (map->present(i)) rb::showRoom(con, (*map)[i]);
  }
  return 0;
}
