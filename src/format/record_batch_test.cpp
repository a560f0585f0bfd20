// Records parsed on a second thread, a batch at a time: each record and
// prologue line is kept in file order, whole, with what its parse said,
// exactly as when read on one thread; a batch is full at its count of
// records, or sooner at its bytes when the records are large.
#include "format/record_batch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "test_support.h"

namespace rb::test {
namespace {

TEST(RecordBatch, FullAtItsRecordsOrSoonerAtItsBytes) {
  const std::string small = "vosmerl_1(user,com,dir)\n{\n}\n\n";
  const std::string large(300 * 1024, 'x');
  for (const std::string* bytes : {&small, &large}) {
    RecordBatch<int> batch;
    RecordText text;
    text.text = *bytes;
    while (!batch.full())
      batch.add(text);
    const std::size_t expected = bytes == &small
                                     ? RecordBatch<int>::kRecords
                                     : (RecordBatch<int>::kBytes + large.size() - 1) / large.size();
    EXPECT_EQ(batch.size(), expected);
    EXPECT_EQ(batch.text(batch.size() - 1).text, *bytes);
    // The room of a large record lets its memory go with the batch; that
    // of a small one keeps it for the next.
    batch.rooms[0].shortname.assign(bytes->size(), 'y');
    batch.clear();
    EXPECT_EQ(batch.size(), 0u);
    if (bytes == &large) {
      EXPECT_LT(batch.rooms[0].shortname.capacity(), large.size());
    } else {
      EXPECT_GE(batch.rooms[0].shortname.capacity(), small.size());
    }
  }
}

// What keep saw of each record: its bytes, line, place, and the parse's
// result (the record's size, as parsed on whichever thread).
std::vector<std::string> keptFrom(const std::string& path, bool beside) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_GE(fd, 0);
  LineReader lines(fd);
  RecordReader records(lines);
  std::vector<std::string> kept;
  readRecords<std::size_t>(
      records, beside,
      [](const RecordText& text, WorkingRoom& room, std::string&) {
        room.room = static_cast<int>(text.line);
        return text.text.size();
      },
      [&](const RecordText& text, const WorkingRoom& room, std::size_t parsed) {
        kept.push_back(std::string(text.text) + "|" + std::to_string(text.line) + "|" +
                       std::to_string(text.offset) + "|" + std::string(text.function) + "|" +
                       (text.prologue ? "prologue" : std::to_string(room.room)) + "|" +
                       std::to_string(parsed));
      });
  close(fd);
  return kept;
}

TEST(RecordBatch, RecordsOfAnySizeAreKeptInOrderAsReadOnOneThread) {
  TempDir dir;
  std::string text = "/* a prologue */\n#include <x.h>\n";
  for (int n = 1; n <= 5000; ++n) {
    text += "vosmerl_" + std::to_string(n) + "(user,com,dir)\n{\n";
    // Now and then a record of hundreds of kilobytes, which fills a batch
    // by its bytes.
    const auto body = static_cast<std::size_t>(n % 700 == 0 ? 200 * 1024 + n : n % 13);
    text += std::string(body, static_cast<char>('a' + n % 26)) + "\n}\n\n";
  }
  const std::string path = dir.file("rooms.c");
  writeFile(path, text);
  const std::vector<std::string> together = keptFrom(path, true);
  EXPECT_EQ(together.size(), 5002u);
  EXPECT_EQ(together, keptFrom(path, false));
}

}  // namespace
}  // namespace rb::test
