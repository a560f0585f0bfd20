// Keys as real terminals send them, through a pseudo-terminal: arrow keys and
// the keypad with NumLock off are one key each and act as keypad digits
// where the program asks for one.
#include <gtest/gtest.h>

#include "format/data_row.h"
#include "format/room_record.h"
#include "pty_session.h"
#include "test_support.h"

namespace rb::test {
namespace {

const std::string kMenuEnd = "s: Edit Setup of Tov.\r\n";

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

TEST(TerminalKeys, OneArrowOrOneLoneEscapeRedrawsTheMenuOnce) {
  TempDir dir;
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  session.type("\x1b[A");
  session.readUntil(kMenuEnd);
  session.type("\x1b[4~");  // End is not key 1
  session.readUntil(kMenuEnd);
  session.type("\x1b");  // a lone ESC press, nothing after it
  session.readUntil(kMenuEnd);
  session.type("0");
  const std::string rest = session.readUntil("Thank you for using Varneth Room Builder.\r\n");
  EXPECT_EQ(count(rest, "Please Select your option:"), 0) << rest;
  EXPECT_EQ(session.wait(), 0);
}

WorkingRoom room(int number, const std::string& name,
                 std::initializer_list<std::pair<int, int>> exits) {
  WorkingRoom r;
  r.room = number;
  r.tempregionname = "k";
  r.shortname = name;
  r.lines = -1;
  r.exitd.fill(kNoExit);
  for (const auto& [slot, destination] : exits)
    r.exitd[static_cast<std::size_t>(slot)] = destination;
  return r;
}

TEST(TerminalKeys, ArrowsAndTheNumLockOffKeypadWalkTheMap) {
  TempDir dir;
  // Room 1 in the middle; 2 north, 3 south, 4 east, 5 west, 6 northwest.
  writeFile(dir.file("map.c"),
            roomRecord(room(1, "Middle", {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {8, 6}})) +
                roomRecord(room(2, "North", {{2, 1}})) + roomRecord(room(3, "South", {{1, 1}})) +
                roomRecord(room(4, "East", {{4, 1}})) + roomRecord(room(5, "West", {{3, 1}})) +
                roomRecord(room(6, "Corner", {{6, 1}})));
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  session.type("4");
  session.readUntil("incorrectly with this option.\r\n");
  session.type("map.c\r");
  session.readUntil("lowest room number?\r\n");
  session.type("1\r");
  session.readUntil("(q to quit)\r\n");
  session.type("1\r");
  session.readUntil("Middle\r\n");
  // Up, Down (SS3 form), Right, Left with a modifier, Home, then the centre.
  const std::pair<const char*, const char*> moves[] = {
      {"\x1b[A", "North\r\n"},  {"\x1b[B", "Middle\r\n"}, {"\x1bOB", "South\r\n"},
      {"\x1b[A", "Middle\r\n"}, {"\x1b[C", "East\r\n"},   {"\x1b[1;5D", "Middle\r\n"},
      {"\x1b[D", "West\r\n"},   {"6", "Middle\r\n"},      {"\x1b[1~", "Corner\r\n"},
      {"\x1b[6~", "Middle\r\n"}};
  for (const auto& [keys, shown] : moves) {
    session.type(keys);
    const std::string screen = session.readUntil(shown);
    EXPECT_TRUE(endsWith(screen, shown)) << keys << ": " << screen;
  }
  session.type("\x1b[E");  // the keypad's 5 with NumLock off ends the walk
  session.readUntil(kMenuEnd);
  session.type("0");
  EXPECT_EQ(session.wait(), 0);
}

TEST(TerminalKeys, ArrowsPickExitsInTheExitEditor) {
  TempDir dir;
  PtySession session(dir.path());
  session.startArea();
  session.type("2");
  session.readUntil("in, or out exits.\r\n");
  session.type("\x1b[A");
  session.readUntil("new north exit (-1 for no exit):\r\n");
  session.type("7\r");
  session.readUntil("North exit to room:\t7\r\n");
  session.type("\x1bOF");  // End: southwest
  session.readUntil("new southwest exit (-1 for no exit):\r\n");
  session.type("8\r");
  session.readUntil("Southwest exit to room:\t8\r\n");
  session.type("\x1b[G");  // the centre ends the editor
  session.readUntil("9: See summary of room.\r\n");
  session.type("0");
  session.readUntil(kMenuEnd);
  session.type("0");
  EXPECT_EQ(session.wait(), 0);
  EXPECT_NE(readFile(dir.file("r.c")).find("int links[]={ 7,-1,-1,-1,-1,-1,8,-1,-1,-1,-1,-1 };"),
            std::string::npos);
}

}  // namespace
}  // namespace rb::test
