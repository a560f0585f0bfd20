// Loading a room file into the room map. The reader relies on the record
// layout the room writer produces and validates nothing: a record is 13 lines,
// 14 with a command line or an event line, 15 with both.
#pragma once

#include <cstdio>
#include <string_view>

#include "builder/room_function_name.h"
#include "explorer/room_map.h"

namespace rb {

// Reads records from `file` until the end of the file or a line that cannot
// be a header line (no underscore). Records of rooms outside the map are read
// past and not stored; a later record for a room replaces an earlier one.
void loadRooms(std::FILE* file, int lowest, RoomMap& map);

// The exits of a links line, "int links[]={ %d,%d,...,%d };", scanned with
// the formatted-scan rules: exits after the point where the line stops
// matching keep their value.
void scanLinks(std::string_view line, std::array<int, kExitCount>& exits);

}  // namespace rb
