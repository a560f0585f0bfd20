// A room's row in the room data file, an initialiser of the game server's
// room table: written from the fields of a WorkingRoom and its area, and
// read back into them. Both are made of the pieces of record_format.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "format/room_model.h"

namespace rb {

// The row, line break included.
std::string dataRow(const WorkingRoom& room, const AreaDefaults& area);
void appendDataRow(std::string& out, const WorkingRoom& room, const AreaDefaults& area);

struct DataRowFields {
  std::string_view function;  // the room's function name, a view into the row
  int region = 0;
  int roomdark = 0;
  int roomterrain = 0;
};

// The fields of a row that is the writer's own: the writer writes exactly
// this row for them, and they fit the room menu (darkness 0 or 1, terrain 1
// to 18, a function name the writer forms).
std::optional<DataRowFields> writersRow(std::string_view row);

// The function name that begins a row: its text before the first comma
// (the whole row, less its line break or CR LF, when it has none).
std::string_view rowFunctionName(std::string_view row);

// What a line of a data file is: a row (a line with a comma), or one of the
// lines a data file may also hold. Only rows are matched to records.
enum class DataLine { Row, Blank, Comment, Preprocessor, Other };

// Tells the lines of a data file apart, in order: a comment that starts on
// one line may run over the next ones.
class DataLineKinds {
 public:
  DataLine kindOf(std::string_view line);

 private:
  bool inComment_ = false;
};

}  // namespace rb
