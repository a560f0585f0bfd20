#include "old_area_files.h"

#include <deque>
#include <unordered_map>

#include "area/data_row.h"
#include "area/function_name.h"
#include "area/loose_record.h"
#include "area/room_record.h"
#include "area/terrain_table.h"

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

void readWhatCanBeRead(RoomRecord& record) {
  readLoosely(record.text, record.room);
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
