// Loading a room file into the room map, by the explorer's reading rules
// (FixedRecordReader in area/area_reader.h): the reader relies on the record
// layout the room writer produces and validates nothing.
#pragma once

#include "dialogues/explorer/room_map.h"

namespace rb {

// Reads records from the file open on `fd` until its end or a line that
// cannot be a header line (no underscore). A record's room number is the
// number after the last underscore of its header line. Records of rooms
// outside the map are read past and not stored; a later record for a room
// replaces an earlier one. A file that cannot be read further (an error, a
// line too long to hold) ends the loading; what was read stays.
void loadRooms(int fd, int lowest, RoomMap& map);

}  // namespace rb
