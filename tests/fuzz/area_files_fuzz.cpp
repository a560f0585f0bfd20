// libFuzzer target: the streaming readers of the transfer, check, map and
// link on an arbitrary room file and data file. The first two bytes give
// the length of the room file; the rest after it is the data file.
//
// Checks: nothing of the room file is dropped or doubled between its
// prologue and its records; the world's places of records give back their
// bytes; rows and records are matched both ways at most once; every record
// the world calls the writer's is; and the strict reading of a record agrees
// with writing its fields again.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/input_file.h"
#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/room_record.h"
#include "world/world.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

int memoryFile(std::string_view text) {
  const int fd = memfd_create("fuzz", MFD_CLOEXEC);
  check(write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()));
  lseek(fd, 0, SEEK_SET);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view all(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t split = (std::size_t{data[0]} | std::size_t{data[1]} << 8) % (all.size() + 1);
  const std::string_view roomText = all.substr(0, split), dataText = all.substr(split);
  const int roomFd = memoryFile(roomText), dataFd = memoryFile(dataText);

  std::string joined;
  {
    rb::LineReader lines(roomFd);
    rb::RecordReader records(lines);
    rb::RecordText record;
    while (records.next(record))
      joined += record.text;
  }
  check(joined == roomText);

  rb::InputFile rooms, rows;
  check(rooms.open("/proc/self/fd/" + std::to_string(roomFd)) == rb::InputFile::Status::Open);
  check(rows.open("/proc/self/fd/" + std::to_string(dataFd)) == rb::InputFile::Status::Open);
  rb::World world;
  try {
    world.readArea(rooms, rows);
  } catch (const rb::WorldFileError&) {
    return 0;  // too large to read
  }
  const rb::RowMatching& matching = world.matching();
  for (std::size_t r = 0; r < world.records(); ++r) {
    const std::int32_t row = matching.rowOf(r);
    if (row != rb::RowMatching::kNone) {
      check(matching.recordOf(static_cast<std::size_t>(row)) == static_cast<std::int32_t>(r));
    }
  }
  for (std::size_t w = 0; w < matching.rows(); ++w) {
    const std::int32_t record = matching.recordOf(w);
    if (record != rb::RowMatching::kNone) {
      check(matching.rowOf(static_cast<std::size_t>(record)) == static_cast<std::int32_t>(w));
    }
  }
  {
    lseek(roomFd, 0, SEEK_SET);
    rb::LineReader lines(roomFd);
    rb::RecordReader records(lines);
    rb::RecordText record;
    std::size_t index = 0;
    while (records.next(record)) {
      if (record.prologue) continue;
      // Each record's place gives back its bytes.
      check(world.recordText(index) == record.text);
      if (world.isWriters(index)) check(rb::writersRecord(record.text).has_value());
      // The strict reading says a record is the writer's exactly when
      // writing its fields again gives it back.
      rb::WorkingRoom room;
      const bool strict = rb::isWritersRecord(record.text, room);
      const bool backAgain = rb::parseRoomRecord(record.text, room) &&
                             ((room.roomterrain = 1), (room.roomdark = 1), true) &&
                             rb::fitsRoomMenu(room) && rb::roomRecord(room) == record.text;
      check(strict == backAgain);
      ++index;
    }
    check(index == world.records());
  }
  close(roomFd);
  close(dataFd);
  return 0;
}
