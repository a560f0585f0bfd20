// Whole area builds (main-menu keys 1 and 2) as transcripts: keystrokes in,
// exact standard output, exit status and both files out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "base/utf8.h"
#include "test_support.h"
#include "transcript_texts.h"

namespace rb::test {
namespace {

const std::string kThanks = "Thank you for using Varneth Room Builder.\n";

// Keystrokes that start an area build in `mode` ('1' new, '2' append) on the
// two files and answer the area dialogue up to the room menu.
std::string startArea(char mode, const std::string& roomFile, const std::string& dataFile,
                      const std::string& range, const std::string& region) {
  return std::string(1, mode) + roomFile + "\n" + dataFile + "\n" + range + "\ny" + region;
}

// The room record for a room with only a short name and one description line.
std::string simpleRecord(const std::string& function, const std::string& links,
                         const std::string& name, const std::string& look) {
  return function + "(user,com,dir)\nOBJECT user;\nint com,dir;\n{\nint links[]={ " + links +
         " };\nswitch(com)\n{\ncase 0: write_user(user,\"" + name + "\\n\");write_user(user,\"" +
         look + "\");\nexits_contents(user,links,\"\"); return 0;\ncase 1: return links[dir];\n" +
         "case 4: write_user(user,\"" + name +
         "\\n\");\nexits_contents(user,links,\"\");}return 0;}\n\n";
}

const std::string kNoExits = "-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1";

class AreaBuild : public ::testing::Test {
 protected:
  std::string rooms() const { return readFile(roomFile); }
  std::string data() const { return readFile(dataFile); }

