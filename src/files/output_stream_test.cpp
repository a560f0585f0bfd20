// The output stream: what is printed arrives whole and in order, whether
// written in place or on the writer's thread, and all of it is written when
// a flush returns (a message to standard error after it comes after it); a
// failed write is kept and ends the writing.
#include "files/output_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "test_support.h"

namespace rb::test {
namespace {

TEST(OutputStream, EverythingPrintedIsWrittenInOrderAndByEachFlush) {
  TempDir dir;
  const std::string name = dir.file("out");
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  std::mt19937 random(11);
  std::string expected;
  {
    OutputStream out(fd);
    for (int piece = 0; piece < 3000; ++piece) {
      // Mostly short lines, now and then a long one, and direct appends.
      const std::size_t size = random() % 50 == 0 ? random() % (600 << 10) : random() % 80;
      const std::string text(size, static_cast<char>('a' + piece % 26));
      if (piece % 3 == 0) {
        out.buffer() += text;
        out.print(piece, "\n");
      } else {
        out.print(text, piece, "\n");
      }
      expected += text + std::to_string(piece) + "\n";
      if (random() % 400 == 0) {
        ASSERT_TRUE(out.flush());
        EXPECT_EQ(readFile(name), expected) << piece;
      }
    }
    ASSERT_TRUE(out.flush());
    EXPECT_EQ(readFile(name), expected);
    out.print("after the last flush\n");
    expected += "after the last flush\n";
  }
  close(fd);
  EXPECT_EQ(readFile(name), expected);
}

TEST(OutputStream, AFailedWriteIsKeptAndEndsTheWriting) {
  const int fd = open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  OutputStream out(fd);
  const std::string line(1000, 'x');
  for (int k = 0; k < 3000; ++k)  // blocks written in place, then on the thread
    out.print(line, "\n");
  EXPECT_FALSE(out.flush());
  EXPECT_TRUE(out.failed());
  EXPECT_EQ(out.error(), ENOSPC);
  out.print("more\n");
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(out.error(), ENOSPC);
  close(fd);
}

}  // namespace
}  // namespace rb::test
