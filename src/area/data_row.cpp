#include "area/data_row.h"

#include <charconv>

#include "area/function_name.h"
#include "area/record_format.h"
#include "area/terrain_table.h"
#include "shell/text_append.h"

namespace rb {

using namespace format;

namespace {

// The decimal number at the start of `text`, which is moved past it.
bool takeInt(std::string_view& text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool take(std::string_view& text, std::string_view piece) {
  if (text.substr(0, piece.size()) != piece) return false;
  text.remove_prefix(piece.size());
  return true;
}

}  // namespace

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

std::optional<DataRowFields> parseDataRow(std::string_view row) {
  DataRowFields fields;
  const std::size_t comma = row.find(kFieldSeparator);
  if (comma == std::string_view::npos) return std::nullopt;
  fields.function = row.substr(0, comma);
  std::string_view rest = row.substr(comma + kFieldSeparator.size());
  if (takeInt(rest, fields.region) && take(rest, kAfterRegion) && takeInt(rest, fields.roomdark) &&
      take(rest, kAfterLight) && takeInt(rest, fields.roomterrain) && rest == kRowEnd) {
    return fields;
  }
  return std::nullopt;
}

std::optional<DataRowFields> writersRow(std::string_view row) {
  const auto fields = parseDataRow(row);
  std::string_view region, number;
  if (!fields || !TerrainTable::valid(fields->roomterrain) ||
      (fields->roomdark != 0 && fields->roomdark != 1) ||
      !splitFunctionName(fields->function, region, number)) {
    return std::nullopt;
  }
  // The row the writer would write for these fields (kept from call to
  // call: a data file's rows are checked one after another).
  thread_local std::string written;
  written.clear();
  appendFunctionName(written, region, headerRoomNumber(fields->function));
  appendText(written, kFieldSeparator, fields->region, kAfterRegion, fields->roomdark, kAfterLight,
             fields->roomterrain, kRowEnd);
  if (written != row) return std::nullopt;
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
