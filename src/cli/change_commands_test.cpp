// `roombuilder renumber`, `delete` and `copy` through the real executable:
// a world of two room files and their data file, the exact notes and the
// exact bytes of every file afterwards, and every refusal changing nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <set>

#include "format/data_row.h"
#include "format/room_record.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

class ChangeCommands : public ::testing::Test {
 protected:
  // town.c: 1 Gate (north to 2, east to road's 10), 2 Yard (south to 1, up
  // to 3), 3 Loft (a bell: its event names room 3). road.c: 10 Road (west to
  // 1, north one-way into 2), 11 Inn (east to 99, which no room has).
  void SetUp() override {
    WorkingRoom loft = worldRoom(3, "Loft", {{10, 2}});
    loft.t = 0.5f;
    loft.randtext = "A bell rings.";
    rooms = {worldRoom(1, "Gate", {{1, 2}, {3, 10}}), worldRoom(2, "Yard", {{2, 1}, {9, 3}}), loft,
             worldRoom(10, "Road", {{4, 1}, {1, 2}}, "road"),
             worldRoom(11, "Inn", {{3, 99}}, "road")};
    writeAll();
  }
  void writeAll() {
    std::string town, road, rows;
    for (const WorkingRoom& room : rooms) {
      (room.tempregionname == "town" ? town : road) += roomRecord(room);
      rows += worldRow(room);
    }
    write("town.c", town);
    write("road.c", road);
    write("world.dat", "/* the rows */\n" + rows);
  }
  RunResult run(const std::vector<std::string>& args) {
    std::vector<std::string> all = args;
    for (const char* file : {"town.c", "road.c", "world.dat"})
      all.push_back(file);
    return runBinary("", dir.path(), all);
  }
  void write(const std::string& name, const std::string& text) { writeFile(dir.file(name), text); }
  std::string read(const std::string& name) { return readFile(dir.file(name)); }
  std::set<std::string> names() {
    std::set<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      all.insert(entry.path().filename().string());
    return all;
  }
  // The files as the rooms, changed, would be written anew.
  std::string roomFile(const std::vector<WorkingRoom>& list) {
    std::string text;
    for (const WorkingRoom& room : list)
      text += roomRecord(room);
    return text;
  }
  std::string rowsOf(const std::vector<WorkingRoom>& list) {
    std::string text = "/* the rows */\n";
    for (const WorkingRoom& room : list)
      text += worldRow(room);
    return text;
  }

  TempDir dir;
  std::vector<WorkingRoom> rooms;
};

