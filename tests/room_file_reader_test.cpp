#include "explorer/room_file_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>

#include "builder/room_writer.h"
#include "explorer/look_line.h"

namespace rb {
namespace {

std::unique_ptr<RoomMap> load(const std::string& text, int lowest) {
  auto map = std::make_unique<RoomMap>();
  // fmemopen cannot open an empty buffer on every libc; /dev/null reads nothing.
  std::FILE* file = text.empty() ? std::fopen("/dev/null", "r")
                                 : fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  EXPECT_NE(file, nullptr);
  loadRooms(file, lowest, *map);
  std::fclose(file);
  return map;
}

WorkingRoom writerRoom(int number, const std::string& name) {
  WorkingRoom room;
  room.room = number;
  room.tempregionname = "vosmer";
  room.shortname = name;
  room.exitd.fill(-1);
  room.lines = 0;
  room.ldesc[0] = name + " description";
  return room;
}

std::array<std::string, 10> lines(std::initializer_list<std::string> first) {
  std::array<std::string, 10> all;
  std::size_t i = 0;
  for (const std::string& line : first)
    all[i++] = line;
  return all;
}

TEST(LookLine, CutsNameAndDescriptionLines) {
  MapRoom room;
  cutLookLine("case 0: write_user(user,\"Hall\\n\");write_user(user,\"One\\n\\nThree\\n\");\n",
              room);
  EXPECT_EQ(room.shortName, "Hall");
  EXPECT_EQ(room.description, lines({"One", "", "Three"}));
}

TEST(LookLine, EmptyNameAndEmptyDescription) {
  MapRoom room;
  room.description[4] = "stale";
  cutLookLine("case 0: write_user(user,\"\\n\");write_user(user,\"\");\n", room);
  EXPECT_EQ(room.shortName, "");
  EXPECT_EQ(room.description, lines({}));
}

TEST(LookLine, DecodesTheWritersEscapesOnly) {
  MapRoom room;
  cutLookLine(
      "case 0: write_user(user,\"A \\\"q\\\" \\\\ b\\rc\\n\");write_user(user,\"x\\\\\\n"
      "\\\");\\n\\ty\\n\");\n",
      room);
  EXPECT_EQ(room.shortName, "A \"q\" \\ b\rc");
  // A line typed as "); stays a line; any other escape ends the text.
  EXPECT_EQ(room.description, lines({"x\\", "\");", "", "y"}));
}

TEST(LookLine, MalformedLinesFillWhatTheyCan) {
  MapRoom room;
  cutLookLine("no quote here\n", room);
  EXPECT_EQ(room.shortName, "");
  cutLookLine("case 0: write_user(user,\"Unended name\n", room);
  EXPECT_EQ(room.shortName, "Unended name");
  EXPECT_EQ(room.description, lines({}));
  cutLookLine("\"Short\\n\");\n", room);  // too short for the step to the description
  EXPECT_EQ(room.shortName, "Short");
  EXPECT_EQ(room.description, lines({}));
  cutLookLine("\"x\\n\");write_user(user,\"trailing backslash\\", room);
  EXPECT_EQ(room.description, lines({"trailing backslash"}));
  cutLookLine("\"x\\n\");write_user(user,\"no tail", room);
  EXPECT_EQ(room.description, lines({"no tail"}));
}

TEST(LookLine, OverLongTextsAreCut) {
  MapRoom room;
  const std::string name(60, 'n');
  const std::string line(150, 'l');
  cutLookLine("\"" + name + "\\n\");write_user(user,\"" + line + "\\n\");\n", room);
  EXPECT_EQ(room.shortName, std::string(49, 'n'));
  EXPECT_EQ(room.description[0], std::string(99, 'l'));
  // A character straddling 49 or 99 is left out whole; Latin-1 stays.
  std::string accents, wide;
  for (int i = 0; i < 30; ++i)
    accents += "\xc3\xa9";
  for (int i = 0; i < 40; ++i)
    wide += "\xf0\x9d\x84\x9e";
  cutLookLine("\"" + accents + "\\n\");write_user(user,\"" + wide + "\\n" + std::string(98, 'l') +
                  "\xe9x\\n\");\n",
              room);
  EXPECT_EQ(room.shortName, accents.substr(0, 48));
  EXPECT_EQ(room.description[0], wide.substr(0, 96));
  EXPECT_EQ(room.description[1], std::string(98, 'l') + "\xe9");
}

TEST(LinksLine, ScannedInSlotOrderWithFormattedScanRules) {
  std::array<int, 12> exits;
  exits.fill(-1);
  scanLinks("int links[]={ 1,2,3,4,5,12,7,14,9,10,11,-12 };\n", exits);
  EXPECT_EQ(exits, (std::array<int, 12>{1, 2, 3, 4, 5, 12, 7, 14, 9, 10, 11, -12}));
  exits.fill(-1);
  scanLinks("int   links[]={8,  +9,\t10 ,x,1,1,1,1,1,1,1,1 };\n", exits);
  EXPECT_EQ(exits, (std::array<int, 12>{8, 9, 10, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
  exits.fill(-1);
  scanLinks("int links[] = { 1 };\n", exits);  // the blank before "=" does not match
  EXPECT_EQ(exits[0], -1);
  scanLinks("int links[]={ 99999999999,-99999999999", exits);
  EXPECT_EQ(exits[0], INT_MAX);
  EXPECT_EQ(exits[1], INT_MIN);
}

TEST(HeaderLine, RoomNumberFollowsTheLastUnderscore) {
  EXPECT_EQ(headerRoomNumber("vosmerl_100(user,com,dir)\n"), 100);
  EXPECT_EQ(headerRoomNumber("a_bl_5(user,com,dir)\n"), 5);
  EXPECT_EQ(headerRoomNumber("l_-7(user,com,dir)\n"), -7);
  EXPECT_EQ(headerRoomNumber("x_y(user,com,dir)\n"), 0);
}

TEST(RoomFileReader, RoundTripOfEveryRecordShape) {
  // Command and event in all four combinations, each followed by a plain
  // record that must still line up.
  std::string file;
  int number = 10;
  for (int shape = 0; shape < 4; ++shape) {
    WorkingRoom room = writerRoom(number, "Room " + std::to_string(number));
    room.exitd[6] = number + 1;
    if (shape & 1) {
      room.command = 2;
      room.comm[1] = "pull";
      room.comm[2] = "lever";
      room.cdesc[0] = "Click.";
      room.clines = 0;
    }
    if (shape & 2) {
      room.t = 0.5f;
      room.randtext = "Event.";
    }
    file += roomRecord(room);
    file += roomRecord(writerRoom(number + 1, "Plain " + std::to_string(number + 1)));
    number += 2;
  }
  const auto map = load(file, 10);
  for (int n = 10; n < 18; ++n) {
    const MapRoom& room = (*map)[static_cast<std::size_t>(n - 10)];
    ASSERT_TRUE(room.present) << n;
    const std::string name = (n % 2 == 0 ? "Room " : "Plain ") + std::to_string(n);
    EXPECT_EQ(room.shortName, name);
    EXPECT_EQ(room.description, lines({name + " description"}));
    EXPECT_EQ(room.exits[5], n % 2 == 0 ? n + 1 : -1);
  }
  EXPECT_FALSE((*map)[8].present);
}

TEST(RoomFileReader, RoundTripOfLongTextsEscapesAndEmptyDescriptions) {
  WorkingRoom full = writerRoom(0, std::string(48, 'N') + "\\");
  full.lines = 9;
  for (std::size_t i = 0; i < 10; ++i)
    full.ldesc[i] = std::string(98, char('a' + i)) + "\"";
  full.command = 1;
  full.comm[1] = "x";
  full.clines = 9;
  for (std::size_t i = 0; i < 10; ++i)
    full.cdesc[i] = std::string(99, 'r');
  WorkingRoom empty = writerRoom(1, "");
  empty.lines = -1;
  WorkingRoom gaps = writerRoom(2, "Quote \" and \\ and \r");
  gaps.lines = 2;
  gaps.ldesc = lines({"first", "", "third \\n not an escape"});
  gaps.tempregionname = "a_b";
  const std::string file = roomRecord(full) + roomRecord(empty) + roomRecord(gaps);
  ASSERT_GT(file.find('\n', file.find("case 0:")) - file.find("case 0:"), 1000u);

  const auto map = load(file, 0);
  EXPECT_EQ((*map)[0].shortName, full.shortname);
  EXPECT_EQ((*map)[0].description, full.ldesc);
  EXPECT_TRUE((*map)[1].present);
  EXPECT_EQ((*map)[1].shortName, "");
  EXPECT_EQ((*map)[1].description, lines({}));
  EXPECT_EQ((*map)[2].shortName, gaps.shortname);
  EXPECT_EQ((*map)[2].description, lines({"first", "", "third \\n not an escape"}));
}

TEST(RoomFileReader, LowestRoomNumberAndTheEdgesOfTheMap) {
  std::string file;
  for (int n : {99, 100, 299, 300, 150})
    file += roomRecord(writerRoom(n, std::to_string(n)));
  const auto map = load(file, 100);
  EXPECT_EQ((*map)[0].shortName, "100");
  EXPECT_EQ((*map)[199].shortName, "299");
  EXPECT_EQ((*map)[50].shortName, "150");  // read after two records that were not stored
  int present = 0;
  for (std::size_t i = 0; i < 200; ++i)
    present += (*map)[i].present;
  EXPECT_EQ(present, 3);
  // Extreme lowest room numbers do not overflow the index arithmetic.
  EXPECT_FALSE(load(file, INT_MIN)->find(150, INT_MIN));
  EXPECT_FALSE(load(roomRecord(writerRoom(INT_MIN, "m")), INT_MAX)->find(INT_MIN, INT_MAX));
  EXPECT_TRUE(load(roomRecord(writerRoom(INT_MAX, "m")), INT_MAX)->find(INT_MAX, INT_MAX));
}

TEST(RoomFileReader, HandWrittenFiles) {
  const std::string a = roomRecord(writerRoom(1, "A"));
  const std::string b = roomRecord(writerRoom(2, "B"));
  // Empty file.
  EXPECT_FALSE(load("", 0)->find(1, 0));
  // The last record lacks its blank line (and even its last line break).
  auto map = load(a + b.substr(0, b.size() - 2), 0);
  EXPECT_TRUE(map->find(1, 0));
  EXPECT_EQ(map->find(2, 0)->shortName, "B");
  // A line without an underscore where a header belongs ends loading.
  map = load(a + "\n" + b, 0);
  EXPECT_TRUE(map->find(1, 0));
  EXPECT_FALSE(map->find(2, 0));
  EXPECT_FALSE(load("no header\n" + a, 0)->find(1, 0));
}

TEST(RoomFileReader, RecordCutShortKeepsWhatWasRead) {
  const std::string a = roomRecord(writerRoom(1, "A"));
  // Up to and including the links line of a second record for room 1.
  std::string b = roomRecord(writerRoom(1, "B"));
  b = b.substr(0, b.find("switch"));
  const auto map = load(a + b, 0);
  const MapRoom* room = map->find(1, 0);
  ASSERT_TRUE(room);
  // The later record replaced the earlier one wholly, as far as it went.
  EXPECT_EQ(room->shortName, "");
  EXPECT_EQ(room->description, lines({}));
}

TEST(RoomFileReader, LaterRecordReplacesEarlierOneWholly) {
  WorkingRoom first = writerRoom(5, "First");
  first.lines = 2;
  first.ldesc = lines({"1", "2", "3"});
  first.exitd[1] = 6;
  WorkingRoom second = writerRoom(5, "Second");
  const auto map = load(roomRecord(first) + roomRecord(second), 5);
  EXPECT_EQ((*map)[0].shortName, "Second");
  EXPECT_EQ((*map)[0].description, lines({"Second description"}));
  EXPECT_EQ((*map)[0].exits[0], -1);
}

}  // namespace
}  // namespace rb
