// libFuzzer target: the room file reader on arbitrary bytes, followed by
// showing every room it stored.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "explorer/explorer_walk.h"
#include "explorer/room_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(int)) return 0;
  // The first bytes choose the lowest room number, the rest is the file.
  int lowest;
  std::memcpy(&lowest, data, sizeof lowest);
  data += sizeof lowest;
  size -= sizeof lowest;
  std::FILE* file = size == 0 ? std::fopen("/dev/null", "r")
                              : fmemopen(const_cast<std::uint8_t*>(data), size, "r");
  if (!file) return 0;
  const auto map = std::make_unique<rb::RoomMap>();
  rb::loadRooms(file, lowest, *map);
  std::fclose(file);
  rb::Console con("");
  for (std::size_t i = 0; i < rb::kMapRooms; ++i) {
    if ((*map)[i].present) rb::showRoom(con, (*map)[i]);
  }
  return 0;
}
