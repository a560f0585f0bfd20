// `roombuilder diff` and `show` through the real executable: every kind of
// change on small worlds, files and folders, a generated world changed at
// random, and show as git's text conversion in a real repository.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "format/data_row.h"
#include "format/room_record.h"
#include "room_generator.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

class DiffCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.file("old"));
    std::filesystem::create_directory(dir.file("new"));
  }
  // town.c rooms 3001 (north to 3002), 3002, 3006; road.c 3010; their rows.
  void writeOld() {
    WorkingRoom market = worldRoom(3001, "Market", {{1, 3002}});
    market.lines = 1;
    market.ldesc[0] = "A busy market.";
    market.ldesc[1] = "Stalls everywhere.";
    oldRooms = {market, worldRoom(3002, "Lane", {{2, 3001}}), worldRoom(3006, "Shed", {}),
                worldRoom(3010, "Road", {}, "road")};
    put("old", oldRooms);
  }
  void put(const std::string& side, const std::vector<WorkingRoom>& rooms,
           const std::string& roadFile = "road.c") {
    std::string town, road, rows;
    for (const WorkingRoom& room : rooms) {
      (room.tempregionname == "town" ? town : road) += roomRecord(room);
      rows += worldRow(room, room.tempregionname == "town" ? 3 : 4);
    }
    writeFile(dir.file(side + "/town.c"), town);
    writeFile(dir.file(side + "/" + roadFile), road);
    writeFile(dir.file(side + "/world.dat"), rows);
  }
  RunResult diff(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"diff"};
    all.insert(all.end(), args.begin(), args.end());
    return runBinary("", dir.path(), all);
  }

  TempDir dir;
  std::vector<WorkingRoom> oldRooms;
};

TEST_F(DiffCommand, EveryKindOfChange) {
  writeOld();
  std::vector<WorkingRoom> rooms = oldRooms;
  rooms[0].shortname = "Market Square";
  rooms[0].ldesc[1] = "Stalls crowd the square.";
  rooms[0].lines = 2;
  rooms[0].ldesc[2] = "A \"bell\"\tand \x01.";
  rooms[0].exitd[1] = kNoExit;
  rooms[0].roomterrain = 3;
  rooms[0].command = 2;
  rooms[0].comm[1] = "pull";
  rooms[0].comm[2] = "lever";
  rooms[0].clines = 0;
  rooms[0].cdesc[0] = "Click.";
  rooms[0].t = 0.25f;
  rooms[0].randtext = "A bell.";
  rooms.erase(rooms.begin() + 2);                         // 3006 removed
  rooms.push_back(worldRoom(3005, "Well", {}));           // added
  rooms[2] = worldRoom(3010, "Road", {}, "town");         // moved to town.c, region changed
  rooms.push_back(worldRoom(4002, "Lane", {{2, 3001}}));  // 3002 renumbered...
  rooms.erase(rooms.begin() + 1);
  put("new", rooms);
  writeFile(dir.file("new/world.dat"), "/* the rows */\n" + readFile(dir.file("new/world.dat")));
  const RunResult result = diff({"old", "new"});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(result.out,
            "room 3001 changed (town.c:1)\n"
            "  short name: \"Market\" -> \"Market Square\"\n"
            "  description line 2: \"Stalls everywhere.\" -> \"Stalls crowd the square.\"\n"
            "  description line 3 added: \"A \\\"bell\\\"\\tand \\x01.\"\n"
            "  north exit: 3002 -> none\n"
            "  command: none -> \"pull lever\"\n"
            "  response line 1 added: \"Click.\"\n"
            "  event frequency: none -> 0.250000\n"
            "  event text: \"\" -> \"A bell.\"\n"
            "  terrain: 1 (City) -> 3 (Plains)\n"
            "room 3005 added (town.c:29)\n"
            "room 3006 removed (was town.c:27)\n"
            "room 3010 moved from road.c to town.c (town.c:16)\n"
            "  region name: road -> town\n"
            "  region number: 4 -> 3\n"
            "room 4002 renumbered from 3002 (town.c:42)\n"
            "other text of world.dat differs\n"
            "1 room changed, 1 added, 1 removed, 1 moved, 1 renumbered.\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(diff({"--brief", "old", "new"}).out,
            "room 3001 changed (town.c:1)\n"
            "room 3005 added (town.c:29)\n"
            "room 3006 removed (was town.c:27)\n"
            "room 3010 moved from road.c to town.c (town.c:16)\n"
            "room 4002 renumbered from 3002 (town.c:42)\n"
            "other text of world.dat differs\n"
            "1 room changed, 1 added, 1 removed, 1 moved, 1 renumbered.\n");
  EXPECT_EQ(diff({"--stat", "old", "new"}).out,
            "town.c: 3 changed, 1 added, 1 removed\n"
            "other text of world.dat differs\n"
            "1 room changed, 1 added, 1 removed, 1 moved, 1 renumbered.\n");
}

