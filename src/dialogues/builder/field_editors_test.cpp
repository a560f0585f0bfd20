#include "dialogues/builder/field_editors.h"

#include <gtest/gtest.h>

#include "test_support.h"
#include "transcript_texts.h"

namespace rb {
namespace {

using namespace test;

// Lines "<prefix>0" to "<prefix><count - 1>", each with its line break.
std::string numberedLines(const std::string& prefix, int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += prefix + std::to_string(i) + "\n";
  return text;
}

WorkingRoom roomWithoutExits() {
  WorkingRoom room;
  room.exitd.fill(-1);
  return room;
}

TEST(ExitEditor, KeyFiveAtOnceShowsTheInstructionsOnce) {
  Console con("5");
  WorkingRoom room = roomWithoutExits();
  exits(con, room);
  EXPECT_EQ(con.output(), kExitHelp);
}

TEST(ExitEditor, ListsInSlotOrderAndMinusOneRemoves) {
  // Set out, northwest, north (in that order), then remove north again.
  Console con("o7\n7 12 trailing\n8-5\n8\n-1\n5");
  WorkingRoom room = roomWithoutExits();
  exits(con, room);
  EXPECT_EQ(con.output(),
            kExitHelp + "Please enter destination of new out exit (-1 for no exit):\n" + kExitHelp +
                "Out exit to room:\t7\n" +
                "Please enter destination of new northwest exit (-1 for no exit):\n" + kExitHelp +
                "Northwest exit to room:\t12\nOut exit to room:\t7\n" +
                "Please enter destination of new north exit (-1 for no exit):\n" + kExitHelp +
                "North exit to room:\t-5\nNorthwest exit to room:\t12\nOut exit to room:\t7\n" +
                "Please enter destination of new north exit (-1 for no exit):\n" + kExitHelp +
                "Northwest exit to room:\t12\nOut exit to room:\t7\n");
  EXPECT_EQ(room.exitd[1], -1);
  EXPECT_EQ(room.exitd[8], 12);
  EXPECT_EQ(room.exitd[12], 7);
}

TEST(ExitEditor, EveryKeyPromptsForItsOwnSlot) {
  Console con("8\n1\n2\n2\n6\n3\n4\n4\n9\n5\n3\n6\n1\n7\n7\n8\nu\n9\nd\n10\ni\n11\no\n12\n5");
  WorkingRoom room = roomWithoutExits();
  exits(con, room);
  for (int slot = 1; slot <= 12; ++slot)
    EXPECT_EQ(room.exitd[static_cast<std::size_t>(slot)], slot);
  for (const char* direction : {"north", "south", "east", "west", "northeast", "southeast",
                                "southwest", "northwest", "up", "down", "in", "out"}) {
    const std::string prompt =
        std::string("Please enter destination of new ") + direction + " exit (-1 for no exit):\n";
    EXPECT_NE(con.output().find(prompt), std::string::npos) << prompt;
  }
  EXPECT_NE(con.output().find("North exit to room:\t1\nSouth exit to room:\t2\nEast exit to "
                              "room:\t3\nWest exit to room:\t4\nNortheast exit to room:\t5\n"
                              "Southeast exit to room:\t6\nSouthwest exit to room:\t7\nNorthwest "
                              "exit to room:\t8\nUp exit to room:\t9\nDown exit to room:\t10\nIn "
                              "exit to room:\t11\nOut exit to room:\t12\n"),
            std::string::npos);
}

TEST(ExitEditor, TheKeypadWithNumLockOffPicksExitsToo) {
  // Up, End, Page Down (SS3 and CSI forms, one with a modifier), a function
  // key (one redisplay), then the centre key ends the editor.
  Console con("\x1b[A1\n\x1bOF7\n\x1b[6;5~3\n\x1b[15~\x1b[E");
  WorkingRoom room = roomWithoutExits();
  exits(con, room);
  EXPECT_EQ(room.exitd[1], 1);
  EXPECT_EQ(room.exitd[7], 7);
  EXPECT_EQ(room.exitd[6], 3);
  EXPECT_TRUE(
      test::endsWith(con.output(), "Southwest exit to room:\t7\n" + kExitHelp +
                                       "North exit to room:\t1\nSoutheast exit to room:\t3\n"
                                       "Southwest exit to room:\t7\n"));
}

TEST(ExitEditor, UpperCaseAndUnknownKeysOnlyRedisplay) {
  Console con("UDIO\nx5");
  WorkingRoom room = roomWithoutExits();
  exits(con, room);
  std::string expected;
  for (int i = 0; i < 7; ++i)
    expected += kExitHelp;
  EXPECT_EQ(con.output(), expected);
}

TEST(ExitEditor, TextInsteadOfANumberKeepsTheDestination) {
  Console con("8abc\n5");
  WorkingRoom room = roomWithoutExits();
  room.exitd[1] = 42;
  exits(con, room);
  EXPECT_EQ(room.exitd[1], 42);
}

TEST(LongDescription, LonePeriodOnTheFirstLineGivesAnEmptyDescription) {
  Console con(".\n");
  WorkingRoom room;
  room.ldesc[0] = "old";
  longdesc(con, room);
  EXPECT_EQ(room.lines, -1);
  EXPECT_EQ(con.output(), kDescriptionHelp + "This is the room description recorded:\n");
}

TEST(LongDescription, PeriodsWithBlanksAndEmptyLinesAreText) {
  Console con(" .\n. \n\n..\n.\n");
  WorkingRoom room;
  longdesc(con, room);
  EXPECT_EQ(room.lines, 3);
  EXPECT_EQ(con.output(),
            kDescriptionHelp + "This is the room description recorded:\n .\n. \n\n..\n");
}

TEST(LongDescription, TenLinesReachTheMaximumAndNoEleventhIsRead) {
  Console con(numberedLines("line ", 10) + "eleventh\n");
  WorkingRoom room;
  longdesc(con, room);
  EXPECT_EQ(room.lines, 9);
  EXPECT_EQ(con.output(), kDescriptionHelp + "Maximum lines for long description reached.\n" +
                              "This is the room description recorded:\n" +
                              numberedLines("line ", 10));
  EXPECT_EQ(con.readLine(100), "eleventh");
}

TEST(LongDescription, PeriodAsTenthLineGivesNineLinesWithoutMessage) {
  Console con(numberedLines("l", 9) + ".\n");
  WorkingRoom room;
  longdesc(con, room);
  EXPECT_EQ(room.lines, 8);
  EXPECT_EQ(con.output().find("Maximum"), std::string::npos);
}

TEST(LongDescription, OverLongLineKeepsNinetyNineCharactersAndLosesTheRest) {
  const std::string typed = std::string(99, 'a') + "TAIL";
  Console con(typed + "\nnext\n.\n");
  WorkingRoom room;
  longdesc(con, room);
  EXPECT_EQ(room.lines, 1);
  EXPECT_EQ(room.ldesc[0], std::string(99, 'a'));
  EXPECT_EQ(room.ldesc[1], "next");
}

TEST(CommandEditor, CountZeroAsksNoWordsButStillTheResponse) {
  Console con("0\nignored\n.\n");
  WorkingRoom room;
  room.command = 3;
  commandcode(con, room);
  EXPECT_EQ(room.command, 0);
  EXPECT_EQ(room.clines, 0);
  EXPECT_EQ(room.cdesc[0], "ignored");
  EXPECT_EQ(con.output(), "How many words does the command consist of?\n" + kResponseHelp);
}

TEST(CommandEditor, TwoWordsAndAResponse) {
  Console con("2 words\npull\nlever\nClick.\n.\n");
  WorkingRoom room;
  commandcode(con, room);
  EXPECT_EQ(room.command, 2);
  EXPECT_EQ(room.comm[1], "pull");
  EXPECT_EQ(room.comm[2], "lever");
  EXPECT_EQ(room.clines, 0);
  EXPECT_EQ(con.output(),
            "How many words does the command consist of?\n"
            "Please enter word 1 of the command.\n"
            "Please enter word 2 of the command.\n" +
                kResponseHelp);
}

TEST(CommandEditor, MoreThanNineWordsAreRefused) {
  Console con("10\n2147483647\n1\nonly\n.\n");
  WorkingRoom room;
  commandcode(con, room);
  EXPECT_EQ(room.command, 1);
  EXPECT_EQ(con.output(),
            "How many words does the command consist of?\n"
            "A command can have at most 9 words.\n"
            "How many words does the command consist of?\n"
            "A command can have at most 9 words.\n"
            "How many words does the command consist of?\n"
            "Please enter word 1 of the command.\n" +
                kResponseHelp);
}

TEST(CommandEditor, ResponseStopsAfterTenLines) {
  std::string input = "1\nword\n";
  input += numberedLines("r", 10);
  Console con(input + "not read\n");
  WorkingRoom room;
  commandcode(con, room);
  EXPECT_EQ(room.clines, 9);
  EXPECT_EQ(room.cdesc[9], "r9");
  EXPECT_TRUE(
      test::endsWith(con.output(), kResponseHelp + "Maximum lines for command text reached.\n"));
  EXPECT_EQ(con.readLine(100), "not read");
}

TEST(RandomEvent, FrequencyAndTextAreRecordedSilently) {
  Console con("0.25 or so\nThunder rolls.\n");
  WorkingRoom room;
  randomevent(con, room);
  EXPECT_EQ(room.t, 0.25f);
  EXPECT_EQ(room.randtext, "Thunder rolls.");
  EXPECT_EQ(con.output(),
            "Please enter how often this event will occur (0-1, 0.1 is an example.)\n"
            "Please type the text which will be echoed to the room when this event happens.\n");
}

TEST(RandomEvent, NotANumberKeepsTheFrequencyAndLongTextIsCut) {
  Console con("often\n" + std::string(100, 'e') + "\n");
  WorkingRoom room;
  room.t = 0.5f;
  randomevent(con, room);
  EXPECT_EQ(room.t, 0.5f);
  EXPECT_EQ(room.randtext, std::string(79, 'e'));
}

WorkingRoom summaryRoom() {
  WorkingRoom room;
  room.room = 7;
  room.shortname = "Cellar";
  room.ldesc[0] = "Damp.";
  room.ldesc[1] = "Dark.";
  room.lines = 1;
  room.tempregionname = "deep";
  room.roomterrain = 7;
  room.roomdark = 0;
  return room;
}

TEST(Summary, WithoutCommandOrEventEndsWithTheLightLine) {
  Console con("");
  AreaDefaults area;
  area.region = 3;
  summary(con, summaryRoom(), area);
  EXPECT_EQ(con.output(),
            "This is room 7.\n"
            "Its short description is: Cellar\n"
            "Its long description is:\n"
            "Damp.\nDark.\n"
            "It is in region number 3.\n"
            "This region is called deep.\n"
            "The room's terrain is classified as Ice.\n"
            "This room is naturally dark.\n");
}

TEST(Summary, CommandBlockComesBeforeTheEventBlock) {
  WorkingRoom room = summaryRoom();
  room.lines = -1;
  room.roomdark = 1;
  room.command = 2;
  room.comm[1] = "pull";
  room.comm[2] = "lever";
  room.cdesc[0] = "Click.";
  room.clines = 0;
  room.t = 0.1f;
  room.randtext = "Drip.";
  Console con("");
  summary(con, room, AreaDefaults{});
  EXPECT_EQ(con.output(),
            "This is room 7.\n"
            "Its short description is: Cellar\n"
            "Its long description is:\n"
            "It is in region number 0.\n"
            "This region is called deep.\n"
            "The room's terrain is classified as Ice.\n"
            "This room is naturally light.\n"
            "This room has a built in command.\n"
            "Its keywords are:\n"
            "pull\nlever\n"
            "These commands generate this text:\n"
            "Click.\n"
            "This room has a random event.\n"
            // 0.1f widened to double, times 100, in double precision.
            "It occurs 10.000000% of the time.\n"
            "It generates the text:\n"
            "Drip.\n");
}

TEST(Summary, PercentagesOfOddFrequencies) {
  WorkingRoom room = summaryRoom();
  const std::pair<float, const char*> cases[] = {
      {0.25f, "It occurs 25.000000% of the time.\n"},
      {0.3f, "It occurs 30.000001% of the time.\n"},
  };
  for (const auto& [t, line] : cases) {
    room.t = t;
    Console con("");
    summary(con, room, AreaDefaults{});
    EXPECT_NE(con.output().find(line), std::string::npos) << line;
  }
  // No event is written for these, so the summary claims none.
  for (const float t : {0.0f, -0.5f}) {
    room.t = t;
    Console con("");
    summary(con, room, AreaDefaults{});
    EXPECT_EQ(con.output().find("random event"), std::string::npos) << t;
  }
}

}  // namespace
}  // namespace rb
