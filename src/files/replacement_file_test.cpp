// A replacement file made of written texts and stretches copied from
// another file: long stretches are copied on a thread of their own while
// what follows is written after them, and the file comes out byte for byte
// as if each piece were written in turn; a source that ends before its
// stretch does is told (EIO, no reason), the replacement not committed.
#include "files/replacement_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "test_support.h"

namespace rb::test {
namespace {

TEST(ReplacementFile, WrittenTextsAndCopiedStretchesOfAnySizeComeOutInOrder) {
  TempDir dir;
  std::mt19937 random(5);
  std::string source(40 << 20, '\0');
  for (char& c : source)
    c = static_cast<char>('a' + random() % 26);
  writeFile(dir.file("source"), source);
  const int from = open(dir.file("source").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(from, 0);
  for (int run = 0; run < 4; ++run) {
    SCOPED_TRACE(run);
    writeFile(dir.file("target"), "old");
    std::vector<ReplacementFile> files(1);
    ASSERT_TRUE(files[0].start(dir.file("target")));
    std::string expected;
    for (int piece = 0; piece < 12; ++piece) {
      const std::size_t length =
          random() % 3 == 0 ? random() % (20 << 20) : random() % 5000;  // beside, or not
      const std::size_t offset = random() % (source.size() - length);
      switch (random() % 3) {
        case 0:
          ASSERT_TRUE(
              files[0].copyFrom(from, static_cast<off_t>(offset), static_cast<off_t>(length)));
          expected.append(source, offset, length);
          break;
        case 1: {
          std::string text(length, static_cast<char>('A' + piece));
          expected += text;
          ASSERT_TRUE(files[0].writeTaking(text));
          break;
        }
        default:
          ASSERT_TRUE(files[0].write(std::string(length % 300, '-')));
          expected.append(length % 300, '-');
      }
    }
    ASSERT_TRUE(files[0].finishWriting());
    ASSERT_TRUE(commitReplacements(files).done);
    EXPECT_EQ(readFile(dir.file("target")), expected);
  }
  close(from);
}

TEST(ReplacementFile, ASourceThatEndsBeforeItsStretchIsTold) {
  TempDir dir;
  writeFile(dir.file("source"), std::string(1 << 20, 's'));
  writeFile(dir.file("target"), "old");
  const int from = open(dir.file("source").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(from, 0);
  for (const off_t length : {off_t{2} << 20, off_t{64} << 20}) {  // at once, and beside
    SCOPED_TRACE(length);
    ReplacementFile file;
    ASSERT_TRUE(file.start(dir.file("target")));
    errno = 0;
    const bool copied = file.copyFrom(from, 0, length) && file.copiesDone();
    EXPECT_FALSE(copied);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(file.reason(), "");
  }
  close(from);
  EXPECT_EQ(readFile(dir.file("target")), "old");
}

}  // namespace
}  // namespace rb::test
