#include "dialogues/explorer/room_file_reader.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <memory>

#include "format/data_row.h"
#include "format/room_record.h"

namespace rb {
namespace {

std::unique_ptr<RoomMap> load(const std::string& text, int lowest) {
  auto map = std::make_unique<RoomMap>();
  const int fd = memfd_create("rooms", MFD_CLOEXEC);
  EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  lseek(fd, 0, SEEK_SET);
  loadRooms(fd, lowest, *map);
  close(fd);
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
    ASSERT_TRUE(map->present(static_cast<std::size_t>(n - 10))) << n;
    const WorkingRoom& room = (*map)[static_cast<std::size_t>(n - 10)];
    const std::string name = (n % 2 == 0 ? "Room " : "Plain ") + std::to_string(n);
    EXPECT_EQ(room.shortname, name);
    EXPECT_EQ(room.ldesc, lines({name + " description"}));
    EXPECT_EQ(room.exitd[6], n % 2 == 0 ? n + 1 : -1);
  }
  EXPECT_FALSE(map->present(8));
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
  EXPECT_EQ((*map)[0].shortname, full.shortname);
  EXPECT_EQ((*map)[0].ldesc, full.ldesc);
  EXPECT_TRUE(map->present(1));
  EXPECT_EQ((*map)[1].shortname, "");
  EXPECT_EQ((*map)[1].ldesc, lines({}));
  EXPECT_EQ((*map)[2].shortname, gaps.shortname);
  EXPECT_EQ((*map)[2].ldesc, lines({"first", "", "third \\n not an escape"}));
}

TEST(RoomFileReader, LowestRoomNumberAndTheEdgesOfTheMap) {
  std::string file;
  for (int n : {99, 100, 299, 300, 150})
    file += roomRecord(writerRoom(n, std::to_string(n)));
  const auto map = load(file, 100);
  EXPECT_EQ((*map)[0].shortname, "100");
  EXPECT_EQ((*map)[199].shortname, "299");
  EXPECT_EQ((*map)[50].shortname, "150");  // read after two records that were not stored
  int present = 0;
  for (std::size_t i = 0; i < 200; ++i)
    present += map->present(i) ? 1 : 0;
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
  EXPECT_EQ(map->find(2, 0)->shortname, "B");
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
  const WorkingRoom* room = map->find(1, 0);
  ASSERT_TRUE(room);
  // The later record replaced the earlier one wholly, as far as it went.
  EXPECT_EQ(room->shortname, "");
  EXPECT_EQ(room->ldesc, lines({}));
}

TEST(RoomFileReader, LaterRecordReplacesEarlierOneWholly) {
  WorkingRoom first = writerRoom(5, "First");
  first.lines = 2;
  first.ldesc = lines({"1", "2", "3"});
  first.exitd[1] = 6;
  WorkingRoom second = writerRoom(5, "Second");
  const auto map = load(roomRecord(first) + roomRecord(second), 5);
  EXPECT_EQ((*map)[0].shortname, "Second");
  EXPECT_EQ((*map)[0].ldesc, lines({"Second description"}));
  EXPECT_EQ((*map)[0].exitd[1], -1);
}

}  // namespace
}  // namespace rb
