#include "format/room_record.h"
#include "format/data_row.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "room_generator.h"

namespace rb {
namespace {

using test::RoomGenerator;

// The fields of a record that follows the writer's layout, or nothing.
std::optional<WorkingRoom> parsedRecord(std::string_view record) {
  WorkingRoom room;
  if (!parseRoomRecord(record, room)) return std::nullopt;
  return room;
}

WorkingRoom plainRoom() {
  WorkingRoom room;
  room.room = 100;
  room.tempregionname = "vosmer";
  room.shortname = "Town Square";
  room.ldesc[0] = "A wide square.";
  room.lines = 0;
  room.exitd.fill(-1);
  room.roomterrain = 1;
  room.roomdark = 1;
  return room;
}

AreaDefaults area(int region) {
  AreaDefaults defaults;
  defaults.region = region;
  return defaults;
}

TEST(RoomWriter, RoomWithoutExitsCommandOrEventIsThirteenLines) {
  const std::string record = roomRecord(plainRoom());
  EXPECT_EQ(record,
            "vosmerl_100(user,com,dir)\n"
            "OBJECT user;\n"
            "int com,dir;\n"
            "{\n"
            "int links[]={ -1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1 };\n"
            "switch(com)\n"
            "{\n"
            "case 0: write_user(user,\"Town Square\\n\");write_user(user,\"A wide square.\\n\");\n"
            "exits_contents(user,links,\"\"); return 0;\n"
            "case 1: return links[dir];\n"
            "case 4: write_user(user,\"Town Square\\n\");\n"
            "exits_contents(user,links,\"\");}return 0;}\n"
            "\n");
  EXPECT_EQ(dataRow(plainRoom(), area(5)), "vosmerl_100,5,0,0,1,1,0,0,1,\"\",\n");
}

TEST(RoomWriter, TwoWordCommandEventAndExitsInSlotOrder) {
  WorkingRoom room = plainRoom();
  room.lines = 1;
  room.ldesc[1] = "Stalls line it.";
  for (int slot = 1; slot <= 12; ++slot)
    room.exitd[static_cast<std::size_t>(slot)] = 200 + slot;
  room.command = 2;
  room.comm[1] = "pull";
  room.comm[2] = "lever";
  room.cdesc[0] = "Click.";
  room.cdesc[1] = "A door opens.";
  room.clines = 1;
  room.t = 0.1f;
  room.randtext = "A bell rings.";
  room.roomdark = 0;
  room.roomterrain = 17;
  EXPECT_EQ(roomRecord(room),
            "vosmerl_100(user,com,dir)\n"
            "OBJECT user;\n"
            "int com,dir;\n"
            "{\n"
            "int links[]={ 201,202,203,204,205,206,207,208,209,210,211,212 };\n"
            "switch(com)\n"
            "{\n"
            "case 0: write_user(user,\"Town Square\\n\");write_user(user,\"A wide square.\\nStalls "
            "line it.\\n\");\n"
            "exits_contents(user,links,\"\"); return 0;\n"
            "case 1: return links[dir];\n"
            "case 2: if(!strcmp(word[0],\"pull\") && !strcmp(word[1],\"lever\")) { "
            "write_user(user,\"Click.\\nA door opens.\\n\"); return 1; } return 0;\n"
            "case 3: if(randnum()<0.100000)write_room(100,\"A bell rings.\\n\"); return 0;\n"
            "case 4: write_user(user,\"Town Square\\n\");\n"
            "exits_contents(user,links,\"\");}return 0;}\n"
            "\n");
  EXPECT_EQ(dataRow(room, area(-3)), "vosmerl_100,-3,0,0,0,1,0,0,17,\"\",\n");
}

TEST(RoomWriter, EmptyTextsAndCommandWithoutResponse) {
  WorkingRoom room = plainRoom();
  room.shortname.clear();
  room.lines = -1;
  room.command = 1;
  room.comm[1] = "xyzzy";
  room.clines = -1;
  const std::string record = roomRecord(room);
  EXPECT_NE(record.find("case 0: write_user(user,\"\\n\");write_user(user,\"\");\n"),
            std::string::npos);
  EXPECT_NE(record.find("case 2: if(!strcmp(word[0],\"xyzzy\")) { write_user(user,\"\"); "
                        "return 1; } return 0;\n"),
            std::string::npos);
  EXPECT_NE(record.find("case 4: write_user(user,\"\\n\");\n"), std::string::npos);
}

TEST(RoomWriter, EventOnlyForPositiveFrequencyCommandOnlyForPositiveCount) {
  WorkingRoom room = plainRoom();
  room.randtext = "never";
  room.comm[1] = "never";
  for (float t : {0.0f, -0.5f, -0.0f}) {
    for (int command : {0, -1}) {
      room.t = t;
      room.command = command;
      const std::string record = roomRecord(room);
      EXPECT_EQ(record.find("never"), std::string::npos) << t << " " << command;
    }
  }
  // Above zero but below half a millionth: still an event, reading 0.000000.
  room.t = 0.0000004f;
  EXPECT_NE(roomRecord(room).find("case 3: if(randnum()<0.000000)write_room(100,\"never\\n\"); "
                                  "return 0;\n"),
            std::string::npos);
}

TEST(RoomWriter, QuotesBackslashesAndCarriageReturnsAreEscaped) {
  WorkingRoom room = plainRoom();
  room.shortname = "The \"Inn\"";
  room.ldesc[0] = "C:\\path\\";
  room.ldesc[1] = "\");system(\"rm -rf /";
  room.lines = 1;
  room.command = 2;
  room.comm[1] = "say";
  room.comm[2] = "\"hi\"";
  room.cdesc[0] = "back\\slash\rreturn";
  room.clines = 0;
  room.t = 1.0f;
  room.randtext = "\\\"";
  const std::string record = roomRecord(room);
  EXPECT_NE(record.find("case 0: write_user(user,\"The \\\"Inn\\\"\\n\");write_user(user,\"C:\\\\"
                        "path\\\\\\n\\\");system(\\\"rm -rf /\\n\");\n"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find("!strcmp(word[1],\"\\\"hi\\\"\")) { write_user(user,\"back\\\\slash\\r"
                        "return\\n\"); return 1; }"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find("write_room(100,\"\\\\\\\"\\n\");"), std::string::npos) << record;
  EXPECT_NE(record.find("case 4: write_user(user,\"The \\\"Inn\\\"\\n\");"), std::string::npos);
}

TEST(RoomWriter, RenamedRegionChangesFunctionNameButNotRegionNumber) {
  WorkingRoom room = plainRoom();
  room.tempregionname = "north_wood";
  room.room = -7;
  EXPECT_EQ(roomRecord(room).substr(0, 30), "north_woodl_-7(user,com,dir)\nO");
  EXPECT_EQ(dataRow(room, area(12)), "north_woodl_-7,12,0,0,1,1,0,0,1,\"\",\n");
}

TEST(RoomWriter, TenLinesOfEveryTextAndNineWords) {
  WorkingRoom room = plainRoom();
  room.lines = 9;
  room.clines = 9;
  room.command = 9;
  for (std::size_t i = 0; i < 10; ++i) {
    room.ldesc[i] = "d" + std::to_string(i);
    room.cdesc[i] = "c" + std::to_string(i);
  }
  for (std::size_t k = 1; k <= 9; ++k)
    room.comm[k] = "w" + std::to_string(k);
  const std::string record = roomRecord(room);
  EXPECT_NE(record.find("\"d0\\nd1\\nd2\\nd3\\nd4\\nd5\\nd6\\nd7\\nd8\\nd9\\n\");\n"),
            std::string::npos);
  EXPECT_NE(record.find("!strcmp(word[8],\"w9\")) { write_user(user,\"c0\\nc1\\nc2\\nc3\\nc4\\nc5"
                        "\\nc6\\nc7\\nc8\\nc9\\n\"); return 1;"),
            std::string::npos);
}

// parse(write(room)) gives back every field the files hold, and writing
// those fields again gives back the record and the row, byte for byte.
TEST(RoomRecord, ParsingWhatIsWrittenGivesEveryFieldBack) {
  RoomGenerator generate(2026);
  for (int i = 0; i < 3000; ++i) {
    const WorkingRoom room = generate.room();
    AreaDefaults area;
    area.region = i % 3 == 0 ? -7 : i;
    const std::string record = roomRecord(room), row = dataRow(room, area);
    const auto parsed = parsedRecord(record);
    ASSERT_TRUE(parsed) << record;
    const auto fields = writersRow(row);
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
    ASSERT_EQ(roomRecord(back), record);
    ASSERT_EQ(dataRow(back, backArea), row);
    EXPECT_TRUE(fitsRoomMenu(back));
    EXPECT_TRUE(writersRecord(record));
    EXPECT_TRUE(writersRow(row));
  }
}

// What the writer would write for a record's fields, written again and
// compared: the definition the strict reading must agree with.
bool writesBack(std::string_view record) {
  WorkingRoom room;
  if (!parseRoomRecord(record, room)) return false;
  room.roomterrain = 1;
  room.roomdark = 1;
  return fitsRoomMenu(room) && roomRecord(room) == record;
}

// Records the writer wrote, and each of them bent a little: at every one,
// reading a record strictly says it is the writer's exactly when writing its
// fields again gives it back.
TEST(RoomRecord, TheStrictReadingAgreesWithWritingAgain) {
  RoomGenerator generate(99);
  std::mt19937 random(99);
  const std::string pieces[] = {"?", "\\", "\"", "\r", "0", "-", "00", "\\?", "??", "x", "\n", ","};
  int writers = 0;
  for (int i = 0; i < 3000; ++i) {
    WorkingRoom room = generate.room();
    const std::string record = roomRecord(room);
    std::string bent = record;
    const std::size_t at = random() % bent.size();
    switch (random() % 3) {
      case 0:
        bent.insert(at, pieces[random() % std::size(pieces)]);
        break;
      case 1:
        bent.erase(at, 1 + random() % 3);
        break;
      default:
        bent[at] = pieces[random() % std::size(pieces)][0];
        break;
    }
    for (const std::string& text : {record, bent}) {
      WorkingRoom read;
      const bool strict = isWritersRecord(text, read);
      ASSERT_EQ(strict, writesBack(text)) << text;
      writers += strict ? 1 : 0;
    }
  }
  EXPECT_GT(writers, 3000);  // the writer's own all are, and some bent ones still
}

TEST(RoomRecord, EmptyDescriptionAndOneEmptyLineDiffer) {
  WorkingRoom room;
  room.tempregionname = "r";
  room.exitd.fill(kNoExit);
  room.lines = -1;
  EXPECT_EQ(parsedRecord(roomRecord(room))->lines, -1);
  room.lines = 0;
  room.ldesc[0] = "";
  EXPECT_EQ(parsedRecord(roomRecord(room))->lines, 0);
}

TEST(RoomRecord, AnEventTooRareToShowStillHasOne) {
  WorkingRoom room;
  room.tempregionname = "r";
  room.exitd.fill(kNoExit);
  room.t = 1e-9f;
  room.randtext = "Drip.";
  const std::string record = roomRecord(room);
  ASSERT_NE(record.find("randnum()<0.000000)"), std::string::npos);
  const auto parsed = parsedRecord(record);
  ASSERT_TRUE(parsed);
  EXPECT_GT(parsed->t, 0.0f);
  EXPECT_EQ(roomRecord(*parsed), record);
}

TEST(RoomRecord, WhatTheWriterWouldNotWrite) {
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
    EXPECT_FALSE(writersRecord(bad)) << bad;
  }
  for (const char* row : {"rl_5,1,0,0,1,1,0,0,1,\"\"\n", "rl_5,1,0,0,1,1,0,0,1,\"\",",
                          "rl_5,1,0,0,1,2,0,0,1,\"\",\n", "just text\n", ""}) {
    const auto fields = writersRow(row);
    EXPECT_FALSE(fields) << row;
  }
}

TEST(RoomRecord, FieldsBeyondTheRoomMenu) {
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
           [](WorkingRoom& r) { r.shortname = "esc\x1b[2J"; },
       }) {
    WorkingRoom changed = room;
    change(changed);
    EXPECT_FALSE(fitsRoomMenu(changed));
  }
}

}  // namespace
}  // namespace rb
