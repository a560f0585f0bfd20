// The files an area build writes, as the user's safety net: kept copies,
// locks against a second run, saves that never tear, and the traps of
// closed, non-blocking or unreadable descriptors and files.
#include "dialogues/builder/room_files.h"
#include "format/data_row.h"
#include "format/room_record.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "pty_session.h"
#include "test_support.h"
#include "transcript_texts.h"

namespace rb::test {
namespace {

// Keystrokes of a whole build of rooms `range` ("1 2") in region r, each
// room saved at once.
std::string build(char mode, const std::string& rooms, const std::string& data,
                  const std::string& range, int saves) {
  return std::string(1, mode) + rooms + "\n" + data + "\n" + range + "\ny" + "r\n1\nn1\n" +
         std::string(static_cast<std::size_t>(saves), '0');
}

// The names of the files in `dir`.
std::set<std::string> namesIn(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.insert(entry.path().filename().string());
  return names;
}

class RoomFilesTest : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string rooms = dir.file("rooms.c");
  const std::string data = dir.file("rooms.dat");
};

TEST_F(RoomFilesTest, KeyOneKeepsTheOldAreaBeforeEmptyingIt) {
  writeFile(rooms, "old rooms\n");
  writeFile(data, "old rows\n");
  writeFile(rooms + "~", "an older copy\n");
  writeFile(rooms + ".~1~", "the first backup\n");
  RunResult run = runInProcess(build('1', rooms, data, "1 1", 1) + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(kNewFilePrompts + "The old contents of " + rooms + " are kept in " +
                         rooms + ".~2~.\n" + kNewDataPrompt + "The old contents of " + data +
                         " are kept in " + data + ".~1~.\n"),
            std::string::npos);
  EXPECT_EQ(readFile(rooms + ".~2~"), "old rooms\n");
  EXPECT_EQ(readFile(data + ".~1~"), "old rows\n");
  EXPECT_EQ(readFile(rooms + "~"), "an older copy\n");  // no backup replaces anything
  EXPECT_EQ(readFile(rooms + ".~1~"), "the first backup\n");
  EXPECT_FALSE(fileExists(data + "~"));
  EXPECT_EQ(readFile(data), "rl_1,1,0,0,1,1,0,0,1,\"\",\n");

  // Empty files and devices are not copied; appending copies nothing.
  writeFile(rooms, "");
  run = runInProcess(build('1', rooms, "/dev/null", "1 1", 1) + build('2', rooms, data, "2 2", 1));
  EXPECT_EQ(run.out.find("old contents"), std::string::npos);
  EXPECT_FALSE(fileExists(rooms + ".~3~"));
  EXPECT_FALSE(fileExists("/dev/null.~1~"));
}

TEST_F(RoomFilesTest, EmptyNamesAtTheFilePromptsAskAgain) {
  const RunResult run =
      runInProcess("1\n\n" + rooms + "\n\n" + data + "\n1 1\ny" + "r\n1\nn1\n0" + "2\n" + rooms +
                   "\n\n" + data + "\n2 2\ny" + "r\n1\nn1\n0" + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(kMainMenu + kNewFilePrompts + kNewFilePrompts + kNewFilePrompts +
                         kNewDataPrompt + kNewDataPrompt + countQuestion(1)),
            std::string::npos);
  EXPECT_NE(run.out.find(kMainMenu + kAppendRoomPrompt + kAppendRoomPrompt + kAppendDataPrompt +
                         kAppendDataPrompt + countQuestion(1)),
            std::string::npos);
  EXPECT_EQ(readFile(data), "rl_1,1,0,0,1,1,0,0,1,\"\",\nrl_2,1,0,0,1,1,0,0,1,\"\",\n");
}

TEST_F(RoomFilesTest, AFileAnotherRunHoldsIsRefusedAndLeftAlone) {
  // The first run waits at the room menu, holding both files.
  PtySession first(dir.path());
  first.startArea("rooms.c", "rooms.dat");

  const std::string inUse = "That file is in use by another run of the program.\n";
  // A second run: new mode on the room file, then append to a free room file
  // with the held data file.
  const RunResult second = runBinary(
      "1rooms.c\nother.c\nother.dat\n1 1\ny"
      "r\n1\nn1\n0"
      "2free.c\nrooms.dat\n",
      dir.path());
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.out.find(kNewFilePrompts + inUse + kNewFilePrompts + kNewDataPrompt),
            std::string::npos);
  EXPECT_NE(second.out.find(kAppendDataPrompt + inUse + kAppendDataPrompt), std::string::npos);
  EXPECT_FALSE(fileExists(rooms + ".~1~"));

