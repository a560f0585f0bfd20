// Asking for a region name: the area's default (area dialogue) and a room's
// own (room-menu key 1).
#pragma once

#include <string>

#include "terminal/console.h"

namespace rb {

// Prints `prompt` and reads a region name, refusing names the region-name
// rule does not take and asking again until one is typed.
std::string readRegionName(Console& con, const char* prompt);

}  // namespace rb
