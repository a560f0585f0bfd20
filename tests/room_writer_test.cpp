#include "builder/room_writer.h"

#include <gtest/gtest.h>

#include "builder/c_string_literal.h"

namespace rb {
namespace {

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

TEST(CStringLiteral, EscapesBackslashQuoteCarriageReturnAndTrigraphs) {
  std::string out;
  appendEscaped(out, "plain\ttab 'single' ? \\ \" \r end");
  EXPECT_EQ(out, "plain\ttab 'single' ? \\\\ \\\" \\r end");
  out.clear();
  // The second of two '?' is escaped, so no trigraph can form.
  appendEscaped(out,
                "What?"
                "?! ?"
                "?? ?a?");
  EXPECT_EQ(out, "What?\\?! ?\\?\\? ?a?");
}

}  // namespace
}  // namespace rb
