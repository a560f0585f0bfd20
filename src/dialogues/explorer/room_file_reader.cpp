#include "dialogues/explorer/room_file_reader.h"

#include "format/area_reader.h"
#include "format/function_name.h"
#include "format/loose_record.h"

namespace rb {

void loadRooms(int fd, int lowest, RoomMap& map) {
  LineReader lines(fd, LineReader::kSmallReads);
  FixedRecordReader records(lines);
  FixedRecordText record;
  try {
    while (records.next(record)) {
      const auto index = RoomMap::indexOf(headerRoomNumber(record.header), lowest);
      if (!index) continue;
      // Present as soon as its header line is read.
      WorkingRoom& room = map.store(*index);
      room.room = headerRoomNumber(record.header);
      if (!record.links.empty()) scanLinks(record.links, room.exitd);
      if (!record.look.empty()) cutLookLine(record.look, room);
    }
  } catch (const AreaReadError&) {
    // The rooms read so far stay.
  }
}

}  // namespace rb