  ASSERT_TRUE(first.waitForFlags(ICANON | ECHO, false));
  first.send("0");
  first.readUntil("s: Edit Setup of Tov.\r\n");
  ASSERT_TRUE(first.waitForFlags(ICANON | ECHO, false));
  first.send("0");
  EXPECT_EQ(first.wait(), 0);
  EXPECT_EQ(readFile(data), "rl_1,1,0,0,1,1,0,0,1,\"\",\n");
  EXPECT_EQ(readFile(rooms).rfind("rl_1(user,com,dir)\n", 0), 0u);
}

// A save that the file size limit cuts short leaves whole records: both
// files are cut back to where they were before it.
TEST_F(RoomFilesTest, ASaveCutShortLeavesNoTornRecord) {
  const RunResult whole = runInProcess(build('1', rooms, data, "1 1", 1));
  const std::string record = readFile(rooms), row = readFile(data);
  // The program itself must not die of SIGXFSZ: the test leaves it at its
  // default action.
  const auto limitTo = [](rlim_t bytes) {
    return [bytes] {
      signal(SIGXFSZ, SIG_DFL);
      struct rlimit limit = {bytes, bytes};
      setrlimit(RLIMIT_FSIZE, &limit);
    };
  };
  // The second record does not fit into the room file.
  RunResult run = runBinary(build('1', "rooms.c", "rooms.dat", "1 3", 3), dir.path(), {},
                            limitTo(record.size() + 100));
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, "9: See summary of room.\nFatal Error - File not writing.\n"));
  EXPECT_EQ(run.err, "roombuilder: rooms.c: File too large\n");
  EXPECT_EQ(readFile(rooms), record);
  EXPECT_EQ(readFile(data), row);

  // The record fits but the row does not: the record is taken back.
  writeFile(data, std::string(record.size() + 90, '#'));
  writeFile(rooms, "");
  run = runBinary(build('2', "rooms.c", "rooms.dat", "1 1", 1), dir.path(), {},
                  limitTo(record.size() + 100));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "roombuilder: rooms.dat: File too large\n");
  EXPECT_EQ(readFile(rooms), "");
  EXPECT_EQ(readFile(data), std::string(record.size() + 90, '#'));

  // The backup of a file larger than the limit cannot be written: the file
  // is not emptied, and no temporary file stays behind.
  std::filesystem::remove(rooms + ".~1~");
  std::filesystem::remove(data + ".~1~");
  const std::string large(4096, 'x');
  writeFile(rooms, large);
  run = runBinary(build('1', "rooms.c", "rooms.dat", "1 1", 1), dir.path(), {}, limitTo(1000));
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, kNewFilePrompts + "Fatal Error - File not opening.\n"));
  EXPECT_EQ(run.err, "roombuilder: rooms.c.~1~: File too large\n");
  EXPECT_EQ(readFile(rooms), large);
  EXPECT_EQ(namesIn(dir), (std::set<std::string>{"rooms.c", "rooms.dat"}));
}

