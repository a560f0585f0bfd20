// The streaming readers of room files and data files: what they split a
// file into, where the explorer's reading differs from the whole-file one,
// and files that cannot be held.
#include "area/area_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "area/data_row.h"
#include "area/room_record.h"
#include "old_area_files.h"
#include "room_generator.h"
#include "test_support.h"
#include "transfer/transfer_survey.h"

namespace rb {
namespace {

// A file in memory, read from its start.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& text) : fd_(memfd_create("area", MFD_CLOEXEC)) {
    EXPECT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    lseek(fd_, 0, SEEK_SET);
  }
  ~MemoryFile() { close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

struct Split {
  std::vector<std::string> prologue;
  std::vector<std::string> records;
  std::vector<long long> lines;
  std::vector<std::string> functions;
};

Split split(const std::string& text) {
  MemoryFile file(text);
  LineReader lines(file.fd());
  RecordReader reader(lines);
  RecordText record;
  Split parts;
  while (reader.next(record)) {
    if (record.prologue) {
      parts.prologue.emplace_back(record.text);
      continue;
    }
    parts.records.emplace_back(record.text);
    parts.lines.push_back(record.line);
    parts.functions.emplace_back(record.function);
  }
  return parts;
}

WorkingRoom room(int number, const std::string& name) {
  WorkingRoom r;
  r.room = number;
  r.tempregionname = "r";
  r.shortname = name;
  r.lines = -1;
  r.exitd.fill(kNoExit);
  r.roomterrain = 1;
  r.roomdark = 1;
  return r;
}

TEST(RecordReader, SplitsAtHeaderLinesKeepingEveryByte) {
  const std::string a = roomRecord(room(1, "A")), b = roomRecord(room(2, "B"));
  const std::string prologue = "/* area r */\n#include \"r.h\"\n";
  // The last record without its final line break; a hand-written line in
  // between stays with the record before it.
  const std::string text = prologue + a + "/* between */\n" + b.substr(0, b.size() - 1);
  const Split parts = split(text);
  EXPECT_EQ(parts.prologue, (std::vector<std::string>{"/* area r */\n", "#include \"r.h\"\n"}));
  ASSERT_EQ(parts.records.size(), 2u);
  EXPECT_EQ(parts.records[0], a + "/* between */\n");
  EXPECT_EQ(parts.records[1], b.substr(0, b.size() - 1));
  EXPECT_EQ(parts.lines, (std::vector<long long>{3, 17}));
  EXPECT_EQ(parts.functions, (std::vector<std::string>{"rl_1", "rl_2"}));
  EXPECT_TRUE(split("").records.empty());
}

TEST(RecordReader, RecordsLargerThanOneReadAndCrLfLineEnds) {
  // Records long enough to cross the reader's blocks many times.
  std::string text;
  for (int n = 0; n < 3000; ++n) {
    WorkingRoom r = room(n, std::string(49, 'n'));
    r.lines = 9;
    for (auto& line : r.ldesc)
      line.assign(99, static_cast<char>('a' + n % 26));
    text += roomRecord(r);
  }
  const Split parts = split(text);
  ASSERT_EQ(parts.records.size(), 3000u);
  std::string joined;
  for (const std::string& record : parts.records)
    joined += record;
  EXPECT_EQ(joined, text);

  // A record saved with CR LF reads as the same fields, and is not the writer's.
  std::string crlf;
  for (const char c : roomRecord(room(5, "Hall"))) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  MemoryFile file(crlf);
  LineReader lines(file.fd());
  RecordReader reader(lines);
  RecordText record;
  ASSERT_TRUE(reader.next(record));
  EXPECT_EQ(record.function, "rl_5");
  EXPECT_EQ(lines.firstCrLfLine(), 1);
  std::string scratch;
  WorkingRoom fields;
  EXPECT_TRUE(parseRoomRecord(withLfLineEnds(record.text, scratch), fields));
  EXPECT_EQ(fields.shortname, "Hall");
  EXPECT_FALSE(writersRecord(record.text));
}

TEST(LineReader, ALineThatNeverEndsIsTooLarge) {
  const int fd = open("/dev/zero", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  LineReader lines(fd);
  std::string_view line;
  bool tooLarge = false;
  try {
    lines.next(line);
  } catch (const AreaReadError& error) {
    tooLarge = error.tooLarge;
  }
  close(fd);
  EXPECT_TRUE(tooLarge);
}

// The explorer's fixed line counts and the whole-file reading agree on what
// the writer writes, and differ, as intended, on two kinds of other files.
TEST(FixedRecordReader, WhereTheExplorersReadingDiffers) {
  const std::string a = roomRecord(room(1, "A")), b = roomRecord(room(2, "B"));
  const auto fixed = [](const std::string& text) {
    MemoryFile file(text);
    LineReader lines(file.fd());
    FixedRecordReader reader(lines);
    FixedRecordText record;
    std::vector<std::string> headers;
    while (reader.next(record))
      headers.emplace_back(record.header);
    return headers;
  };
  EXPECT_EQ(fixed(a + b),
            (std::vector<std::string>{"rl_1(user,com,dir)\n", "rl_2(user,com,dir)\n"}));
  EXPECT_EQ(split(a + b).records.size(), 2u);
  // Text before the first record: the whole-file reader's prologue; for the
  // explorer a line without an underscore ends the reading at once.
  EXPECT_TRUE(fixed("/* the town */\n" + a + b).empty());
  EXPECT_EQ(split("/* the town */\n" + a + b).records.size(), 2u);
  // A comment that holds an underscore is read as a header, and the lines
  // after it out of step.
  EXPECT_NE(fixed("/* room_1 */\n" + a + b).front(), "rl_1(user,com,dir)\n");
  // Two records of one number: both are records of the file; the explorer
  // reads both too, and its map keeps the later one.
  EXPECT_EQ(fixed(a + a).size(), 2u);
  EXPECT_EQ(split(a + a).records.size(), 2u);
}

// The streaming survey against the whole-file reader it replaced, on the
// fuzz corpus and on generated areas bent out of the writer's shape: the
// same records, the same lines, the same rows matched, the same rooms
// editable. (Lines of a data file that are no rows, comments and the like,
// are no longer matched to records: none of these files has one that would
// be.)
TEST(AreaReader, TheStreamingSurveyAgreesWithTheWholeFileReader) {
  std::vector<std::pair<std::string, std::string>> areas;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(RB_TESTS_DIR) + "/fuzz/corpus/area_files")) {
    const std::string all = test::readFile(entry.path().string());
    if (all.size() < 2) continue;
    const std::size_t split = (std::size_t{static_cast<unsigned char>(all[0])} |
                               std::size_t{static_cast<unsigned char>(all[1])} << 8) %
                              (all.size() - 1);
    areas.emplace_back(all.substr(2, split), all.substr(2 + split));
  }
  test::RoomGenerator generate(17);
  std::mt19937 random(17);
  for (int area = 0; area < 200; ++area) {
    std::vector<std::string> records, rows;
    for (int k = 0; k < 12; ++k) {
      WorkingRoom r = generate.room();
      AreaDefaults defaults;
      defaults.region = k;
      records.push_back(roomRecord(r));
      rows.push_back(dataRow(r, defaults));
      // Hand edits, duplicates, rows lost or out of order.
      switch (random() % 8) {
        case 0:
          records.back().insert(records.back().find('\n') + 1, "/* edited */\n");
          break;
        case 1:
          records.push_back(records.back());
          break;
        case 2:
          rows.pop_back();
          break;
        case 3:
          std::swap(rows.front(), rows.back());
          break;
        default:
          break;
      }
    }
    std::string roomText = area % 3 == 0 ? "/* prologue */\n" : "";
    for (const std::string& record : records)
      roomText += record;
    std::string dataText;
    for (const std::string& row : rows)
      dataText += row;
    areas.emplace_back(roomText, dataText);
  }
  for (const auto& [roomText, dataText] : areas) {
    const AreaFiles old = readAreaFiles(roomText, dataText);
    MemoryFile roomFile(roomText), dataFile(dataText);
    const TransferSurvey survey = surveyArea(roomFile.fd(), dataFile.fd());
    ASSERT_EQ(survey.records(), old.records.size()) << roomText;
    // The data file's rows by line, for comparing rows by where they are.
    std::vector<int> rowLines;
    DataLineKinds kinds;
    int lineNumber = 0;
    for (std::size_t pos = 0; pos < dataText.size();) {
      const std::size_t end = dataText.find('\n', pos);
      const std::size_t next = end == std::string::npos ? dataText.size() : end + 1;
      ++lineNumber;
      if (kinds.kindOf(std::string_view(dataText).substr(pos, next - pos)) == DataLine::Row)
        rowLines.push_back(lineNumber);
      pos = next;
    }
    for (std::size_t r = 0; r < survey.records(); ++r) {
      const RoomRecord& was = old.records[r];
      EXPECT_EQ(survey.lines[r], static_cast<std::uint32_t>(was.line));
      EXPECT_EQ(survey.numbers[r], was.room.room);
      EXPECT_EQ(survey.editable[r] != 0, was.editable) << was.text;
      const std::int32_t row = survey.matching.rowOf(r);
      const int oldLine = was.row < 0 ? 0 : old.rows[static_cast<std::size_t>(was.row)].line;
      EXPECT_EQ(row < 0 ? 0 : rowLines[static_cast<std::size_t>(row)], oldLine) << was.text;
      if (was.editable) {
        EXPECT_EQ(survey.regions[r], was.area.region);
      }
    }
  }
}

}  // namespace
}  // namespace rb
