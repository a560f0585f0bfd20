// Writing whole texts: at a place of a file without moving its offset, and
// a failure told by errno.
#include "base/write_all.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "test_support.h"

namespace rb::test {
namespace {

TEST(WriteAll, AtAPlaceLeavesTheOffsetWhereItWas) {
  TempDir dir;
  const std::string name = dir.file("f");
  const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const std::string later(300000, 'b');
  ASSERT_TRUE(writeAllAt(fd, later, 5));  // a hole before it, filled next
  ASSERT_TRUE(writeAll(fd, "aaaaa"));
  EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 5);
  close(fd);
  EXPECT_EQ(readFile(name), "aaaaa" + later);

  const int readOnly = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(readOnly, 0);
  errno = 0;
  EXPECT_FALSE(writeAllAt(readOnly, "x", 0));
  EXPECT_EQ(errno, EBADF);
  close(readOnly);
}

}  // namespace
}  // namespace rb::test