TEST_F(DiffCommand, RenumberedRoomsCarryTheExitsThatFollowThem) {
  writeOld();
  // 3001 and 3002 become 5001 and 5002; 3010's new exit to 5002 follows too,
  // and its short name changed besides.
  oldRooms[3].exitd[1] = 3002;
  put("old", oldRooms);
  std::vector<WorkingRoom> rooms = oldRooms;
  rooms[0].room = 5001;
  rooms[0].exitd[1] = 5002;
  rooms[1].room = 5002;
  rooms[1].exitd[2] = 5001;
  rooms[3].exitd[1] = 5002;
  rooms[3].shortname = "Old Road";
  put("new", rooms);
  const RunResult result = diff({"old", "new"});
  EXPECT_EQ(result.out,
            "room 3010 changed (road.c:1)\n"
            "  short name: \"Road\" -> \"Old Road\"\n"
            "room 5001 renumbered from 3001 (town.c:1); 1 exit that led to it follows it\n"
            "room 5002 renumbered from 3002 (town.c:14); 2 exits that led to it follow it\n"
            "1 room changed, 0 added, 0 removed, 0 moved, 2 renumbered.\n");
}

TEST_F(DiffCommand, EqualWorldsFilesAndTrouble) {
  writeOld();
  RunResult result = diff({"old", "old"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "0 rooms changed, 0 added, 0 removed, 0 moved, 0 renumbered.\n");
  // Two single files are one file, whatever their names.
  writeFile(dir.file("copy.c"), readFile(dir.file("old/town.c")));
  result = diff({"old/town.c", "copy.c"});
  EXPECT_EQ(result.status, 0);
  // A hand-edited record compares by its bytes.
  std::string edited = readFile(dir.file("old/town.c"));
  edited.replace(edited.find("OBJECT user;"), 12, "OBJECT  user;");
  writeFile(dir.file("copy.c"), edited);
  result = diff({"old/town.c", "copy.c"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "room 3001 changed (copy.c:1)\n"
            "  text of the record differs\n"
            "1 room changed, 0 added, 0 removed, 0 moved, 0 renumbered.\n");
  result = diff({"old", "missing"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "roombuilder: missing: No such file or directory\n");
  result = diff({"old"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "roombuilder: diff: two worlds to compare, OLD and NEW\n"
            "Try 'roombuilder --help' for more information.\n");
}

// A world changed in k fields of random rooms: diff lists exactly those.
TEST_F(DiffCommand, RandomChangesAreListedExactly) {
  RoomGenerator generate(31);
  std::mt19937 random(5);
  for (int round = 0; round < 12; ++round) {
    std::vector<WorkingRoom> rooms;
    for (int n = 1; n <= 30; ++n) {
      WorkingRoom room = generate.room();
      room.room = n;
      room.tempregionname = "town";
      rooms.push_back(room);
    }
    put("old", rooms);
    EXPECT_EQ(diff({"old", "old"}).status, 0);
    std::set<int> changed;
    for (int k = 0; k < 3; ++k) {
      WorkingRoom& room = rooms[random() % rooms.size()];
      switch (random() % 4) {
        case 0:
          room.shortname += "x";
          break;
        case 1:
          room.exitd[1 + random() % 12] = 7777;
          break;
        case 2:
          room.roomterrain = room.roomterrain % 18 + 1;
          break;
        default:
          room.lines = 0;
          room.ldesc[0] = "Changed.";
          break;
      }
      changed.insert(room.room);
    }
    put("new", rooms);
    const RunResult result = diff({"--brief", "old", "new"});
    EXPECT_EQ(result.status, 1);
    std::set<int> listed;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("room ", 0) == 0) {
        EXPECT_NE(line.find(" changed (town.c:"), std::string::npos) << line;
        listed.insert(std::stoi(line.substr(5)));
      }
    }
    EXPECT_EQ(listed, changed) << result.out;
  }
}

TEST(ShowCommand, RoomsAndRowsOneFieldALine) {
  TempDir dir;
  WorkingRoom room = worldRoom(3, "Loft \"up\"", {{10, 2}, {1, 4}});
  room.lines = 0;
  room.ldesc[0] = "Dusty.";
  room.command = 1;
  room.comm[1] = "jump";
  room.clines = 0;
  room.cdesc[0] = "Thud.";
  room.t = 0.5f;
  room.randtext = "Wind.";
  std::string edited = roomRecord(worldRoom(4, "Odd", {}));
  edited.replace(edited.find("OBJECT user;"), 12, "OBJECT\x01 user;");
  writeFile(dir.file("a.c"), "/* area */\n" + roomRecord(room) + edited);
  writeFile(dir.file("a.dat"), "/* rows */\n" + worldRow(room) + "odd,row\n");
  RunResult result = runBinary("", dir.path(), {"show", "a.c"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "/* area */\n"
            "room 3 townl_3\n"
            "  short name: \"Loft \\\"up\\\"\"\n"
            "  description line 1: \"Dusty.\"\n"
            "  north exit: 4\n"
            "  down exit: 2\n"
            "  command: \"jump\"\n"
            "  response line 1: \"Thud.\"\n"
            "  event frequency: 0.500000\n"
            "  event text: \"Wind.\"\n"
            "room 4 townl_4\n"
            "  (not as the room writer writes it)\n"
            "    townl_4(user,com,dir)\n"
            "    OBJECT\\x01 user;\n" +
                std::string("    int com,dir;\n    {\n") +
                "    int links[]={ -1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1 };\n"
                "    switch(com)\n    {\n"
                "    case 0: write_user(user,\"Odd\\n\");write_user(user,\"\");\n"
                "    exits_contents(user,links,\"\"); return 0;\n"
                "    case 1: return links[dir];\n"
                "    case 4: write_user(user,\"Odd\\n\");\n"
                "    exits_contents(user,links,\"\");}return 0;}\n"
                "    \n");
  result = runBinary("", dir.path(), {"show", "a.dat", "a.c"});
  EXPECT_EQ(result.out.substr(0, result.out.find("==> a.c <==")),
            "==> a.dat <==\n/* rows */\nrow townl_3: region 3, light, terrain 1 (City)\nodd,row\n");
  EXPECT_EQ(runBinary("", dir.path(), {"show", "none.c"}).status, 2);
}

// git's own diff of a world speaks in rooms: the field changed, and the
// room's line in the hunk header.
TEST(ShowCommand, GitDiffThroughTheTextConversion) {
  TempDir dir;
  std::string area;
  for (int n = 1; n <= 8; ++n)
    area += roomRecord(worldRoom(n, "Room " + std::to_string(n), {}));
  writeFile(dir.file("world/town.c"), "");
  std::filesystem::create_directories(dir.file("world"));
  writeFile(dir.file("world/town.c"), area);
  const std::string setup =
      "git init -q . && git config user.email t@example.com && git config user.name T && "
      "git config diff.rooms.textconv '" ROOMBUILDER_BINARY
      " show' && "
      "git config diff.rooms.xfuncname '^room [0-9-]+ .*$' && "
      "echo 'world/*.c diff=rooms' >> .gitattributes && "
      "git add -A && git commit -qm first";
  ASSERT_EQ(runShell(setup, dir.path()).status, 0);
  std::string changed = area;
  for (std::size_t at; (at = changed.find("\"Room 6\\n")) != std::string::npos;)
    changed.replace(at, 7, "\"Room six");
  writeFile(dir.file("world/town.c"), changed);
  const RunResult result = runShell("git diff --no-color -U0", dir.path());
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("-  short name: \"Room 6\"\n+  short name: \"Room six\"\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find(" @@ room 6 townl_6\n"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace rb::test
