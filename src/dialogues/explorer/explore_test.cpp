// The explorer as a whole (main-menu key 4): keystrokes in, exact output out.
#include "dialogues/explorer/explore.h"

#include <gtest/gtest.h>

#include "format/data_row.h"
#include "format/room_record.h"
#include "test_support.h"
#include "transcript_texts.h"

namespace rb::test {
namespace {

std::string record(int number, const std::string& name, int north) {
  WorkingRoom room;
  room.room = number;
  room.tempregionname = "r";
  room.shortname = name;
  room.exitd.fill(-1);
  room.exitd[1] = north;
  room.lines = -1;
  return roomRecord(room);
}

TEST(Explore, PromptRepeatsUntilAFileOpensThenWalks) {
  TempDir dir;
  const std::string file = dir.file(std::string(40, 'f') + ".c");
  writeFile(file, record(1, "One", 2) + record(2, "Two", -1));
  Console con(dir.file("missing") + "\n" + dir.path() + "\n" + file + "\n  1x\n1\n85");
  explore(con);
  EXPECT_EQ(con.output(), kExploreFilePrompt + kExploreFilePrompt + kExploreFilePrompt +
                              kLowestPrompt + kStartPrompt + kWalkIntro +
                              "One\nNorth:\t2\nTwo\n\n");
}

TEST(Explore, AnEmptyFileNameReturnsToTheMainMenu) {
  const RunResult run = runInProcess("4" + std::string("\n") + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kMainMenu) + kExploreFilePrompt + kMainMenu +
                         "Thank you for using Varneth Room Builder.\n");
}

TEST(Explore, EachExplorationStartsFromANewMap) {
  TempDir dir;
  writeFile(dir.file("a.c"), record(1, "One", -1));
  writeFile(dir.file("b.c"), record(2, "Two", -1));
  const RunResult run =
      runInProcess("4" + dir.file("a.c") + "\n0\n1\n5" + "4" + dir.file("b.c") + "\n0\n1\nq\n0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kMainMenu) + kExploreFilePrompt + kLowestPrompt +
                         kStartPrompt + kWalkIntro + "One\n\n" + kMainMenu + kExploreFilePrompt +
                         kLowestPrompt + kStartPrompt + "No such room.\n" + kStartPrompt +
                         kMainMenu + "Thank you for using Varneth Room Builder.\n");
}

TEST(Explore, EndOfInputAnywhereInTheExplorerIsStatusOne) {
  TempDir dir;
  writeFile(dir.file("a.c"), record(1, "One", -1));
  for (const std::string& input :
       {"4" + dir.file("none") + "\n", "4" + dir.file("a.c") + "\n",
        "4" + dir.file("a.c") + "\n0\n7\n", "4" + dir.file("a.c") + "\n0\n1\n88"}) {
    const RunResult run = runInProcess(input);
    EXPECT_EQ(run.status, 1) << input;
  }
}

TEST(Explore, ARoomWrittenByTheBuilderIsShownAsTyped) {
  TempDir dir;
  const std::string rooms = dir.file("rooms.c");
  const RunResult run =
      runInProcess("1" + rooms + "\n" + dir.file("rooms.dat") + "\n5 6\nya_b\n1\nn1\n" +
                   "3Say \"hi\" \\o/\n4Line one\n\n  indented \\n\n.\n28 6\n50" + "0" + "4" +
                   rooms + "\n5\n5\n85");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(endsWith(run.out, kWalkIntro +
                                    "Say \"hi\" \\o/\nLine one\n  indented \\n\nNorth:\t6\n" +
                                    "Say \"hi\" \\o/\nLine one\n\n" + kMainMenu));
}

// A room file may hold any bytes. On a pipe the explorer prints them as they
// are (scripts see the file's text); on a terminal as caret pairs, which the
// pseudo-terminal test checks.
TEST(Explore, ControlBytesOfAFileGoToAPipeAsTheyAre) {
  TempDir dir;
  const std::string hostile = "Hall\x1b]0;pwned\a\x1b[2J\x7f";
  writeFile(dir.file("h.c"), record(1, hostile, -1));
  Console con(dir.file("h.c") + "\n1\n1\n5");
  explore(con);
  EXPECT_TRUE(endsWith(con.output(), kWalkIntro + hostile + "\n\n"));
}

}  // namespace
}  // namespace rb::test
