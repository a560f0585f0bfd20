// The room writer: turns the working room into its room-file record (one C
// function in the game server's dialect) and its room-data row.
#pragma once

#include <string>

#include "builder/room_files.h"
#include "builder/room_model.h"

namespace rb {

// The room function: 13 lines, 14 with a command or an event, 15 with both,
// the closing blank line included.
std::string roomRecord(const WorkingRoom& room);

// The initialiser row for the server's room table, line break included.
std::string dataRow(const WorkingRoom& room, const AreaDefaults& area);

// Appends the room's record to the room file, then its row to the data file.
void save(const WorkingRoom& room, const AreaDefaults& area, RoomFiles& files);

}  // namespace rb