  TempDir dir;
  const std::string roomFile = dir.file("rooms.c");
  const std::string dataFile = dir.file("rooms.dat");
};

TEST_F(AreaBuild, NewAreaOfThreeRoomsThenAppendToIt) {
  const std::string input = startArea('1', roomFile, dataFile, "100 102", "vosmer\n5\nn3\n") +
                            // Room 100: short name, description, east exit to 101.
                            "3Square\n4Wide.\n.\n26101\n50" +
                            // Room 101: dark, renamed region; keeps the short name and first line.
                            "51inner\n0" +
                            // Room 102: terrain, one-word command, event.
                            "69\n81\nlook\nYou look.\n.\n70.5\nWind.\n0" +
                            // Append rooms 103 and 104 in another region; save 103, leave at 104.
                            startArea('2', roomFile, dataFile, "103 104", "east\n6\ny5\n") + "0x0";
  const RunResult run = runInProcess(input);
  EXPECT_EQ(run.status, 0);
  const std::string expected =
      kBanner + std::string(kMainMenu) + kNewFilePrompts + kNewDataPrompt + countQuestion(3) +
      kRegionPrompts + areaTerrainChosen(3) + kEnterRoomMode + roomMenu(100) + kShortNamePrompt +
      roomMenu(100) + kDescriptionHelp + "This is the room description recorded:\nWide.\n" +
      roomMenu(100) + kExitHelp + "Please enter destination of new east exit (-1 for no exit):\n" +
      kExitHelp + "East exit to room:\t101\n" + roomMenu(100) + roomMenu(101) +
      roomMenu(101, false) + "Enter temporary region name:\t" + roomMenu(101, false) +
      roomMenu(102) + roomTerrainMenu() + roomMenu(102) +
      "How many words does the command consist of?\n" + "Please enter word 1 of the command.\n" +
      kResponseHelp + roomMenu(102) + kEventPrompts + roomMenu(102) + kCompleted + kMainMenu +
      kAppendRoomPrompt + kAppendDataPrompt + countQuestion(2) + kRegionPrompts +
      areaTerrainChosen(5) + kEnterRoomMode + roomMenu(103, false) + roomMenu(104, false) +
      kMainMenu + kThanks;
  EXPECT_EQ(run.out, expected);

  EXPECT_EQ(
      rooms(),
      simpleRecord("vosmerl_100", "-1,-1,101,-1,-1,-1,-1,-1,-1,-1,-1,-1", "Square", "Wide.\\n") +
          simpleRecord("innerl_101", kNoExits, "Square", "Wide.\\n") +
          "vosmerl_102(user,com,dir)\nOBJECT user;\nint com,dir;\n{\n"
          "int links[]={ " +
          kNoExits +
          " };\nswitch(com)\n{\n"
          "case 0: write_user(user,\"Square\\n\");write_user(user,\"Wide.\\n\");\n"
          "exits_contents(user,links,\"\"); return 0;\n"
          "case 1: return links[dir];\n"
          "case 2: if(!strcmp(word[0],\"look\")) { write_user(user,\"You look.\\n\"); "
          "return 1; } return 0;\n"
          "case 3: if(randnum()<0.500000)write_room(102,\"Wind.\\n\"); return 0;\n"
          "case 4: write_user(user,\"Square\\n\");\n"
          "exits_contents(user,links,\"\");}return 0;}\n\n" +
          // The new area starts with an empty short name; the description
          // buffer still holds the last description entered.
          simpleRecord("eastl_103", kNoExits, "", "Wide.\\n"));
  EXPECT_EQ(data(),
            "vosmerl_100,5,0,0,1,1,0,0,3,\"\",\n"
            "innerl_101,5,0,0,0,1,0,0,3,\"\",\n"
            "vosmerl_102,5,0,0,1,1,0,0,9,\"\",\n"
            "eastl_103,6,0,0,0,1,0,0,5,\"\",\n");
}

TEST_F(AreaBuild, XOnTheFirstRoomLeavesBothNewFilesEmpty) {
  writeFile(roomFile, "old rooms\n");
  writeFile(dataFile, "old data\n");
  const RunResult run =
      runInProcess(startArea('1', roomFile, dataFile, "1 5", "r\n1\nn1\n") + "3Name\nx0");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(fileExists(roomFile));
  EXPECT_EQ(rooms(), "");
  EXPECT_EQ(data(), "");
  EXPECT_EQ(run.out.find(kCompleted), std::string::npos);
}

TEST_F(AreaBuild, NonPositiveCountGoesStraightToCompletion) {
  const RunResult run =
      runInProcess(startArea('1', roomFile, dataFile, "10 9", "r\n1\nn1\n") + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kMainMenu) + kNewFilePrompts + kNewDataPrompt +
                         countQuestion(0) + kRegionPrompts + areaTerrainChosen(1) + kEnterRoomMode +
                         kCompleted + kMainMenu + kThanks);
  EXPECT_EQ(rooms(), "");
  EXPECT_EQ(data(), "");
}

TEST_F(AreaBuild, CountQuestionRepeatsAndTextKeepsBothNumbers) {
  // "n" asks again; text that is not a number answers both prompts and keeps
  // the numbers of the first answer; Enter after "y" leaves the region empty.
  const RunResult run =
      runInProcess("1" + roomFile + "\n" + dataFile + "\n" + "3 4\nnabc\ny\n7\nn1\n00");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(countQuestion(2) + countQuestion(2) + kRegionPrompts), std::string::npos);
  EXPECT_EQ(data(), "l_3,7,0,0,1,1,0,0,1,\"\",\nl_4,7,0,0,1,1,0,0,1,\"\",\n");
}

