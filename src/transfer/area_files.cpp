#include "transfer/area_files.h"

#include <deque>
#include <unordered_map>

#include "builder/room_function_name.h"
#include "builder/room_writer.h"
#include "explorer/look_line.h"
#include "explorer/room_file_reader.h"
#include "transfer/room_record_parser.h"

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

AreaFiles readAreaFiles(std::string_view roomText, std::string_view dataText) {
  AreaFiles files;
  splitRecords(roomText, files);
  matchRows(dataText, files);
  for (RoomRecord& record : files.records) {
    if (record.row >= 0) {
      const std::string& rowText = files.rows[static_cast<std::size_t>(record.row)].text;
      const auto room = parseRoomRecord(record.text);
      const auto fields = parseDataRow(rowText);
      if (fields) record.area.region = fields->region;
      if (room && fields) {
        WorkingRoom parsed = *room;
        parsed.roomdark = fields->roomdark;
        parsed.roomterrain = fields->roomterrain;
        AreaDefaults area;
        area.region = fields->region;
        if (fitsRoomMenu(parsed) && writesBackExactly(parsed, area, record.text, rowText)) {
          record.room = std::move(parsed);
          record.area = area;
          record.editable = true;
          continue;
        }
      }
    }
    readWhatCanBeRead(record);
  }
  return files;
}

}  // namespace rb
