// A room's record in the room file (one C function in the game server's
// dialect): written from the fields of a WorkingRoom, and read back into
// them. Both are made of the pieces of record_format.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "format/room_model.h"

namespace rb {

// The room function: 13 lines, 14 with a command or an event, 15 with both,
// the closing blank line included.
std::string roomRecord(const WorkingRoom& room);
void appendRoomRecord(std::string& out, const WorkingRoom& room);

// The frequency a record's event frequency of 0.000000 is read as: a
// frequency above 0 too small to show in six decimals, which still has an
// event and writes back as 0.000000.
inline constexpr float kSmallestShownFrequency = 1e-7f;

// The record's links line, "int links[]={ %d,...,%d };" and its line break,
// for the exits of slots 1 to 12.
void appendLinksLine(std::string& out, const Exits& exits);
// Where the links line of a record the writer wrote begins (its fifth
// line; nothing before it can hold the text the line starts with).
std::size_t linksLineStart(std::string_view record);

// Reads the fields of a record that follows the writer's layout into `room`
// (every field the record holds; darkness and terrain are the data row's);
// false when the record does not follow it. The texts of `room` keep their
// capacity, so reading record after record allocates almost nothing.
bool parseRoomRecord(std::string_view record, WorkingRoom& room);

// Whether the fields fit what the room menu can hold: texts within their
// sizes and free of what no editor can type (a line break, a NUL byte, an
// escape character), at most ten lines and nine words, a region name the
// region-name rule takes, terrain 1 to 18 and darkness 0 or 1.
bool fitsRoomMenu(const WorkingRoom& room);

// Whether `record` is the writer's own: its fields, read into `room`, fit
// the room menu and write it back byte for byte. (It is read strictly, each
// number and text in the one form the writer gives it, which comes to the
// same without writing it again.)
bool isWritersRecord(std::string_view record, WorkingRoom& room);
// The same, with the fields when it is.
std::optional<WorkingRoom> writersRecord(std::string_view record);

}  // namespace rb
