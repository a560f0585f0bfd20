// Editing rooms during a file transfer (main-menu key 3): every room of an
// existing room file and its data file goes, in file order, to a new room
// file and a new data file; on the way the user changes the rooms they
// choose with the room menu of an area build. The files being read are
// never written.
#pragma once

#include "dialogues/settings.h"
#include "terminal/console.h"

namespace rb {

void transfer(Console& con, Settings& settings);

}  // namespace rb
