// libFuzzer target: the whole-file reader of the transfer on an arbitrary
// room file and data file. The first two bytes give the length of the room
// file; the rest after it is the data file.
//
// Checks: nothing of either file is dropped or doubled, rows and records
// are matched both ways at most once, and every room called editable fits
// the room menu and writes back to exactly its record and row.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "transfer/area_files.h"
#include "transfer/room_record_parser.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view all(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t split = (std::size_t{data[0]} | std::size_t{data[1]} << 8) % (all.size() + 1);
  const std::string_view roomText = all.substr(0, split), dataText = all.substr(split);
  const rb::AreaFiles files = rb::readAreaFiles(roomText, dataText);

  std::string rooms = files.prologue;
  for (std::size_t i = 0; i < files.records.size(); ++i) {
    const rb::RoomRecord& record = files.records[i];
    rooms += record.text;
    if (record.row >= 0) {
      check(files.rows.at(static_cast<std::size_t>(record.row)).record == static_cast<int>(i));
    }
    if (!record.editable) continue;
    check(record.row >= 0);
    const std::string& row = files.rows[static_cast<std::size_t>(record.row)].text;
    check(rb::fitsRoomMenu(record.room));
    check(rb::writesBackExactly(record.room, record.area, record.text, row));
  }
  check(rooms == roomText);
  std::string rows;
  for (const rb::DataRow& row : files.rows) {
    rows += row.text;
    if (row.record >= 0) check(files.records.at(static_cast<std::size_t>(row.record)).row >= 0);
  }
  check(rows == dataText);
  return 0;
}
