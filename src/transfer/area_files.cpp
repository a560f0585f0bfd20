#include "transfer/area_files.h"

#include <deque>
#include <unordered_map>

#include "builder/room_function_name.h"
#include "builder/room_writer.h"
#include "builder/terrain_table.h"
#include "explorer/look_line.h"
#include "explorer/room_file_reader.h"

namespace rb {

namespace {

// The lines of `text`, each with its line break (the last may lack one).
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// What a record that cannot be edited still tells: the first links line and
// the first look line are read as the explorer reads them.
void readWhatCanBeRead(RoomRecord& record) {
  WorkingRoom& room = record.room;
  room.room = headerRoomNumber(record.function);
  room.exitd.fill(kNoExit);
  bool links = false, look = false;
  for (std::string_view line : linesOf(record.text)) {
    if (!links && startsWith(line, "int links[]={")) {
      links = true;
      std::array<int, kExitCount> exits;
      exits.fill(kNoExit);
      scanLinks(line, exits);
      for (int slot = 1; slot <= kExitCount; ++slot)
        room.exitd[static_cast<std::size_t>(slot)] = exits[static_cast<std::size_t>(slot - 1)];
    } else if (!look && startsWith(line, "case 0:")) {
      look = true;
      MapRoom shown;
      cutLookLine(line, shown);
      room.shortname = shown.shortName;
    }
  }
}

void splitRecords(std::string_view roomText, AreaFiles& files) {
  int number = 0;
  for (std::string_view line : linesOf(roomText)) {
    ++number;
    if (const auto function = headerFunctionName(line)) {
      RoomRecord record;
      record.line = number;
      record.function = *function;
      files.records.push_back(std::move(record));
    }
    std::string& into = files.records.empty() ? files.prologue : files.records.back().text;
    into.append(line);
  }
}

void matchRows(std::string_view dataText, AreaFiles& files) {
  std::unordered_map<std::string_view, std::deque<int>> rowsByName;
  int number = 0;
  for (std::string_view line : linesOf(dataText)) {
    DataRow row;
    row.text = line;
    row.line = ++number;
    row.function = rowFunctionName(line);
    files.rows.push_back(std::move(row));
  }
  for (std::size_t i = 0; i < files.rows.size(); ++i)
    rowsByName[files.rows[i].function].push_back(static_cast<int>(i));
  for (std::size_t i = 0; i < files.records.size(); ++i) {
    auto found = rowsByName.find(files.records[i].function);
    if (found == rowsByName.end() || found->second.empty()) continue;
    const int row = found->second.front();
    found->second.pop_front();
    files.records[i].row = row;
    files.rows[static_cast<std::size_t>(row)].record = static_cast<int>(i);
  }
}

}  // namespace

bool writesBackExactly(const WorkingRoom& room, const AreaDefaults& area, std::string_view record,
                       std::string_view row) {
  return roomRecord(room) == record && dataRow(room, area) == row;
}

std::optional<WorkingRoom> writersRecord(std::string_view record) {
  auto room = parseRoomRecord(record);
  if (!room) return std::nullopt;
  // The fields of the row do not matter here; any that fit will do.
  room->roomterrain = TerrainTable::kFirst;
  room->roomdark = 1;
  if (!fitsRoomMenu(*room) || roomRecord(*room) != record) return std::nullopt;
  return room;
}

std::optional<DataRowFields> writersRow(std::string_view row) {
  const auto fields = parseDataRow(row);
  std::string_view region, number;
  if (!fields || !TerrainTable::valid(fields->roomterrain) ||
      (fields->roomdark != 0 && fields->roomdark != 1) ||
      !splitFunctionName(fields->function, region, number)) {
    return std::nullopt;
  }
  // The row the writer would write for these fields.
  WorkingRoom room;
  room.tempregionname = region;
  room.room = headerRoomNumber(fields->function);
  room.roomdark = fields->roomdark;
  room.roomterrain = fields->roomterrain;
  AreaDefaults area;
  area.region = fields->region;
  if (dataRow(room, area) != row) return std::nullopt;
  return fields;
}

AreaFiles readAreaFiles(std::string_view roomText, std::string_view dataText) {
  AreaFiles files;
  splitRecords(roomText, files);
  matchRows(dataText, files);
  for (RoomRecord& record : files.records) {
    // A record without a row cannot be edited and has no region number.
    if (record.row < 0) {
      readWhatCanBeRead(record);
      continue;
    }
    const std::string& row = files.rows[static_cast<std::size_t>(record.row)].text;
    if (const auto fields = parseDataRow(row)) record.area.region = fields->region;
    const auto ownRow = writersRow(row);
    auto room = ownRow ? writersRecord(record.text) : std::nullopt;
    if (!room) {
      readWhatCanBeRead(record);
      continue;
    }
    room->roomdark = ownRow->roomdark;
    room->roomterrain = ownRow->roomterrain;
    record.room = std::move(*room);
    record.editable = true;
  }
  return files;
}

}  // namespace rb
