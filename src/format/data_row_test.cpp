#include "format/data_row.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <random>

#include "format/function_name.h"
#include "format/terrain_table.h"

namespace rb {
namespace {

TEST(DataRow, WrittenAndReadBack) {
  WorkingRoom room;
  room.tempregionname = "vosmer";
  room.room = 100;
  room.roomdark = 0;
  room.roomterrain = 18;
  AreaDefaults area;
  area.region = -7;
  const std::string row = dataRow(room, area);
  EXPECT_EQ(row, "vosmerl_100,-7,0,0,0,1,0,0,18,\"\",\n");
  const auto fields = writersRow(row);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->function, "vosmerl_100");
  EXPECT_EQ(fields->region, -7);
  EXPECT_EQ(fields->roomdark, 0);
  EXPECT_EQ(fields->roomterrain, 18);
  EXPECT_EQ(rowFunctionName(row), "vosmerl_100");
  EXPECT_EQ(rowFunctionName("no comma\r\n"), "no comma");
}

// Rows the writer would not write: another layout, fields the room menu
// cannot hold, a name the writer does not form, CR LF.
TEST(DataRow, WhatTheWriterWouldNotWrite) {
  for (const char* row :
       {"rl_5,1,0,0,1,1,0,0,1,\"\"\n", "rl_5,1,0,0,1,1,0,0,1,\"\",", "rl_5,1,0,0,1,2,0,0,1,\"\",\n",
        "rl_5,01,0,0,1,1,0,0,1,\"\",\n", "rl_5,1,0,0,2,1,0,0,1,\"\",\n",
        "rl_5,1,0,0,1,1,0,0,19,\"\",\n", "room5,1,0,0,1,1,0,0,1,\"\",\n",
        "rl_5,1,0,0,1,1,0,0,1,\"\",\r\n", "just text\n", ""}) {
    EXPECT_FALSE(writersRow(row)) << row;
  }
}

// Rows bent at random (signs, zeros, digits and commas put in or taken out):
// the strict reading takes exactly those that the writer writes again byte
// for byte from the fields it reads.
TEST(DataRow, TheStrictReadingIsWritingAgainAndComparing) {
  const char* pieces[] = {"0", "-", "+", "1", "9", ",", "l_", "_", " ", "99999999999"};
  std::mt19937 random(7);
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string row = round % 2 ? "vosmerl_100,-7,0,0,0,1,0,0,18,\"\",\n"
                                : "old_milll_-5,12,0,0,1,1,0,0,3,\"\",\n";
    for (int edits = static_cast<int>(random() % 3); edits > 0; --edits) {
      const std::size_t at = random() % row.size();
      if (random() % 2) {
        row.insert(at, pieces[random() % std::size(pieces)]);
      } else {
        row.erase(at, 1);
      }
    }
    // The oracle: the fields read as sscanf reads them, written again.
    bool writers = false;
    char function[64] = {};
    int regionNumber = 0, dark = 0, terrain = 0, length = 0;
    if (row.size() < 60 &&
        std::sscanf(row.c_str(), "%63[^,],%d,0,0,%d,1,0,0,%d,\"\",\n%n", function, &regionNumber,
                    &dark, &terrain, &length) == 4 &&
        static_cast<std::size_t>(length) == row.size()) {
      std::string_view region, number;
      if (splitFunctionName(function, region, number)) {
        WorkingRoom room;
        room.tempregionname = std::string(region);
        room.room = headerRoomNumber(function);
        room.roomdark = dark;
        room.roomterrain = terrain;
        AreaDefaults area;
        area.region = regionNumber;
        writers = TerrainTable::valid(room.roomterrain) &&
                  (room.roomdark == 0 || room.roomdark == 1) && dataRow(room, area) == row;
      }
    }
    ASSERT_EQ(writersRow(row).has_value(), writers) << row;
    accepted += writers;
  }
  EXPECT_GT(accepted, 1000);  // the edits leave many rows the writer's
}

TEST(DataRow, TheLinesOfADataFileToldApart) {
  DataLineKinds kinds;
  const std::pair<const char*, DataLine> lines[] = {
      {"vosmerl_1,5,0,0,1,1,0,0,3,\"\",\n", DataLine::Row},
      {"  \t\n", DataLine::Blank},
      {"#ifdef TOWN\n", DataLine::Preprocessor},
      {"// a note, with a comma\n", DataLine::Comment},
      {"/* a comment, over\n", DataLine::Comment},
      {"lines, with commas\n", DataLine::Comment},
      {"and its end */\n", DataLine::Comment},
      {"/* one line */\n", DataLine::Comment},
      {"a,b\n", DataLine::Row},
      {"text without a comma\n", DataLine::Other},
  };
  for (const auto& [line, kind] : lines)
    EXPECT_EQ(kinds.kindOf(line), kind) << line;
}

}  // namespace
}  // namespace rb
