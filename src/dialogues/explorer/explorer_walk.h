// The walk through a loaded room map: a start room, then one keystroke per
// move along the room's exits, until key 5.
#pragma once

#include "dialogues/explorer/room_map.h"
#include "terminal/console.h"

namespace rb {

void walk(Console& con, const RoomMap& map, int lowest);

// The short name, the non-empty description lines and the exits of `room`.
void showRoom(Console& con, const WorkingRoom& room);

}  // namespace rb