TEST_F(AreaBuild, RoomNumbersAtTheEndsOfTheIntRange) {
  RunResult run = runInProcess(
      startArea('1', roomFile, dataFile, "2147483646 99999999999", "r\n1\nn1\n") + "000");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(roomMenu(2147483647) + kCompleted + kMainMenu + kThanks),
            std::string::npos);
  EXPECT_EQ(data(), "rl_2147483646,1,0,0,1,1,0,0,1,\"\",\nrl_2147483647,1,0,0,1,1,0,0,1,\"\",\n");

  // Negative numbers cannot name a C function: both prompts come again.
  run = runInProcess("1" + roomFile + "\n" + dataFile + "\n-2147483648 2147483647\n5 -1\n" +
                     "0 2147483647\ny" + "r\n1\nn1\n0x0");
  EXPECT_EQ(run.status, 0);
  const std::string refused =
      "Which number will be your first room number?\n"
      "Which number will be your last room number?\n"
      "Room numbers may not be negative.\n";
  EXPECT_NE(run.out.find(refused + refused + countQuestion(2147483648LL)), std::string::npos);
  EXPECT_NE(run.out.find(roomMenu(1)), std::string::npos);
  EXPECT_EQ(data(), "rl_0,1,0,0,1,1,0,0,1,\"\",\n");
}

TEST_F(AreaBuild, RegionNamesThatCannotNameAFunctionAreRefused) {
  const RunResult run = runInProcess(
      startArea('1', roomFile, dataFile, "1 1", "north wood\n9lives\nbad-name\nnorth_wood2\n") +
      "1\nn1\n1caf\xc3\xa9\n\n0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("What is your default region name? (e.g. vosmer)\n" + kRegionRefused +
                         "What is your default region name? (e.g. vosmer)\n" + kRegionRefused +
                         "What is your default region name? (e.g. vosmer)\n" + kRegionRefused +
                         "What is your default region name? (e.g. vosmer)\n" +
                         "What is your default region number?\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("Enter temporary region name:\t" + kRegionRefused +
                         "Enter temporary region name:\t" + roomMenu(1)),
            std::string::npos);
  // The empty name is allowed and names the function "l_1".
  EXPECT_EQ(data(), "l_1,1,0,0,1,1,0,0,1,\"\",\n");
}

TEST_F(AreaBuild, TerrainChoicesAndThePasscode) {
  // Area: text (keeps 0, invalid), 19 (invalid), 17 with a wrong passcode,
  // 18 with the right one. Room: 0, 17 wrong, 2.
  const RunResult run = runInProcess(startArea('1', roomFile, dataFile, "1 1", "r\n1\nn") +
                                     "city\n19\n17\nKELVAPASS2093\n18 x\nkelvapass2093\n" +
                                     "60\n17\nkelvapass20931\n2\n0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(
      run.out.find(kRegionPrompts + areaTerrainChosen(0) + "This is an invalid terrain type.\n" +
                   areaTerrainChosen(19) + "This is an invalid terrain type.\n" +
                   areaTerrainChosen(17) + kPasscodePrompt + kNotAuthorised +
                   areaTerrainChosen(18) + kPasscodePrompt + kEnterRoomMode + roomMenu(1) +
                   roomTerrainMenu() + "Invalid terrain type.\n" + roomTerrainMenu() +
                   kPasscodePrompt + kNotAuthorised + roomTerrainMenu() + roomMenu(1)),
      std::string::npos)
      << run.out;
  EXPECT_EQ(data(), "rl_1,1,0,0,1,1,0,0,2,\"\",\n");
}

TEST_F(AreaBuild, SecondBuildKeepsTheAreaTerrainWhenTextIsTyped) {
  const std::string first =
      startArea('1', roomFile, dataFile, "1 1", "r\n1\nn") + "17\nkelvapass2093\n0";
  const RunResult run = runInProcess(first + "1" + roomFile + "\n" + dataFile +
                                     "\n2 2\nyr\n1\nnabc\nkelvapass2093\n0");
  EXPECT_NE(run.out.find(areaTerrainChosen(17) + kPasscodePrompt + kEnterRoomMode + roomMenu(2)),
            std::string::npos);
  EXPECT_EQ(data(), "rl_2,1,0,0,1,1,0,0,17,\"\",\n");
}

TEST_F(AreaBuild, MenuSuppressionAndShowOnce) {
  // Suppress the menu in the setup menu, then reveal it once with "?".
  const RunResult run =
      runInProcess("s1x" + startArea('1', roomFile, dataFile, "1 1", "r\n1\ny1\n") + "5?5x");
  EXPECT_NE(run.out.find(kEnterRoomMode + roomMenu(1, false, false) + roomMenu(1, true, false) +
                         roomMenu(1, true, true) + roomMenu(1, false, false) + kMainMenu),
            std::string::npos)
      << run.out;
}

