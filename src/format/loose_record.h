// Reading what a record tells when it does not follow the writer's layout
// exactly (a hand-edited record, or one read by the explorer's rules): the
// exits of its links line and the short name and description of its look
// line, each cut out as far as the line allows.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "format/exit_slot.h"
#include "format/room_model.h"

namespace rb {

// The exits of a links line, "int links[]={ %d,%d,...,%d };", scanned with
// the formatted-scan rules (a blank matches any white space, also none):
// the exits after the point where the line stops matching keep their value.
// A number beyond the range of int is no room number: that exit is left
// without one (kNoExit), and the slots where that happened are returned as
// bits (1 << slot). `numbers`, when given, gets the text of each number.
std::uint16_t scanLinks(std::string_view line, Exits& exits,
                        std::array<std::string_view, kExitCount + 1>* numbers = nullptr);

// The short name and the ten description lines of a look line, the line
// that answers request 0:
//
//   case 0: write_user(user,"NAME\n");write_user(user,"LINE\nLINE\n");
//
// The short name starts after the first double quote and ends at the
// backslash of its \n; the description starts 22 characters after that
// backslash, and each description line ends at the backslash of its \n. The
// escapes the writer produces inside texts (\\, \", \r, \?) are decoded on
// the way; any other backslash ends the text it is in. Texts are cut to 49
// and 99 bytes, at a character boundary. A malformed line fills what it can
// and leaves the rest empty. `room.lines` becomes 9: the ten lines are the
// description, the empty ones not shown.
void cutLookLine(std::string_view line, WorkingRoom& room);

// What a record the writer did not write still tells: the room number of
// its header, the exits of its first links line and the short name and
// description of its first look line; the rest of `room` is left empty.
// Returns the slots whose numbers are beyond int, as scanLinks does.
std::uint16_t readLoosely(std::string_view record, WorkingRoom& room);

// The text of the number in `slot` of a record's first links line (for
// saying what is wrong with it); empty when there is none.
std::string_view linksNumberText(std::string_view record, int slot);

}  // namespace rb
