// Numbered backups: the smallest free number, nothing ever replaced, no
// temporary file left behind.
#include "files/numbered_backup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace rb::test {
namespace {

BackupOutcome backUp(const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY);
  const BackupOutcome outcome = keepNumberedBackup(fd, name, 0640);
  close(fd);
  return outcome;
}

TEST(NumberedBackup, TakesTheSmallestFreeNumberAndReplacesNothing) {
  TempDir dir;
  const std::string area = dir.file("area.c");
  writeFile(area, "rooms\n");
  writeFile(area + ".~1~", "first\n");
  // A dangling symbolic link holds its name as much as a file does.
  ASSERT_EQ(symlink(dir.file("nowhere").c_str(), (area + ".~2~").c_str()), 0);
  writeFile(area + ".~4~", "fourth\n");
  BackupOutcome outcome = backUp(area);
  ASSERT_TRUE(outcome.kept);
  EXPECT_EQ(outcome.name, area + ".~3~");
  EXPECT_EQ(readFile(area + ".~3~"), "rooms\n");
  struct stat info {};
  ASSERT_EQ(stat((area + ".~3~").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(readFile(area + ".~1~"), "first\n");
  EXPECT_FALSE(fileExists(dir.file("nowhere")));
  outcome = backUp(area);
  EXPECT_EQ(outcome.name, area + ".~5~");
  EXPECT_EQ(backupNotice(area, outcome.name),
            "The old contents of " + area + " are kept in " + area + ".~5~.\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            6);
}

TEST(NumberedBackup, AFailedCopyLeavesNothingBehind) {
  TempDir dir;
  const std::string area = dir.file("area.c");
  writeFile(area, "rooms\n");
  const int writeOnly = open(area.c_str(), O_WRONLY);  // cannot be read from
  const BackupOutcome outcome = keepNumberedBackup(writeOnly, area, 0644);
  close(writeOnly);
  EXPECT_FALSE(outcome.kept);
  EXPECT_EQ(outcome.name, area + ".~1~");
  EXPECT_EQ(outcome.error, EBADF);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace rb::test