TEST_F(AreaBuild, SavingResetsToTheDefaultsButKeepsNameAndTexts) {
  const RunResult run = runInProcess(startArea('1', roomFile, dataFile, "1 2", "r\n1\ny4\n") +
                                     "3Hall\n4One\nTwo\n.\n28 5\n55" +
                                     "69\n71\nBoom\n82\na\nb\nc\n.\n" + "1other\n0" + "90");
  EXPECT_EQ(run.status, 0);
  // Room 2: defaults again (dark, terrain 4, region r, no exits, no command
  // or event), short name kept, description reduced to its first line.
  EXPECT_NE(run.out.find(roomMenu(2, false) +
                         "This is room 2.\n"
                         "Its short description is: Hall\n"
                         "Its long description is:\n"
                         "One\n"
                         "It is in region number 1.\n"
                         "This region is called r.\n"
                         "The room's terrain is classified as Swamps.\n"
                         "This room is naturally dark.\n" +
                         roomMenu(2, false)),
            std::string::npos)
      << run.out;
  EXPECT_EQ(data(), "otherl_1,1,0,0,1,1,0,0,9,\"\",\nrl_2,1,0,0,0,1,0,0,4,\"\",\n");
}

TEST_F(AreaBuild, EndOfInputKeepsEverySavedRoomAndEndsWithStatusOne) {
  const RunResult run =
      runInProcess(startArea('1', roomFile, dataFile, "1 3", "r\n1\nn1\n") + "3A\n03B\n04Half");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(rooms(), simpleRecord("rl_1", kNoExits, "A", "\\n") +
                         simpleRecord("rl_2", kNoExits, "B", "\\n"));
  EXPECT_EQ(data(), "rl_1,1,0,0,1,1,0,0,1,\"\",\nrl_2,1,0,0,1,1,0,0,1,\"\",\n");
  // Nothing is printed after the last prompt.
  EXPECT_TRUE(endsWith(run.out, kDescriptionHelp));
}

