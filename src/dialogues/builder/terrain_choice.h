// Choosing a terrain type: the area default and a single room's terrain.
// The restricted types 17 and 18 need the passcode.
#pragma once

#include "format/room_model.h"
#include "terminal/console.h"

namespace rb {

// Both repeat until a code is accepted; there is no way to cancel.
void chooseAreaTerrain(Console& con, AreaDefaults& area);
void chooseRoomTerrain(Console& con, WorkingRoom& room);

// Asks for the passcode (not echoed on a terminal); true when it is right.
bool passcodeAccepted(Console& con);

}  // namespace rb
