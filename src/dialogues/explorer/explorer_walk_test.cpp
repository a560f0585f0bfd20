#include "dialogues/explorer/explorer_walk.h"

#include <gtest/gtest.h>

#include <memory>

#include "transcript_texts.h"

namespace rb {
namespace {

using namespace test;

const std::string kInvalidExit = "Invalid exit/room not present in room file.\n";

class Walk : public ::testing::Test {
 protected:
  // Adds room `number` (lowest room number 100) with its short name,
  // description lines and exits by slot.
  WorkingRoom& add(int number, const std::string& name,
                   std::initializer_list<std::string> description,
                   std::initializer_list<std::pair<int, int>> exits) {
    WorkingRoom& room = map->store(static_cast<std::size_t>(number - 100));
    room.shortname = name;
    std::size_t i = 0;
    for (const std::string& line : description)
      room.ldesc[i++] = line;
    for (const auto& [slot, destination] : exits) {
      room.exitd[static_cast<std::size_t>(slot)] = destination;
    }
    return room;
  }

  std::string run(const std::string& keys) {
    Console con(keys);
    walk(con, *map, 100);
    return con.output();
  }

  std::unique_ptr<RoomMap> map = std::make_unique<RoomMap>();
};

TEST_F(Walk, DisplayRulesForNorthNoNorthAndNoExits) {
  add(100, "Hall", {"Big.", "", "Old."}, {{1, 101}, {3, 102}});
  add(101, "Attic", {"Dusty."}, {{2, 100}});
  add(102, "", {}, {});
  EXPECT_EQ(run("100\n8x265"),
            kStartPrompt + kWalkIntro +
                "Hall\nBig.\nOld.\nNorth:\t101\nEast:\t102\n"  // north directly under the text
                "Attic\nDusty.\n\nSouth:\t100\n"               // no north: an empty line first
                "Attic\nDusty.\n\nSouth:\t100\n"
                "Hall\nBig.\nOld.\nNorth:\t101\nEast:\t102\n"
                "\n\n");  // no name, no description, no exits
}

TEST_F(Walk, ExitsAreShownInDisplayOrderAndKeysFollowTheirSlots) {
  // Slot 6 (the sixth links value) is southeast, slot 8 is northwest.
  add(100, "Hub", {},
      {{6, 112},
       {8, 114},
       {9, 101},
       {10, 102},
       {11, 103},
       {12, 104},
       {5, 105},
       {7, 106},
       {4, 107},
       {2, 108}});
  add(112, "SE", {}, {});
  add(114, "NW", {}, {});
  const std::string hub =
      "Hub\n\nSouth:\t108\nWest:\t107\nNortheast:\t105\nNorthwest:\t114\nSouthwest:\t106\n"
      "Southeast:\t112\nIn:\t103\nOut:\t104\nUp:\t101\nDown:\t102\n";
  EXPECT_EQ(run("100\n35"), kStartPrompt + kWalkIntro + hub + "SE\n\n");
  EXPECT_EQ(run("100\n75"), kStartPrompt + kWalkIntro + hub + "NW\n\n");
}

TEST_F(Walk, InvalidExitsMissingRoomsAndLoops) {
  add(100, "Here", {}, {{1, -2}, {2, 150}, {3, 100}, {9, 400}});
  const std::string here = "Here\nNorth:\t-2\nSouth:\t150\nEast:\t100\nUp:\t400\n";
  EXPECT_EQ(run("100\n826u4"
                "5"),
            kStartPrompt + kWalkIntro + here + kInvalidExit + here + kInvalidExit + here +
                here +                        // an exit back to the same room: no message
                kInvalidExit + here + here);  // no west exit: shown again, no message
}

TEST_F(Walk, CapitalsAndOtherKeysShowTheRoomAgain) {
  add(100, "Room", {}, {{9, 100}});
  const std::string room = "Room\n\nUp:\t100\n";
  EXPECT_EQ(run("100\nSUDIO\n \x1b[15~5"), kStartPrompt + kWalkIntro + room + room + room + room +
                                               room + room + room + room + room);
}

TEST_F(Walk, KeySPrintsStatisticsAndShowsTheRoomAgain) {
  // 100 <-> 101 both ways; 101 north to 102 one way; 102 up to missing 999;
  // 103 reachable from nowhere, without a short name, east to itself.
  add(100, "Hall", {}, {{1, 101}});
  add(101, "Stairs", {}, {{2, 100}, {1, 102}});
  add(102, "Top", {}, {{9, 999}});
  add(103, "", {}, {{3, 103}});
  EXPECT_EQ(run("100\ns5"), kStartPrompt + kWalkIntro + "Hall\nNorth:\t101\n" +
                                "Statistics for this room file:\n"
                                "Rooms: 4, numbered 100 to 103.\n"
                                "Exits: 5.\n"
                                "Exits to rooms not present: 1.\n"
                                "  102 up to 999.\n"
                                "One-way exits: 1.\n"
                                "  101 north to 102.\n"
                                "Rooms that cannot be reached from room 100: 1.\n"
                                "  103\n"
                                "Rooms without a short name: 1.\n"
                                "  103\n"
                                "Hall\nNorth:\t101\n");
}

TEST_F(Walk, StatisticsListTenCasesThenCountTheRest) {
  // 120 rooms, each with twelve exits to a missing room; the cases follow
  // the room numbers and the display order of exits.
  for (int number = 100; number < 220; ++number) {
    WorkingRoom& room = add(number, "", {}, {});
    room.exitd.fill(50);
    room.exitd[0] = kNoExit;
  }
  const std::string report = run("150\ns5");
  EXPECT_NE(report.find("Rooms: 120, numbered 100 to 219.\n"
                        "Exits: 1440.\n"
                        "Exits to rooms not present: 1440.\n"
                        "  100 north to 50.\n  100 south to 50.\n  100 east to 50.\n"
                        "  100 west to 50.\n  100 northeast to 50.\n  100 northwest to 50.\n"
                        "  100 southwest to 50.\n  100 southeast to 50.\n  100 in to 50.\n"
                        "  100 out to 50.\n  and 1430 more.\n"
                        "One-way exits: 0.\n"
                        "Rooms that cannot be reached from room 150: 119.\n"
                        "  100\n  101\n  102\n  103\n  104\n  105\n  106\n  107\n  108\n  109\n"
                        "  and 109 more.\n"
                        "Rooms without a short name: 120.\n"
                        "  100\n"),
            std::string::npos)
      << report;
}

TEST_F(Walk, StartRoomPrompt) {
  add(100, "Room", {}, {});
  // Q and quit are room number 0; text counts as 0; out of the map; absent.
  EXPECT_EQ(run("Q\nquit\n99\n300\n101\nq\n"),
            kStartPrompt + "No such room.\n" + kStartPrompt + "No such room.\n" + kStartPrompt +
                "No such room.\n" + kStartPrompt + "No such room.\n" + kStartPrompt +
                "No such room.\n" + kStartPrompt);
  EXPECT_EQ(run("  +100 and more\n5"), kStartPrompt + kWalkIntro + "Room\n\n");
}

TEST_F(Walk, ArrowKeysAndTheNumLockOffKeypadMove) {
  add(100, "Hall", {}, {{1, 101}, {6, 102}});
  add(101, "Attic", {}, {{2, 100}});
  add(102, "Cellar", {}, {{8, 100}});
  const std::string hall = "Hall\nNorth:\t101\nSoutheast:\t102\n";
  const std::string attic = "Attic\n\nSouth:\t100\n";
  const std::string cellar = "Cellar\n\nNorthwest:\t100\n";
  // Up, Down (SS3), Page Down, Home, the centre: each one key.
  EXPECT_EQ(run("100\n\x1b[A\x1bOB\x1b[6~\x1b[1~\x1b[E"),
            kStartPrompt + kWalkIntro + hall + attic + hall + cellar + hall);
}

TEST_F(Walk, EndOfInputEndsTheWalk) {
  add(100, "Room", {}, {});
  Console con("100\n4");
  EXPECT_THROW(walk(con, *map, 100), EndOfInput);
  // A sequence cut off by the end of input is one key, then the end.
  Console cut("100\n\x1b[1;");
  EXPECT_THROW(walk(cut, *map, 100), EndOfInput);
  EXPECT_EQ(cut.output(), kStartPrompt + kWalkIntro + "Room\n\n" + "Room\n\n");
  Console atPrompt("99\n");
  EXPECT_THROW(walk(atPrompt, *map, 100), EndOfInput);
}

}  // namespace
}  // namespace rb