// Appending, a room number is as much a room's identity as its function
// name: a range holding a number the room file has is refused before any
// room is typed, with the next free number, and both prompts come again.
TEST_F(AreaBuild, AppendingRefusesARangeHoldingANumberTheRoomFileHas) {
  writeFile(roomFile,
            "/* first */\nrl_2(user,com,dir)\nhand-written\nrl_3(user,com,dir)\n"
            "ol_7(user,com,dir)\n");
  writeFile(dataFile, "");
  const std::string prompts =
      "Which number will be your first room number?\n"
      "Which number will be your last room number?\n";
  const RunResult run = runInProcess("2" + roomFile + "\n" + dataFile + "\n" + "1 5\n" + "3 3\n" +
                                     "6 8\n" + "4 6\ny" + "r\n1\nn1\n" + "000" + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(
      run.out.find(kAppendDataPrompt + prompts +
                   "The room file already has room 2; the next free number is 1.\n" + prompts +
                   "The room file already has room 3; the next free number is 4.\n" + prompts +
                   "The room file already has room 7; the next free number is 6.\n" +
                   countQuestion(3) + kRegionPrompts),
      std::string::npos)
      << run.out;
  EXPECT_TRUE(endsWith(rooms(), simpleRecord("rl_6", kNoExits, "", "\\n")));
}

TEST_F(AreaBuild, TheDataFileMustNotBeTheRoomFile) {
  // By its own name, a symbolic link, then a hard link.
  const std::string link = dir.file("alias.c");
  writeFile(roomFile, "");
  ASSERT_EQ(symlink(roomFile.c_str(), link.c_str()), 0);
  const std::string hard = dir.file("hard.c");
  ASSERT_EQ(::link(roomFile.c_str(), hard.c_str()), 0);
  for (char mode : {'1', '2'}) {
    const std::string room = mode == '1' ? "1 1" : "2 2";
    const RunResult run =
        runInProcess(std::string(1, mode) + roomFile + "\n" + roomFile + "\n" + link + "\n" + hard +
                     "\n" + dataFile + "\n" + room + "\nyr\n1\nn1\n0");
    const std::string& prompt = mode == '1' ? kNewDataPrompt : kAppendDataPrompt;
    const std::string refused = "The data file must not be the room file.\n";
    EXPECT_NE(run.out.find(prompt + refused + prompt + refused + prompt + refused + prompt +
                           countQuestion(1)),
              std::string::npos)
        << mode;
  }
  EXPECT_EQ(rooms(),
            simpleRecord("rl_1", kNoExits, "", "\\n") + simpleRecord("rl_2", kNoExits, "", "\\n"));
  EXPECT_EQ(data(), "rl_1,1,0,0,1,1,0,0,1,\"\",\nrl_2,1,0,0,1,1,0,0,1,\"\",\n");
}

TEST_F(AreaBuild, LongFileNamesAreNotCut) {
  const RunResult run = runBinary(
      startArea('1', "abcdefghijklmnop.c", "data.txt", "1 1", "r\n1\nn1\n") + "0", dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(readFile(dir.file("abcdefghijklmnop.c")), "");
  EXPECT_FALSE(fileExists(dir.file("abcdefghijkl")));
}

TEST_F(AreaBuild, AFileThatWillNotOpenIsFatal) {
  RunResult run = runInProcess("1" + dir.file("missing/rooms.c") + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner + std::string(kMainMenu) + kNewFilePrompts +
                         "Fatal Error - File not opening.\n");

  // The room file opened (and was emptied) before the data file failed.
  writeFile(roomFile, "old");
  run = runInProcess("1" + roomFile + "\n" + dir.path() + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, kNewDataPrompt + "Fatal Error - File not opening.\n"));
  EXPECT_EQ(rooms(), "");

  run = runInProcess("2" + roomFile + "\n" + dir.file("no/such/dir") + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, kAppendDataPrompt + "Fatal Error - File not opening.\n"));
}

// Whatever is typed as UTF-8, of whatever length, the room file is UTF-8:
// no cut splits a character. Escape sequences in typed lines are left out.
TEST_F(AreaBuild, TypedUtf8StaysValidAndEscapeSequencesStayOut) {
  const std::string characters[] = {"a", "\xc3\xa9", "\xe6\x97\xa5", "\xf0\x9d\x84\x9e"};
  std::string keys;
  for (int n = 1; n <= 12; ++n) {
    std::string text;
    for (int i = 0; i < 30 + n * 5; ++i)
      text += characters[static_cast<std::size_t>((i * n) % 4)];
    keys += "3" + text + "\n" + "4" + text + "\n" + text + text + "\n.\n" + "81\n" + text + "\n" +
            text + "\n.\n" + "70.5\n" + text + "\n" + "0";
  }
  const RunResult run = runInProcess(
      startArea('1', roomFile, dataFile, "1 12", "r\n1\nn1\n") + keys +
      startArea('2', roomFile, dataFile, "13 13", "r\n1\nn1\n") + "3Arrow\x1b[D key\x1bOA\n0");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(isValidUtf8(rooms()));
  EXPECT_NE(rooms().find("write_user(user,\"Arrow key\\n\")"), std::string::npos);
  EXPECT_EQ(rooms().find('\x1b'), std::string::npos);
}

TEST_F(AreaBuild, AFullDeviceIsAFatalWriteErrorThroughTheRealProgram) {
  const RunResult run =
      runBinary(startArea('1', "/dev/full", dataFile, "1 2", "r\n1\nn1\n") + "0" + "0", dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(endsWith(run.out, "9: See summary of room.\nFatal Error - File not writing.\n"));
}

}  // namespace
}  // namespace rb::test
