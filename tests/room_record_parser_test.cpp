#include "transfer/room_record_parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "builder/room_writer.h"
#include "transfer/area_files.h"

namespace rb {
namespace {

// A random room the room menu could hold, with every field at times at its
// limits, and texts full of what needs escaping.
class RoomGenerator {
 public:
  explicit RoomGenerator(unsigned seed) : random_(seed) {}

  WorkingRoom room() {
    WorkingRoom r;
    const int numbers[] = {0, 1, 100, -8, INT_MAX, INT_MIN, pick(-100000, 100000)};
    r.room = numbers[pick(0, 6)];
    const std::string regions[] = {"", "vosmer", "a_b", "l_", "x_l_9", "_", std::string(19, 'z')};
    r.tempregionname = regions[pick(0, 6)];
    for (int slot = 1; slot <= kExitCount; ++slot)
      r.exitd[static_cast<std::size_t>(slot)] = chance(2) ? kNoExit : numbers[pick(0, 6)];
    r.shortname = text(49);
    r.lines = pick(-1, 9);
    for (auto& line : r.ldesc)
      line = text(99);
    r.roomdark = pick(0, 1);
    r.roomterrain = pick(1, 18);
    const float frequencies[] = {0.0f, -0.5f, 1e-9f, 0.25f, 0.1f, 1.0f, 3.4e38f, 123456.789f};
    r.t = frequencies[pick(0, 7)];
    r.randtext = text(79);
    r.command = pick(0, 9);
    for (auto& word : r.comm)
      word = text(19);
    r.clines = pick(-1, 9);
    for (auto& line : r.cdesc)
      line = text(99);
    return r;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(int oneIn) { return pick(1, oneIn) == 1; }
  std::string text(int longest) {
    static const std::string pieces[] = {"a",
                                         " ",
                                         "\\",
                                         "\"",
                                         "\r",
                                         "?",
                                         "??",
                                         "\t",
                                         "\xc3\xa9",
                                         "\\n",
                                         "\");",
                                         "case 2:",
                                         "(user,com,dir)",
                                         ",",
                                         "\x01"};
    std::string t;
    const int length = chance(4) ? longest : pick(0, longest);
    while (static_cast<int>(t.size()) < length) {
      const std::string& piece = pieces[static_cast<std::size_t>(pick(0, 14))];
      if (static_cast<int>(t.size() + piece.size()) > length) break;
      t += piece;
    }
    if (chance(5)) t.assign(static_cast<std::size_t>(length), 'x');
    return t;
  }

  std::mt19937 random_;
};

// parse(write(room)) gives back every field the files hold, and writing
// those fields again gives back the record and the row, byte for byte.
TEST(RoomRecordParser, RoundTripOverManyRooms) {
  RoomGenerator generate(2026);
  for (int i = 0; i < 3000; ++i) {
    const WorkingRoom room = generate.room();
    AreaDefaults area;
    area.region = i % 3 == 0 ? -7 : i;
    const std::string record = roomRecord(room), row = dataRow(room, area);
    const auto parsed = parseRoomRecord(record);
    ASSERT_TRUE(parsed) << record;
    const auto fields = parseDataRow(row);
    ASSERT_TRUE(fields) << row;
    EXPECT_EQ(parsed->room, room.room);
    EXPECT_EQ(parsed->tempregionname, room.tempregionname);
    for (int slot = 1; slot <= kExitCount; ++slot)
      EXPECT_EQ(parsed->exitd[static_cast<std::size_t>(slot)],
                room.exitd[static_cast<std::size_t>(slot)]);
    EXPECT_EQ(parsed->shortname, room.shortname);
    ASSERT_EQ(parsed->lines, room.lines);
    for (int k = 0; k <= room.lines; ++k)
      EXPECT_EQ(parsed->ldesc[static_cast<std::size_t>(k)],
                room.ldesc[static_cast<std::size_t>(k)]);
    if (room.command > 0) {
      ASSERT_EQ(parsed->command, room.command);
      for (int k = 1; k <= room.command; ++k)
        EXPECT_EQ(parsed->comm[static_cast<std::size_t>(k)],
                  room.comm[static_cast<std::size_t>(k)]);
      ASSERT_EQ(parsed->clines, room.clines);
      for (int k = 0; k <= room.clines; ++k)
        EXPECT_EQ(parsed->cdesc[static_cast<std::size_t>(k)],
                  room.cdesc[static_cast<std::size_t>(k)]);
    } else {
      EXPECT_EQ(parsed->command, 0);
    }
    if (room.t > 0) {
      EXPECT_GT(parsed->t, 0.0f);
      EXPECT_EQ(parsed->randtext, room.randtext);
    } else {
      EXPECT_EQ(parsed->t, 0.0f);
    }
    EXPECT_EQ(fields->function, room.tempregionname + "l_" + std::to_string(room.room));
    EXPECT_EQ(fields->region, area.region);
    EXPECT_EQ(fields->roomdark, room.roomdark);
    EXPECT_EQ(fields->roomterrain, room.roomterrain);

    WorkingRoom back = *parsed;
    back.roomdark = fields->roomdark;
    back.roomterrain = fields->roomterrain;
    AreaDefaults backArea;
    backArea.region = fields->region;
    ASSERT_TRUE(writesBackExactly(back, backArea, record, row)) << record;
    EXPECT_TRUE(fitsRoomMenu(back));
  }
}

TEST(RoomRecordParser, EmptyDescriptionAndOneEmptyLineDiffer) {
  WorkingRoom room;
  room.tempregionname = "r";
  room.exitd.fill(kNoExit);
  room.lines = -1;
  EXPECT_EQ(parseRoomRecord(roomRecord(room))->lines, -1);
  room.lines = 0;
  room.ldesc[0] = "";
  EXPECT_EQ(parseRoomRecord(roomRecord(room))->lines, 0);
}

TEST(RoomRecordParser, AnEventTooRareToShowStillHasOne) {
  WorkingRoom room;
  room.tempregionname = "r";
  room.exitd.fill(kNoExit);
  room.t = 1e-9f;
  room.randtext = "Drip.";
  const std::string record = roomRecord(room);
  ASSERT_NE(record.find("randnum()<0.000000)"), std::string::npos);
  const auto parsed = parseRoomRecord(record);
  ASSERT_TRUE(parsed);
  EXPECT_GT(parsed->t, 0.0f);
  EXPECT_EQ(roomRecord(*parsed), record);
}

TEST(RoomRecordParser, WhatTheWriterWouldNotWrite) {
  WorkingRoom room;
  room.tempregionname = "r";
  room.room = 5;
  room.exitd.fill(kNoExit);
  room.roomterrain = 1;
  const std::string record = roomRecord(room);
  const auto changed = [&](std::string_view from, std::string_view to) {
    std::string text = record;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  // Odd spacing, a missing line, an escape the writer never writes, a name
  // that is not region + "l_" + number, CR LF line ends.
  for (const std::string& bad :
       {changed("int links[]={ ", "int links[] = { "), changed("OBJECT user;\n", ""),
        changed("write_user(user,\"\\n", "write_user(user,\"\\t\\n"), changed("rl_5", "room5"),
        changed("{\n", "{\r\n"), record + "\n", record.substr(0, record.size() - 1)}) {
    const auto parsed = parseRoomRecord(bad);
    EXPECT_FALSE(parsed && roomRecord(*parsed) == bad) << bad;
  }
  for (const char* row : {"rl_5,1,0,0,1,1,0,0,1,\"\"\n", "rl_5,1,0,0,1,1,0,0,1,\"\",",
                          "rl_5,1,0,0,1,2,0,0,1,\"\",\n", "just text\n", ""}) {
    const auto fields = parseDataRow(row);
    EXPECT_FALSE(fields) << row;
  }
}

TEST(RoomRecordParser, FieldsBeyondTheRoomMenu) {
  WorkingRoom room;
  room.tempregionname = "r";
  room.roomterrain = 18;
  room.roomdark = 1;
  EXPECT_TRUE(fitsRoomMenu(room));
  for (const auto& change : std::initializer_list<std::function<void(WorkingRoom&)>>{
           [](WorkingRoom& r) { r.shortname.assign(50, 'x'); },
           [](WorkingRoom& r) { r.tempregionname = "9lives"; },
           [](WorkingRoom& r) { r.roomterrain = 19; },
           [](WorkingRoom& r) { r.roomdark = 2; },
           [](WorkingRoom& r) { r.lines = 0, r.ldesc[0].assign(100, 'x'); },
           [](WorkingRoom& r) { r.command = 1, r.comm[1].assign(20, 'x'); },
           [](WorkingRoom& r) { r.randtext.assign(80, 'x'); },
           [](WorkingRoom& r) { r.shortname = "two\nlines"; },
       }) {
    WorkingRoom changed = room;
    change(changed);
    EXPECT_FALSE(fitsRoomMenu(changed));
  }
}

TEST(AreaFiles, RecordsRowsLinesAndMatching) {
  WorkingRoom a;
  a.tempregionname = "r";
  a.room = 1;
  a.exitd.fill(kNoExit);
  a.exitd[1] = 2;
  a.roomterrain = 3;
  a.roomdark = 1;
  a.shortname = "A";
  WorkingRoom b = a;
  b.room = 2;
  b.shortname = "B";
  AreaDefaults area;
  area.region = 4;
  // A prologue; record 1; a hand-edited record 2 (one extra blank); record 1
  // again; rows in another order, one unmatched, one for the hand-edited one.
  const std::string prologue = "/* area r */\n#include \"x.h\"\n";
  const std::string handEdited = roomRecord(b) + "\n";
  const std::string roomText = prologue + roomRecord(a) + handEdited + roomRecord(a);
  const std::string dataText = "zzz,1\n" + dataRow(b, area) + dataRow(a, area) + dataRow(a, area);
  const AreaFiles files = readAreaFiles(roomText, dataText);
  EXPECT_EQ(files.prologue, prologue);
  ASSERT_EQ(files.records.size(), 3u);
  std::string joined = files.prologue;
  for (const RoomRecord& record : files.records)
    joined += record.text;
  EXPECT_EQ(joined, roomText);  // nothing dropped
  EXPECT_EQ(files.records[0].line, 3);
  EXPECT_EQ(files.records[1].line, 3 + 13);
  EXPECT_EQ(files.records[2].line, 3 + 13 + 14);
  EXPECT_TRUE(files.records[0].editable);
  EXPECT_FALSE(files.records[1].editable);
  EXPECT_TRUE(files.records[2].editable);
  EXPECT_EQ(files.records[0].row, 2);
  EXPECT_EQ(files.records[1].row, 1);
  EXPECT_EQ(files.records[2].row, 3);
  EXPECT_EQ(files.rows[0].record, -1);
  EXPECT_EQ(files.records[0].area.region, 4);
  // What a record that cannot be edited still tells.
  EXPECT_EQ(files.records[1].room.room, 2);
  EXPECT_EQ(files.records[1].room.shortname, "B");
  EXPECT_EQ(files.records[1].room.exitd[1], 2);
}

}  // namespace
}  // namespace rb