TEST_F(ChangeCommands, RenumberMovesTheRoomsAndEveryExitFollows) {
  // 1-3 to 101-103: the road's one-way entrance into 2 follows too; the
  // event line names 103.
  const RunResult result = run({"renumber", "1-3", "101"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "town.c:1: note: room 101 was room 1\n"
            "town.c:1: note: room 101: the north exit now leads to room 102\n"
            "town.c:14: note: room 102 was room 2\n"
            "town.c:14: note: room 102: the south exit now leads to room 101\n"
            "town.c:14: note: room 102: the up exit now leads to room 103\n"
            "town.c:27: note: room 103 was room 3\n"
            "town.c:27: note: room 103: the down exit now leads to room 102\n"
            "road.c:1: note: room 10: the north exit now leads to room 102\n"
            "road.c:1: note: room 10: the west exit now leads to room 101\n"
            "3 rooms renumbered, 6 exits changed.\n");
  EXPECT_EQ(result.err,
            "The old contents of town.c are kept in town.c.~1~.\n"
            "The old contents of road.c are kept in road.c.~1~.\n"
            "The old contents of world.dat are kept in world.dat.~1~.\n");
  std::vector<WorkingRoom> moved = rooms;
  moved[0] = worldRoom(101, "Gate", {{1, 102}, {3, 10}});
  moved[1] = worldRoom(102, "Yard", {{2, 101}, {9, 103}});
  moved[2].room = 103;
  moved[2].exitd[10] = 102;
  moved[3] = worldRoom(10, "Road", {{4, 101}, {1, 102}}, "road");
  EXPECT_EQ(read("town.c"), roomFile({moved[0], moved[1], moved[2]}));
  EXPECT_NE(read("town.c").find("write_room(103,"), std::string::npos);
  EXPECT_EQ(read("road.c"), roomFile({moved[3], moved[4]}));
  EXPECT_EQ(read("world.dat"), rowsOf(moved));
  // Overlapping old and new ranges: 101-103 to 102-104, then back.
  EXPECT_EQ(run({"renumber", "101-103", "102"}).status, 0);
  EXPECT_EQ(run({"renumber", "102-104", "1"}).status, 0);
  EXPECT_EQ(read("town.c"), roomFile({rooms[0], rooms[1], rooms[2]}));
  EXPECT_EQ(read("world.dat"), rowsOf(rooms));
}

TEST_F(ChangeCommands, HandEditedRecordsInAndOutOfTheRange) {
  // Room 2 hand-edited in a line renumbering does not touch: renumbered.
  std::string town = roomFile({rooms[0], rooms[1], rooms[2]});
  town.replace(town.find("OBJECT user;", town.find("townl_2(")), 12, "OBJECT  user;");
  write("town.c", town);
  RunResult result = run({"renumber", "2", "20"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(read("town.c").find("townl_20(user,com,dir)\nOBJECT  user;"), std::string::npos);
  // Room 10's links line hand-edited: its exit into the range cannot follow.
  std::string road = roomFile({rooms[3], rooms[4]});
  road.replace(road.find("int links[]={ "), 14, "int links[]={  ");
  write("road.c", road);
  const std::string before = read("town.c");
  result = run({"renumber", "1", "5"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "road.c:1: error: room 10: the links line is not as the room writer writes it; its "
            "exits to the rooms renumbered cannot follow them\n");
  EXPECT_EQ(read("town.c"), before);
  EXPECT_EQ(read("road.c"), road);
  // Delete and copy of a hand-edited record are refused.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"delete", "10"}, {"copy", "10", "50"}}) {
    result = run(args);
    EXPECT_EQ(result.status, 2) << args[0];
    EXPECT_EQ(result.err.rfind("road.c:1: error: room 10: the record is not as the room writer "
                               "writes it",
                               0),
              0u)
        << result.err;
  }
}

TEST_F(ChangeCommands, DeleteRemovesTheRoomsAndTheExitsToThem) {
  RunResult result = run({"delete", "-n", "2", "--keep-exits"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "town.c:1: warning: room 1: the north exit to room 2 is kept, though no room has "
            "that number now [-Wkept-exit]\n"
            "town.c:14: warning: room 3: the down exit to room 2 is kept, though no room has that "
            "number now [-Wkept-exit]\n"
            "road.c:1: warning: room 10: the north exit to room 2 is kept, though no room has "
            "that number now [-Wkept-exit]\n"
            "1 room deleted, 3 exits kept.\n");
  EXPECT_EQ(result.err, "");  // a dry run changes nothing
  result = run({"delete", "2"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "town.c:1: note: room 1: the north exit to room 2 is removed\n"
            "town.c:14: note: room 3: the down exit to room 2 is removed\n"
            "road.c:1: note: room 10: the north exit to room 2 is removed\n"
            "1 room deleted, 3 exits removed.\n");
  std::vector<WorkingRoom> left = {worldRoom(1, "Gate", {{3, 10}}), rooms[2], rooms[3], rooms[4]};
  left[1].exitd[10] = kNoExit;
  left[2] = worldRoom(10, "Road", {{4, 1}}, "road");
  EXPECT_EQ(read("town.c"), roomFile({left[0], left[1]}));
  EXPECT_EQ(read("road.c"), roomFile({left[2], left[3]}));
  EXPECT_EQ(read("world.dat"), rowsOf(left));
  const RunResult checked = runBinary("", dir.path(), {"check", "town.c", "road.c", "world.dat"});
  EXPECT_EQ(checked.status, 1);  // only the exit to 99, which was there before
  EXPECT_NE(checked.out.find("1 error,"), std::string::npos) << checked.out;
}

TEST_F(ChangeCommands, CopyMakesAWholeHouseAndSaysWhatLeadsOut) {
  // Rooms 1-2 copied to 21-22: 1 and 2 lead to each other (their copies
  // too); 1's east exit to 10 and 2's up exit to 3 lead out of the range.
  RunResult result = run({"copy", "1-2", "21"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "town.c:27: note: room 21 is a copy of room 1\n"
            "town.c:40: note: room 22 is a copy of room 2\n"
            "2 rooms copied.\n");
  const WorkingRoom copy21 = worldRoom(21, "Gate", {{1, 22}}),
                    copy22 = worldRoom(22, "Yard", {{2, 21}});
  EXPECT_EQ(read("town.c"), roomFile({rooms[0], rooms[1], copy21, copy22, rooms[2]}));
  EXPECT_EQ(read("world.dat"),
            rowsOf({rooms[0], rooms[1], copy21, copy22, rooms[2], rooms[3], rooms[4]}));
  // With --exits, and a room whose exit leads to no room: 11 to 99.
  result = run({"copy", "--exits", "10-11", "30"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "road.c:27: note: room 30 is a copy of room 10\n"
            "road.c:27: warning: room 30: the north exit to room 2 is one-way (room 2 has no "
            "south exit back; link can add it) [-Wone-way]\n"
            "road.c:27: warning: room 30: the west exit to room 1 is one-way (room 1 has no east "
            "exit back; link can add it) [-Wone-way]\n"
            "road.c:40: note: room 31 is a copy of room 11\n"
            "road.c:40: warning: room 31: the east exit to room 99 is left out of the copy: no "
            "room has that number [-Wdropped-exit]\n"
            "2 rooms copied.\n");
  EXPECT_NE(read("road.c").find(roomRecord(worldRoom(30, "Road", {{4, 1}, {1, 2}}, "road")) +
                                roomRecord(worldRoom(31, "Inn", {}, "road"))),
            std::string::npos);
}

TEST_F(ChangeCommands, RefusalsChangeNothing) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"renumber", "1-2", "10"},
       "roombuilder: room 1 cannot become room 10: room 10 at road.c:1 has that number\n"},
      {{"renumber", "5-9", "100"}, "roombuilder: no room has a number from 5 to 9\n"},
      {{"renumber", "1-3", "2147483646"},
       "roombuilder: the new numbers would lie beyond the range of int\n"},
      {{"copy", "1", "11"},
       "roombuilder: room 1 cannot be copied to room 11: room 11 at road.c:14 has that number\n"},
      {{"delete", "7"}, "roombuilder: no room has the number 7\n"},
      {{"renumber", "3-1", "5"},
       "roombuilder: renumber: 3-1: the first number is above the last\n"
       "Try 'roombuilder --help' for more information.\n"},
      {{"copy", "--", "1", "-4"},
       "roombuilder: copy: -4: no room gets a negative number\n"
       "Try 'roombuilder --help' for more information.\n"},
      {{"delete", "x"},
       "roombuilder: delete: x: not a room number or a range FIRST-LAST\n"
       "Try 'roombuilder --help' for more information.\n"},
      {{"renumber", "1", "99999999999"},
       "roombuilder: renumber: 99999999999: out of range\n"
       "Try 'roombuilder --help' for more information.\n"}};
  const std::string town = read("town.c"), road = read("road.c"), data = read("world.dat");
  for (const auto& [args, err] : refused) {
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 2) << args[0] << " " << args[1];
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, err);
  }
  EXPECT_EQ(read("town.c"), town);
  EXPECT_EQ(read("road.c"), road);
  EXPECT_EQ(read("world.dat"), data);
  EXPECT_EQ(names(), (std::set<std::string>{"town.c", "road.c", "world.dat"}));
  // Negative numbers after --: room -8 given a positive one.
  write("neg.c", roomRecord(worldRoom(-8, "Odd", {}, "neg")));
  const RunResult result = runBinary("", dir.path(), {"renumber", "--", "-8--8", "8", "neg.c"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "neg.c:1: note: room 8 was room -8\n1 room renumbered, 0 exits changed.\n");
}

// The second file written anew does not fit under the file size limit:
// every file stays as it was.
// Files of megabytes, whose long unchanged stretches are copied file to
// file by the system: every byte as the rooms would be written anew.
TEST_F(ChangeCommands, LargeFilesComeOutAsTheRoomsWouldBeWrittenAnew) {
  std::vector<WorkingRoom> road = {rooms[3], rooms[4]};
  for (int n = 200; n < 8200; ++n)
    road.push_back(worldRoom(n, "Field", {{1, n + 1}, {2, n - 1}}, "road"));
  const std::string town = read("town.c"), data = read("world.dat"), before = roomFile(road);
  write("road.c", before);
  ASSERT_GT(before.size(), 2u << 20);
  // Renumbered in the middle, and back: the exits into the range follow.
  std::vector<WorkingRoom> moved = road;
  for (WorkingRoom& room : moved) {
    const auto renumbered = [](int n) { return n >= 4000 && n <= 4099 ? n + 46000 : n; };
    room.room = renumbered(room.room);
    for (int& exit : room.exitd)
      exit = exit == kNoExit ? exit : renumbered(exit);
  }
  EXPECT_EQ(run({"renumber", "4000-4099", "50000"}).status, 0);
  EXPECT_EQ(read("road.c"), roomFile(moved));
  EXPECT_EQ(run({"renumber", "50000-50099", "4000"}).status, 0);
  EXPECT_EQ(read("road.c"), before);
  // Copied whole after the last of them (exits within the range lead to
  // the copies, the one out of it to 199 is none), then the copies deleted.
  std::vector<WorkingRoom> copied = road;
  for (int n = 200; n < 8200; ++n) {
    WorkingRoom copy = road[static_cast<std::size_t>(n - 198)];
    copy.room = n + 29800;
    for (int& exit : copy.exitd)
      exit = exit == kNoExit || exit < 200 || exit >= 8200 ? kNoExit : exit + 29800;
    copied.push_back(copy);
  }
  EXPECT_EQ(run({"copy", "200-8199", "30000"}).status, 0);
  EXPECT_EQ(read("road.c"), roomFile(copied));
  EXPECT_EQ(run({"delete", "30000-37999"}).status, 0);
  EXPECT_EQ(read("road.c"), before);
  EXPECT_EQ(read("town.c"), town);
  EXPECT_EQ(read("world.dat"), data);
}

TEST_F(ChangeCommands, AFailedWriteLeavesEveryFileAsItWas) {
  // A file of a few records is written at once; one of megabytes block by
  // block in the background, where the write fails. Files are written two
  // at a time: when every one fails, the first in file order is told.
  const std::string town = read("town.c"), data = read("world.dat"), firstRoad = read("road.c");
  for (const int fields : {60, 8000, 0}) {
    SCOPED_TRACE(fields);
    std::string road = firstRoad;
    for (int n = 200; n < 200 + fields; ++n)
      road += roomRecord(worldRoom(n, "Field", {}, "road"));
    ASSERT_TRUE(fields < 1000 || road.size() > 2 * 1024 * 1024) << road.size();
    write("road.c", road);
    const rlim_t limit = fields > 0 ? road.size() - 100 : 50;
    const RunResult result = runBinary(
        "", dir.path(), {"renumber", "1-3", "101", "town.c", "road.c", "world.dat"}, [limit] {
          signal(SIGXFSZ, SIG_DFL);
          struct rlimit fileSize = {limit, limit};
          setrlimit(RLIMIT_FSIZE, &fileSize);
        });
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, std::string("roombuilder: ") + (fields > 0 ? "road.c" : "town.c") +
                              ": File too large\n");
    EXPECT_EQ(read("town.c"), town);
    EXPECT_EQ(read("road.c"), road);
    EXPECT_EQ(read("world.dat"), data);
    EXPECT_EQ(names(), (std::set<std::string>{"town.c", "road.c", "world.dat"}));
  }
}

}  // namespace
}  // namespace rb::test
