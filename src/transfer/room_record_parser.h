// Reading a room back from the record and the data row that the room writer
// wrote for it: every field the room menu edits.
//
// The parser follows the writer's layout and reads what it can; whether a
// record really is the writer's is decided by writing the fields again and
// comparing (see area_files.h), so the parser never has to be stricter than
// that.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "builder/room_model.h"

namespace rb {

// The fields of a record, or nothing when it does not follow the layout.
std::optional<WorkingRoom> parseRoomRecord(std::string_view record);

struct DataRowFields {
  std::string function;  // the room's function name
  int region = 0;
  int roomdark = 0;
  int roomterrain = 0;
};

// The fields of a data row, or nothing when it does not follow the layout.
std::optional<DataRowFields> parseDataRow(std::string_view row);

// The function name that begins a data row: its text before the first
// comma (the whole row, less its line break, when it has none).
std::string_view rowFunctionName(std::string_view row);

// Whether the fields fit what the room menu can hold: texts within their
// sizes, at most ten lines and nine words, a region name the region-name
// rule takes, terrain 1 to 18 and darkness 0 or 1.
bool fitsRoomMenu(const WorkingRoom& room);

}  // namespace rb
