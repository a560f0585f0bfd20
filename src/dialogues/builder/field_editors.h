// The dialogues that the room menu opens for the working room. Each runs to
// its end on the console and returns to the room menu.
#pragma once

#include "format/room_model.h"
#include "terminal/console.h"

namespace rb {

void exits(Console& con, WorkingRoom& room);                                    // room-menu key 2
void longdesc(Console& con, WorkingRoom& room);                                 // key 4
void randomevent(Console& con, WorkingRoom& room);                              // key 7
void commandcode(Console& con, WorkingRoom& room);                              // key 8
void summary(Console& con, const WorkingRoom& room, const AreaDefaults& area);  // key 9

}  // namespace rb
