// The background writer: blocks written whole and in order, whatever their
// sizes and whether copied or taken; a failed write told at the next hand-over or wait, and nothing
// handed over after it written.
#include "files/background_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "test_support.h"

namespace rb::test {
namespace {

TEST(BackgroundWriter, BlocksOfAnySizeArriveWholeAndInOrder) {
  TempDir dir;
  std::mt19937 random(7);
  for (int run = 0; run < 5; ++run) {
    const std::string name = dir.file("out" + std::to_string(run));
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    std::string expected;
    {
      BackgroundWriter writer(fd);
      for (int block = 0; block < 40; ++block) {
        // From empty to a few megabytes, each byte telling its block.
        const std::size_t size = random() % 4 == 0 ? random() % (3 << 20) : random() % 100;
        std::string text(size, static_cast<char>('a' + block % 26));
        expected += text;
        // Handed over as a copy, or taken (the text left empty, to be
        // filled again without disturbing what is written).
        if (random() % 2 == 0) {
          ASSERT_TRUE(writer.write(text));
        } else {
          ASSERT_TRUE(writer.writeTaking(text));
          EXPECT_TRUE(text.empty());
          text.assign(size, '!');
        }
      }
      ASSERT_TRUE(writer.wait());
    }
    close(fd);
    EXPECT_EQ(readFile(name), expected) << run;
  }
}

TEST(BackgroundWriter, AFailedWriteIsToldAndStopsTheRest) {
  const int fd = open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  BackgroundWriter writer(fd);
  EXPECT_TRUE(writer.write(std::string(1 << 20, 'x')));  // handed over: its failure comes later
  errno = 0;
  EXPECT_FALSE(writer.wait());
  EXPECT_EQ(errno, ENOSPC);
  errno = 0;
  EXPECT_FALSE(writer.write("more"));
  EXPECT_EQ(errno, ENOSPC);
  close(fd);
}

}  // namespace
}  // namespace rb::test