// Every way an earlier version lost a whole area: each backup went to
// NAME~, replacing whatever had that name.
TEST_F(RoomFilesTest, RestoringAnAreaFromItsBackupsWithKeyThree) {
  const std::string area = dir.file("area.c"), areaData = dir.file("area.dat");
  runInProcess(build('1', area, areaData, "1 2", 2));
  const std::string realRooms = readFile(area), realRows = readFile(areaData);
  writeFile(area + "~", realRooms);
  writeFile(areaData + "~", realRows);
  writeFile(area, "a scratch area\n");
  writeFile(areaData, "scratch rows\n");
  // From the backups into the files they back up; x at the first room.
  const RunResult run =
      runInProcess("3" + area + "~\n" + areaData + "~\n" + area + "\n" + areaData + "\n\nx0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(area), realRooms);
  EXPECT_EQ(readFile(areaData), realRows);
  EXPECT_EQ(readFile(area + "~"), realRooms);
  EXPECT_EQ(readFile(areaData + "~"), realRows);
  EXPECT_EQ(readFile(area + ".~1~"), "a scratch area\n");
  EXPECT_EQ(readFile(areaData + ".~1~"), "scratch rows\n");
}

TEST_F(RoomFilesTest, TwoNewAreasOnOneFileKeepBothOldContents) {
  writeFile(rooms, "the real area\n");
  writeFile(data, "the real rows\n");
  runInProcess(build('1', rooms, data, "1 1", 1));
  const std::string first = readFile(rooms), firstRows = readFile(data);
  runInProcess(build('1', rooms, data, "2 2", 1));
  EXPECT_EQ(readFile(rooms + ".~1~"), "the real area\n");
  EXPECT_EQ(readFile(data + ".~1~"), "the real rows\n");
  EXPECT_EQ(readFile(rooms + ".~2~"), first);
  EXPECT_EQ(readFile(data + ".~2~"), firstRows);
  EXPECT_EQ(readFile(rooms).rfind("rl_2(user,com,dir)\n", 0), 0u);
  EXPECT_EQ(namesIn(dir), (std::set<std::string>{"rooms.c", "rooms.c.~1~", "rooms.c.~2~",
                                                 "rooms.dat", "rooms.dat.~1~", "rooms.dat.~2~"}));
}

TEST_F(RoomFilesTest, ARoomFileNamedLikeTheDataFilesBackup) {
  const std::string zone = dir.file("zone");
  writeFile(zone, "zone rows\n");
  writeFile(zone + "~", "zone rooms\n");
  const RunResult run = runInProcess(build('1', zone + "~", zone, "1 1", 1) + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("Room editing completed"), std::string::npos);
  EXPECT_EQ(readFile(zone + "~.~1~"), "zone rooms\n");
  EXPECT_EQ(readFile(zone + ".~1~"), "zone rows\n");
  EXPECT_EQ(readFile(zone + "~").rfind("rl_1(user,com,dir)\n", 0), 0u);
  EXPECT_EQ(readFile(zone), "rl_1,1,0,0,1,1,0,0,1,\"\",\n");
}

TEST_F(RoomFilesTest, ABackupNeverReplacesAFileAnotherRunHolds) {
  // The first run builds into W~; the second empties W.
  writeFile(dir.file("W"), "the area W\n");
  PtySession first(dir.path());
  first.startArea("W~", "first.dat");
  const RunResult second = runBinary(build('1', "W", "second.dat", "5 5", 1), dir.path());
  EXPECT_EQ(second.status, 0);
  first.type("0");
  first.readUntil("s: Edit Setup of Tov.\r\n");
  first.type("0");
  EXPECT_EQ(first.wait(), 0);
  EXPECT_EQ(readFile(dir.file("W~")).rfind("rl_1(user,com,dir)\n", 0), 0u);
  EXPECT_EQ(readFile(dir.file("W.~1~")), "the area W\n");
  EXPECT_EQ(readFile(dir.file("W")).rfind("rl_5(user,com,dir)\n", 0), 0u);
}

// A room file or data file that lacks its last line break gets one before
// the first room appended to it; nothing else of it changes.
TEST_F(RoomFilesTest, AppendingToFilesWithoutAFinalLineBreak) {
  writeFile(rooms, "/* the end */");
  writeFile(data, "rl_1,1,0,0,1,1,0,0,1,\"\",");
  // Leaving at once changes nothing.
  runInProcess("2" + rooms + "\n" + data + "\n2 2\nyr\n1\nn1\nx0");
  EXPECT_EQ(readFile(rooms), "/* the end */");
  EXPECT_EQ(readFile(data), "rl_1,1,0,0,1,1,0,0,1,\"\",");
  runInProcess(build('2', rooms, data, "2 3", 2));
  const std::string text = readFile(rooms);
  EXPECT_EQ(text.rfind("/* the end */\nrl_2(user,com,dir)\n", 0), 0u) << text;
  EXPECT_NE(text.find("}\n\nrl_3(user,com,dir)\n"), std::string::npos);
  EXPECT_EQ(readFile(data),
            "rl_1,1,0,0,1,1,0,0,1,\"\",\nrl_2,1,0,0,1,1,0,0,1,\"\",\nrl_3,1,0,0,1,1,0,0,1,\"\",\n");
}

// On a terminal, saved rooms are synced before the program waits for a key:
// once per wait, not once per room. A transfer that copies 9,999 rooms before
// the one the user edits syncs each new file once at that wait and once when
// it ends.
TEST_F(RoomFilesTest, ATransferOnATerminalSyncsOncePerWait) {
  std::string roomText, dataText;
  for (int number = 1; number <= 10000; ++number) {
    WorkingRoom room;
    room.room = number;
    room.tempregionname = "big";
    room.shortname = "A room";
    room.lines = -1;
    room.exitd.fill(kNoExit);
    room.roomterrain = 1;
    room.roomdark = 1;
    roomText += roomRecord(room);
    dataText += dataRow(room, AreaDefaults());
  }
  writeFile(rooms, roomText);
  writeFile(data, dataText);
  PtyOptions traced;
  // The leak check of the sanitizer build cannot run under a tracer.
  traced.wrapper = {"env", "ASAN_OPTIONS=detect_leaks=0", "strace", "-qq",
                    "-e",  "trace=fsync,fdatasync",       "-o",     dir.file("syncs")};
  PtySession session(dir.path(), traced);
  session.readUntil("s: Edit Setup of Tov.\r\n");
  const std::pair<std::string, std::string> steps[] = {
      {"3", "transfer from.\r\n"},
      {"rooms.c\r", "room data file.\r\n"},
      {"rooms.dat\r", "new room file.\r\n"},
      {"new.c\r", "new room data file.\r\n"},
      {"new.dat\r", "(Enter for the first)\r\n"},
      {"10000\r", "9: See summary of room.\r\n"},
      {"x", "s: Edit Setup of Tov.\r\n"},
      {"0", "Thank you for using Varneth Room Builder.\r\n"}};
  for (const auto& [keys, until] : steps) {
    session.type(keys);
    session.readUntil(until);
  }
  EXPECT_EQ(session.wait(), 0);
  EXPECT_EQ(readFile(dir.file("new.c")), roomText);
  const std::string syncs = readFile(dir.file("syncs"));
  std::size_t count = 0;
  for (std::size_t at = syncs.find("sync("); at != std::string::npos;
       at = syncs.find("sync(", at + 1))
    ++count;
  // One sync of each file per wait, and the folder of each new file once,
  // when it is put in place.
  EXPECT_EQ(count, 6u) << syncs;
}

// A FIFO nobody reads does not open, at once: no run hangs on it.
TEST_F(RoomFilesTest, AFifoAsTheNewRoomFileDoesNotOpen) {
  ASSERT_EQ(mkfifo(rooms.c_str(), 0644), 0);
  const RunResult run = runBinary(build('1', "rooms.c", "rooms.dat", "1 1", 1), dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, kNewFilePrompts + "Fatal Error - File not opening.\n"));
  EXPECT_EQ(run.err, "roombuilder: rooms.c: No such device or address\n");
}

