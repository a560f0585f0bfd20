#include "dialogues/transfer/transfer_survey.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include "format/data_row.h"
#include "format/room_record.h"

namespace rb {
namespace {

int memoryFile(const std::string& text) {
  const int fd = memfd_create("survey", MFD_CLOEXEC);
  EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  lseek(fd, 0, SEEK_SET);
  return fd;
}

TEST(TransferSurvey, RecordsRowsLinesAndMatching) {
  WorkingRoom a;
  a.tempregionname = "r";
  a.room = 1;
  a.exitd.fill(kNoExit);
  a.exitd[1] = 2;
  a.roomterrain = 3;
  a.roomdark = 1;
  a.shortname = "A";
  a.lines = -1;
  WorkingRoom b = a;
  b.room = 2;
  b.shortname = "B";
  AreaDefaults area;
  area.region = 4;
  // A prologue; record 1; a hand-edited record 2 (one extra blank); record 1
  // again; in the data file a comment named like a room (no row), a row of
  // no room, then the rows in another order.
  const std::string prologue = "/* area r */\n#include \"x.h\"\n";
  const std::string handEdited = roomRecord(b) + "\n";
  const std::string roomText = prologue + roomRecord(a) + handEdited + roomRecord(a);
  const std::string dataText =
      "/* rl_1 */\nzzz,1\n" + dataRow(b, area) + dataRow(a, area) + dataRow(a, area);
  const int roomFd = memoryFile(roomText), dataFd = memoryFile(dataText);
  const TransferSurvey survey = surveyArea(roomFd, dataFd);
  close(roomFd);
  close(dataFd);
  ASSERT_EQ(survey.records(), 3u);
  EXPECT_EQ(survey.lines, (std::vector<std::uint32_t>{3, 3 + 13, 3 + 13 + 14}));
  EXPECT_EQ(survey.numbers, (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(survey.editable, (std::vector<std::uint8_t>{1, 0, 1}));
  // Rows are the data file's lines that are rows: zzz, rl_2, rl_1, rl_1.
  EXPECT_EQ(survey.matching.rows(), 4u);
  EXPECT_EQ(survey.matching.rowOf(0), 2);
  EXPECT_EQ(survey.matching.rowOf(1), 1);
  EXPECT_EQ(survey.matching.rowOf(2), 3);
  EXPECT_EQ(survey.matching.recordOf(0), RowMatching::kNone);
  EXPECT_EQ(survey.regions[0], 4);
  EXPECT_EQ(survey.terrain[2], 3);
  EXPECT_EQ(survey.light[2], 1);
}

}  // namespace
}  // namespace rb
