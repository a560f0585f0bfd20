// The explorer's statistics (key s in the walk): counts of the rooms and
// exits loaded in the room map and of what is wrong with them, each count
// followed by its first cases.
#pragma once

#include "explorer/room_map.h"
#include "shell/console.h"

namespace rb {

// `lowest` is the map's lowest room number; `current` is the room being
// shown, from which reachability is counted.
void printStatistics(Console& con, const RoomMap& map, int lowest, const MapRoom& current);

}  // namespace rb
