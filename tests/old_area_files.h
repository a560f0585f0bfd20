// The whole-file reader as it was before the streaming one (area_reader.h),
// kept only while the two are compared on the same files.
//
// A room file and its data file read whole: every record and every row, in
// file order, with their line numbers, the rows matched to the records, and
// for each record whether it can be edited.
//
// A record starts at a header line ("NAME(user,com,dir)") and runs to the
// next header line or the end of the file; what comes before the first
// header is the prologue. Every line of the data file is a row; the k-th
// record with a function name gets the k-th row with it. A record can be
// edited when it and its row are exactly what the room writer would write
// for the fields read from them, and those fields fit the room menu.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "area/data_row.h"
#include "area/room_model.h"
#include "area/room_record.h"

namespace rb {

struct RoomRecord {
  std::string text;      // the record's bytes
  int line = 0;          // its header line, counted from 1
  std::string function;  // its function name
  int row = -1;          // index of its data row, or -1 when it has none
  bool editable = false;
  // Every field when editable; otherwise what can still be read: the room
  // number of the header, the exits of the links line and the short name of
  // the look line.
  WorkingRoom room;
  AreaDefaults area;  // the region number of its data row
};

struct DataRow {
  std::string text;      // the row's bytes, line break included
  int line = 0;          // counted from 1
  std::string function;  // its first field
  int record = -1;       // index of its record, or -1 when it belongs to none
};

struct AreaFiles {
  std::string prologue;  // what comes before the first header line
  std::vector<RoomRecord> records;
  std::vector<DataRow> rows;
};

// Reads the texts of a room file and of its data file.
AreaFiles readAreaFiles(std::string_view roomText, std::string_view dataText);

// Whether a room's fields are what the record and the row say, byte for byte.
bool writesBackExactly(const WorkingRoom& room, const AreaDefaults& area, std::string_view record,
                       std::string_view row);

}  // namespace rb
