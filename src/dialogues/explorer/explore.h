// The explorer (main-menu key 4): names a room file and its lowest room
// number, loads the file into a new room map and walks it.
#pragma once

#include "terminal/console.h"

namespace rb {

void explore(Console& con);

}  // namespace rb
