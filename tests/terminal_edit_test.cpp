// `roombuilder edit` on a real terminal: keys without Enter, the arrow keys,
// and Ctrl-C in the middle of a room's edit; the next run recovers what the
// journal holds and writes the same files as a run never cut off.
#include <gtest/gtest.h>

#include <filesystem>

#include "format/data_row.h"
#include "format/room_record.h"
#include "pty_session.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

const std::string kRoomMenuEnd = "9: See summary of room.\r\n";

void writeWorld(const TempDir& dir) {
  std::string town, rows;
  for (const WorkingRoom& room :
       {worldRoom(1, "Gate", {{1, 2}}), worldRoom(2, "Yard", {{2, 1}}), worldRoom(3, "Loft", {})}) {
    town += roomRecord(room);
    rows += worldRow(room);
  }
  writeFile(dir.file("town.c"), town);
  writeFile(dir.file("world.dat"), rows);
}

TEST(TerminalEdit, AnInterruptedEditIsRecoveredAsIfNeverCutOff) {
  TempDir dir;
  writeWorld(dir);
  {
    PtyOptions options;
    options.args = {"edit", "--room", "1", "town.c", "world.dat"};
    PtySession session(dir.path(), options);
    session.readUntil("North:\t2\r\n");
    session.type("\x1b[A");  // the up arrow: north
    session.readUntil("Room 2 in town.c\r\n");
    session.type("e");
    session.readUntil(kRoomMenuEnd);
    session.type("3");
    session.readUntil("short name:\r\n");
    session.type("Court\r");
    session.readUntil(kRoomMenuEnd);
    session.type("0");
    session.readUntil("Room 2 in town.c, 1 change not written\r\n");
    session.type("u");
    session.readUntil("Dig a new room there? (y/n)\r\n");
    session.type("y");
    session.readUntil("New room number (next free: 4):\r\n");
    session.type("\r");
    session.readUntil(kRoomMenuEnd);
    session.type("0");
    session.readUntil("Room 4 in town.c, 2 changes not written\r\n");
    // Cut off half way through the next edit.
    session.type("e");
    session.readUntil(kRoomMenuEnd);
    session.type("3");
    session.readUntil("short name:\r\n");
    session.send("Half");
    session.send("\x03");
    EXPECT_EQ(session.wait(), 128 + SIGINT);
  }
  EXPECT_TRUE(fileExists(dir.file(".town.c.journal")));
  const RunResult recovered = runBinary("y1\nqy", dir.path(), {"edit", "town.c", "world.dat"});
  EXPECT_EQ(recovered.status, 0) << recovered.out;
  EXPECT_EQ(recovered.out.substr(0, recovered.out.find('\n') + 1),
            "An earlier edit of these files was cut off with 2 changes not written. Recover them? "
            "(y/n)\n");
  EXPECT_FALSE(fileExists(dir.file(".town.c.journal")));

  TempDir never;
  writeWorld(never);
  ASSERT_EQ(
      runBinary("1\n8e3Court\n0uy\n0qy", never.path(), {"edit", "town.c", "world.dat"}).status, 0);
  for (const char* file : {"town.c", "world.dat"})
    EXPECT_EQ(readFile(dir.file(file)), readFile(never.file(file))) << file;
}

}  // namespace
}  // namespace rb::test