TEST_F(RoomFilesTest, FatalErrorsNameTheFileAndTheReasonOnStandardError) {
  RunResult run = runBinary(build('1', "/dev/full", "rooms.dat", "1 1", 1), dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, "Fatal Error - File not writing.\n"));
  EXPECT_EQ(run.err, "roombuilder: /dev/full: No space left on device\n");
  run = runBinary("1no/such/dir/rooms.c\n", dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, "Fatal Error - File not opening.\n"));
  EXPECT_EQ(run.err, "roombuilder: no/such/dir/rooms.c: No such file or directory\n");
}

// A room file that may be written but not read cannot have its contents
// kept: it is not emptied, and the build ends as for a file that does not
// open. (Run as an ordinary user: the superuser may read anything.)
TEST_F(RoomFilesTest, AFileThatMayOnlyBeWrittenIsNotEmptied) {
  chmod(dir.path().c_str(), 0777);
  writeFile(rooms, "old\n");
  chmod(rooms.c_str(), 0222);
  const std::string keys = build('1', "rooms.c", "rooms.dat", "1 1", 1);
  RunResult run;
  if (getuid() == 0) {
    constexpr unsigned kNobody = 65534;
    chown(rooms.c_str(), kNobody, kNobody);
    run = runBinaryAsUser(kNobody, keys, dir.path());
    if (run.status == kCannotRunAsUser) GTEST_SKIP() << "user 65534 cannot reach " << dir.path();
  } else {
    run = runBinary(keys, dir.path());
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, "Fatal Error - File not opening.\n")) << run.out;
  EXPECT_FALSE(fileExists(rooms + ".~1~"));
  chmod(rooms.c_str(), 0644);
  EXPECT_EQ(readFile(rooms), "old\n");
}

