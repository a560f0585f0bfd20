// libFuzzer target: the streaming readers of the transfer, check, map and
// link on an arbitrary room file and data file. The first two bytes give
// the length of the room file; the rest after it is the data file.
//
// Checks: nothing of the room file is dropped or doubled between its
// prologue and its records; rows and records are matched both ways at most
// once; every room called editable is the writer's own, record and row; and
// the survey agrees with the whole-file reader it replaced.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "area/area_reader.h"
#include "area/data_row.h"
#include "area/room_record.h"
#include "old_area_files.h"
#include "transfer/transfer_survey.h"

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

  lseek(roomFd, 0, SEEK_SET);
  const rb::TransferSurvey survey = rb::surveyArea(roomFd, dataFd);
  const rb::AreaFiles old = rb::readAreaFiles(roomText, dataText);
  check(survey.records() == old.records.size());
  // The old reader took every line of the data file for a row; lines that
  // are no rows (comments and the like) are no longer matched to records.
  // Where such a line is named like a record, the two differ on purpose.
  bool comparable = true;
  {
    std::set<std::string> functions;
    for (const rb::RoomRecord& record : old.records)
      functions.insert(record.function);
    rb::DataLineKinds kinds;
    for (const rb::DataRow& row : old.rows) {
      const rb::DataLine kind = kinds.kindOf(row.text);
      if (kind != rb::DataLine::Row && functions.count(row.function) != 0) comparable = false;
    }
  }
  for (std::size_t r = 0; r < survey.records(); ++r) {
    const std::int32_t row = survey.matching.rowOf(r);
    if (row != rb::RowMatching::kNone) {
      check(survey.matching.recordOf(static_cast<std::size_t>(row)) ==
            static_cast<std::int32_t>(r));
    }
    if (comparable) check((survey.editable[r] != 0) == old.records[r].editable);
    check(survey.numbers[r] == old.records[r].room.room);
    if (survey.editable[r]) check(rb::writersRecord(old.records[r].text).has_value());
  }
  close(roomFd);
  close(dataFd);
  return 0;
}
