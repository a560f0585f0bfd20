#include "dialogues/transfer/transfer_survey.h"

#include <algorithm>

#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/room_record.h"

namespace rb {

TransferSurvey surveyArea(int roomFd, int dataFd) {
  TransferSurvey survey;
  // The records first, so that the rows, mostly in their order, find their
  // names at once.
  std::vector<std::uint8_t> recordWriters;
  {
    LineReader lines(roomFd);
    RecordReader records(lines);
    RecordText record;
    WorkingRoom room;
    while (records.next(record)) {
      if (record.prologue) continue;
      survey.matching.addRecord(survey.names.intern(record.function));
      survey.lines.push_back(
          static_cast<std::uint32_t>(std::min<long long>(record.line, UINT32_MAX)));
      const bool writers = isWritersRecord(record.text, room);
      recordWriters.push_back(writers ? 1 : 0);
      survey.numbers.push_back(writers ? room.room : headerRoomNumber(record.function));
    }
  }
  // Then the rows, with the fields the writer's own rows give.
  std::vector<std::uint8_t> rowWriters;
  std::vector<int> rowRegions;
  std::vector<std::uint8_t> rowLight, rowTerrain;
  {
    LineReader lines(dataFd);
    DataLineKinds kinds;
    std::string_view line;
    while (lines.next(line)) {
      if (kinds.kindOf(line) != DataLine::Row) continue;
      survey.matching.addRow(
          survey.matching.rowName(survey.names, rowFunctionName(line), survey.matching.rows()));
      const auto fields = writersRow(line);
      rowWriters.push_back(fields ? 1 : 0);
      rowRegions.push_back(fields ? fields->region : 0);
      rowLight.push_back(fields ? static_cast<std::uint8_t>(fields->roomdark) : 0);
      rowTerrain.push_back(fields ? static_cast<std::uint8_t>(fields->roomterrain) : 0);
    }
  }
  survey.matching.finish(survey.names.size());
  const std::size_t records = survey.records();
  survey.editable.assign(records, 0);
  survey.regions.assign(records, 0);
  survey.light.assign(records, 0);
  survey.terrain.assign(records, 0);
  for (std::size_t record = 0; record < records; ++record) {
    const std::int32_t row = survey.matching.rowOf(record);
    if (row == RowMatching::kNone) continue;
    const auto r = static_cast<std::size_t>(row);
    survey.editable[record] = recordWriters[record] && rowWriters[r];
    survey.regions[record] = rowRegions[r];
    survey.light[record] = rowLight[r];
    survey.terrain[record] = rowTerrain[r];
  }
  return survey;
}

}  // namespace rb
