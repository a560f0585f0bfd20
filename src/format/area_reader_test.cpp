// The streaming readers of room files and data files: what they split a
// file into, where the explorer's reading differs from the whole-file one,
// and files that cannot be held.
#include "format/area_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include "format/room_record.h"

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

}  // namespace
}  // namespace rb
