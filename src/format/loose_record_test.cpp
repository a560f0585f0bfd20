// Reading what a record tells as far as its lines allow: the look line cut
// as the explorer cuts it, the links line scanned with the formatted-scan
// rules, and a hand-edited record read loosely.
#include "format/loose_record.h"

#include <gtest/gtest.h>

#include <climits>

#include "format/room_record.h"

namespace rb {
namespace {

std::array<std::string, 10> lines(std::initializer_list<std::string> first) {
  std::array<std::string, 10> all;
  std::size_t i = 0;
  for (const std::string& line : first)
    all[i++] = line;
  return all;
}

TEST(LookLine, CutsNameAndDescriptionLines) {
  WorkingRoom room;
  cutLookLine("case 0: write_user(user,\"Hall\\n\");write_user(user,\"One\\n\\nThree\\n\");\n",
              room);
  EXPECT_EQ(room.shortname, "Hall");
  EXPECT_EQ(room.ldesc, lines({"One", "", "Three"}));
}

TEST(LookLine, EmptyNameAndEmptyDescription) {
  WorkingRoom room;
  room.ldesc[4] = "stale";
  cutLookLine("case 0: write_user(user,\"\\n\");write_user(user,\"\");\n", room);
  EXPECT_EQ(room.shortname, "");
  EXPECT_EQ(room.ldesc, lines({}));
}

TEST(LookLine, DecodesTheWritersEscapesOnly) {
  WorkingRoom room;
  cutLookLine(
      "case 0: write_user(user,\"A \\\"q\\\" \\\\ b\\rc\\n\");write_user(user,\"x\\\\\\n"
      "\\\");\\n\\ty\\n\");\n",
      room);
  EXPECT_EQ(room.shortname, "A \"q\" \\ b\rc");
  // A line typed as "); stays a line; any other escape ends the text.
  EXPECT_EQ(room.ldesc, lines({"x\\", "\");", "", "y"}));
}

TEST(LookLine, MalformedLinesFillWhatTheyCan) {
  WorkingRoom room;
  cutLookLine("no quote here\n", room);
  EXPECT_EQ(room.shortname, "");
  cutLookLine("case 0: write_user(user,\"Unended name\n", room);
  EXPECT_EQ(room.shortname, "Unended name");
  EXPECT_EQ(room.ldesc, lines({}));
  cutLookLine("\"Short\\n\");\n", room);  // too short for the step to the description
  EXPECT_EQ(room.shortname, "Short");
  EXPECT_EQ(room.ldesc, lines({}));
  cutLookLine("\"x\\n\");write_user(user,\"trailing backslash\\", room);
  EXPECT_EQ(room.ldesc, lines({"trailing backslash"}));
  cutLookLine("\"x\\n\");write_user(user,\"no tail", room);
  EXPECT_EQ(room.ldesc, lines({"no tail"}));
}

TEST(LookLine, OverLongTextsAreCut) {
  WorkingRoom room;
  const std::string name(60, 'n');
  const std::string line(150, 'l');
  cutLookLine("\"" + name + "\\n\");write_user(user,\"" + line + "\\n\");\n", room);
  EXPECT_EQ(room.shortname, std::string(49, 'n'));
  EXPECT_EQ(room.ldesc[0], std::string(99, 'l'));
  // A character straddling 49 or 99 is left out whole; Latin-1 stays.
  std::string accents, wide;
  for (int i = 0; i < 30; ++i)
    accents += "\xc3\xa9";
  for (int i = 0; i < 40; ++i)
    wide += "\xf0\x9d\x84\x9e";
  cutLookLine("\"" + accents + "\\n\");write_user(user,\"" + wide + "\\n" + std::string(98, 'l') +
                  "\xe9x\\n\");\n",
              room);
  EXPECT_EQ(room.shortname, accents.substr(0, 48));
  EXPECT_EQ(room.ldesc[0], wide.substr(0, 96));
  EXPECT_EQ(room.ldesc[1], std::string(98, 'l') + "\xe9");
}

TEST(LinksLine, ScannedInSlotOrderWithFormattedScanRules) {
  Exits exits;
  exits.fill(-1);
  scanLinks("int links[]={ 1,2,3,4,5,12,7,14,9,10,11,-12 };\n", exits);
  EXPECT_EQ(exits, (Exits{-1, 1, 2, 3, 4, 5, 12, 7, 14, 9, 10, 11, -12}));
  exits.fill(-1);
  scanLinks("int   links[]={8,  +9,\t10 ,x,1,1,1,1,1,1,1,1 };\n", exits);
  EXPECT_EQ(exits, (Exits{-1, 8, 9, 10, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
  exits.fill(-1);
  scanLinks("int links[] = { 1 };\n", exits);  // the blank before "=" does not match
  EXPECT_EQ(exits[1], -1);
  // Numbers beyond int are no room numbers: those exits are none, and said.
  exits.fill(5);
  std::array<std::string_view, kExitCount + 1> numbers{};
  EXPECT_EQ(scanLinks("int links[]={ 99999999999,-2147483649,2147483647,-2147483648,0002147483648",
                      exits, &numbers),
            (1u << 1) | (1u << 2) | (1u << 5));
  EXPECT_EQ(exits, (Exits{5, -1, -1, INT_MAX, INT_MIN, -1, 5, 5, 5, 5, 5, 5, 5}));
  EXPECT_EQ(numbers[2], "-2147483649");
  EXPECT_EQ(numbers[5], "0002147483648");
}

// A record the writer did not write: the first links line and the first
// look line, wherever they stand; the number from the header.
TEST(LooseRecord, ReadsTheFirstLinksAndLookLines) {
  WorkingRoom room;
  readLoosely(
      "a_bl_7(user,com,dir)\n/* hand-edited */\nint links[]={ 1,2 };\n"
      "case 0: write_user(user,\"Hall\\n\");write_user(user,\"Big.\\n\");\n"
      "int links[]={ 9 };\n",
      room);
  EXPECT_EQ(room.room, 7);
  EXPECT_EQ(room.exitd, (Exits{-1, 1, 2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(room.shortname, "Hall");
  EXPECT_EQ(room.ldesc[0], "Big.");
}

}  // namespace
}  // namespace rb
