#include "format/data_row.h"

#include "base/number_text.h"
#include "base/text_append.h"
#include "format/field_cursor.h"
#include "format/function_name.h"
#include "format/record_format.h"
#include "format/terrain_table.h"

namespace rb {

using namespace format;

void appendDataRow(std::string& out, const WorkingRoom& room, const AreaDefaults& area) {
  appendFunctionName(out, room.tempregionname, room.room);
  appendText(out, kFieldSeparator, area.region, kAfterRegion, room.roomdark, kAfterLight,
             room.roomterrain, kRowEnd);
}

std::string dataRow(const WorkingRoom& room, const AreaDefaults& area) {
  std::string out;
  appendDataRow(out, room, area);
  return out;
}

std::string_view rowFunctionName(std::string_view row) {
  if (!row.empty() && row.back() == '\n') row.remove_suffix(1);
  if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
  return row.substr(0, row.find(kFieldSeparator));
}

namespace {

// The fields of a row of the writer's layout; `strict`, only a row whose
// numbers all have the writer's form.
std::optional<DataRowFields> readDataRow(std::string_view row, bool strict) {
  DataRowFields fields;
  const std::size_t comma = row.find(kFieldSeparator);
  if (comma == std::string_view::npos) return std::nullopt;
  fields.function = row.substr(0, comma);
  FieldCursor in(row.substr(comma + kFieldSeparator.size()), strict);
  if (in.takeInt(fields.region) && in.take(kAfterRegion) && in.takeInt(fields.roomdark) &&
      in.take(kAfterLight) && in.takeInt(fields.roomterrain) && in.take(kRowEnd) && in.atEnd()) {
    return fields;
  }
  return std::nullopt;
}

}  // namespace

std::optional<DataRowFields> writersRow(std::string_view row) {
  // Read strictly, every piece of the row is the one the writer writes for
  // the fields read: nothing needs writing again to compare.
  const auto fields = readDataRow(row, true);
  std::string_view region;
  int number = 0;
  if (!fields || !TerrainTable::valid(fields->roomterrain) ||
      (fields->roomdark != 0 && fields->roomdark != 1) ||
      !formedFunctionName(fields->function, region, number)) {
    return std::nullopt;
  }
  return fields;
}

DataLine DataLineKinds::kindOf(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\r\n\f\v");
  if (inComment_) {
    inComment_ = line.find("*/") == std::string_view::npos;
    return DataLine::Comment;
  }
  if (first == std::string_view::npos) return DataLine::Blank;
  const std::string_view rest = line.substr(first);
  if (rest.front() == '#') return DataLine::Preprocessor;
  if (rest.substr(0, 2) == "//") return DataLine::Comment;
  if (rest.substr(0, 2) == "/*") {
    inComment_ = rest.find("*/", 2) == std::string_view::npos;
    return DataLine::Comment;
  }
  return rest.find(kFieldSeparator) != std::string_view::npos ? DataLine::Row : DataLine::Other;
}

}  // namespace rb