TEST_F(RoomFilesTest, ClosedStandardDescriptorsNeverBecomeARoomFile) {
  const RunResult run =
      runBinary(build('1', "rooms.c", "rooms.dat", "1 1", 1) + "0", dir.path(), {}, [] {
        close(STDOUT_FILENO);
        close(STDERR_FILENO);
      });
  EXPECT_EQ(run.status, 0);
  const std::string text = readFile(rooms);
  EXPECT_EQ(text.rfind("rl_1(user,com,dir)\n", 0), 0u) << text;
  EXPECT_EQ(text.find("Please"), std::string::npos);
}

// Input that arrives late on a non-blocking standard input is waited for,
// and output to a non-blocking pipe that is read slowly is not lost.
TEST_F(RoomFilesTest, NonBlockingStandardStreamsAreWaitedOn) {
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  const pid_t child = fork();
  if (child == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1]})
      close(fd);
    fcntl(STDIN_FILENO, F_SETFL, O_NONBLOCK);
    fcntl(STDOUT_FILENO, F_SETFL, O_NONBLOCK);
    execl(ROOMBUILDER_BINARY, ROOMBUILDER_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  usleep(200 * 1000);  // the program finds no input at first
  // Far more output than a pipe holds: 3,000 setup menus.
  std::string keys;
  for (int i = 0; i < 1500; ++i)
    keys += "sx";
  keys += "0";
  ASSERT_EQ(write(in[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  close(in[1]);
  usleep(200 * 1000);  // and its output waits for a slow reader
  std::string output;
  char buffer[65536];
  for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
    output.append(buffer, static_cast<std::size_t>(got));
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(endsWith(output, "Thank you for using Varneth Room Builder.\n"));
  std::size_t menus = 0;
  for (std::size_t at = output.find("Options menu:"); at != std::string::npos;
       at = output.find("Options menu:", at + 1))
    ++menus;
  EXPECT_EQ(menus, 1500u);
}

}  // namespace
}  // namespace rb::test
