// Cutting a room's short name and description lines out of its look line,
// the line of the room function that answers request 0:
//
//   case 0: write_user(user,"NAME\n");write_user(user,"LINE\nLINE\n");
//
// The short name starts after the first double quote and ends at the
// backslash of its \n; the description starts 22 characters after that
// backslash, and each description line ends at the backslash of its \n. The
// escapes the writer produces inside texts (\\, \", \r, \?) are decoded on the
// way; any other backslash ends the text it is in.
#pragma once

#include <string_view>

#include "explorer/room_map.h"

namespace rb {

// Fills the short name and the ten description lines of `room`. A malformed
// line fills what it can and leaves the rest empty.
void cutLookLine(std::string_view line, MapRoom& room);

}  // namespace rb
