// Main-menu key 3 as transcripts: keystrokes in, exact output, status and
// the new files out.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include "test_support.h"
#include "transcript_texts.h"

namespace rb::test {
namespace {

const std::string kFromPrompt = "Please enter the name of the room file to transfer from.\n";
const std::string kDataFromPrompt = "Please enter the name of its room data file.\n";
const std::string kNewRoomPrompt = "Please enter the name of the new room file.\n";
const std::string kNewDataPrompt2 = "Please enter the name of the new room data file.\n";
const std::string kStartEditing =
    "Which room do you wish to start editing at? (Enter for the first)\n";
const std::string kTransferred = "Transfer completed, returning to main menu.\n";
const std::string kUnable = "Unable to open that file.\n";

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    // Rooms 100 to 102: names, a description, exits, a command and an event;
    // room 102 is dark.
    const RunResult run = runInProcess(
        "1" + rooms + "\n" + data + "\n100 102\ny" + "vosmer\n5\nn3\n" +
        "3Town \"Square\"\n4A wide square.\n\nStill wide.\n.\n28 101\n50" +
        "3Alley\n4.\n82\npull\nlever\nClick.\n.\n70.25\nA bell.\n22 100\n50" + "3Gate\n50");
    ASSERT_EQ(run.status, 0);
    roomText = readFile(rooms);
    dataText = readFile(data);
  }

  // Keystrokes that transfer rooms.c/rooms.dat to new.c/new.dat, starting
  // at `start`, followed by `keys`.
  std::string transferKeys(const std::string& start, const std::string& keys) const {
    return "3" + rooms + "\n" + data + "\n" + newRooms + "\n" + newData + "\n" + start + "\n" +
           keys;
  }

  std::string header(int total, int editable) const {
    return kFromPrompt + kDataFromPrompt + std::to_string(total) + " rooms read, " +
           std::to_string(editable) + " of them can be edited.\n";
  }

  TempDir dir;
  const std::string rooms = dir.file("rooms.c"), data = dir.file("rooms.dat");
  const std::string newRooms = dir.file("new.c"), newData = dir.file("new.dat");
  std::string roomText, dataText;
};

TEST_F(Transfer, WithoutEditsTheNewFilesEqualTheOld) {
  RunResult run = runInProcess(transferKeys("", "000") + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kMainMenu) + header(3, 3) + kNewRoomPrompt +
                         kNewDataPrompt2 + kStartEditing + roomMenu(100) + roomMenu(101) +
                         roomMenu(102, false) + kTransferred + kMainMenu +
                         "Thank you for using Varneth Room Builder.\n");
  EXPECT_EQ(readFile(newRooms), roomText);
  EXPECT_EQ(readFile(newData), dataText);
  // x at once: the same files again (the old new files kept in backups).
  run = runInProcess(transferKeys("", "x"));
  EXPECT_NE(
      run.out.find("The old contents of " + newRooms + " are kept in " + newRooms + ".~1~.\n"),
      std::string::npos);
  EXPECT_TRUE(endsWith(run.out, roomMenu(100) + kTransferred + kMainMenu));
  EXPECT_EQ(readFile(newRooms), roomText);
  EXPECT_EQ(readFile(newData), dataText);
  EXPECT_EQ(readFile(rooms), roomText);  // the files read are never written
  EXPECT_EQ(readFile(data), dataText);
}

// Lines that differ between two texts, by number.
std::vector<int> changedLines(const std::string& a, const std::string& b) {
  std::vector<int> changed;
  std::size_t pa = 0, pb = 0;
  for (int line = 1; pa < a.size() || pb < b.size(); ++line) {
    const std::size_t ea = a.find('\n', pa), eb = b.find('\n', pb);
    if (a.substr(pa, ea - pa) != b.substr(pb, eb - pb)) changed.push_back(line);
    pa = ea == std::string::npos ? a.size() : ea + 1;
    pb = eb == std::string::npos ? b.size() : eb + 1;
  }
  return changed;
}

TEST_F(Transfer, AnEditChangesOnlyTheLinesItMust) {
  // Room 101: a new short name, and the restricted terrain 18 with the
  // passcode; the rooms around it stay as they were.
  const RunResult run = runInProcess(transferKeys("101", "3Back Alley\n618\nkelvapass2093\n90x"));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(kStartEditing + roomMenu(101) + kShortNamePrompt + roomMenu(101) +
                         roomTerrainMenu() + kPasscodePrompt + roomMenu(101) +
                         "This is room 101.\nIts short description is: Back Alley\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("It is in region number 5.\nThis region is called vosmer.\n"
                         "The room's terrain is classified as Divine.\n"),
            std::string::npos);
  // Room 101's look line (line 21) and brief line (line 26).
  EXPECT_EQ(changedLines(roomText, readFile(newRooms)), (std::vector<int>{21, 26}));
  EXPECT_EQ(changedLines(dataText, readFile(newData)), (std::vector<int>{2}));
  EXPECT_NE(readFile(newData).find("vosmerl_101,5,0,0,1,1,0,0,18,\"\",\n"), std::string::npos);
}

TEST_F(Transfer, XInTheMiddleCopiesTheRestUnchanged) {
  // Room 101's new short name is not saved: x asks, another key goes back
  // to the menu, y leaves without it. Unchanged, x asks nothing.
  const std::string asked = "Room 101 has changes that are not saved. Leave without them? (y/n)\n";
  const RunResult run = runInProcess(transferKeys("", "50" + std::string("3Nothing\nxnxy")));
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(endsWith(run.out, roomMenu(101) + kShortNamePrompt + roomMenu(101) + asked +
                                    roomMenu(101) + asked + kTransferred + kMainMenu))
      << run.out;
  EXPECT_TRUE(endsWith(runInProcess(transferKeys("", "50x")).out,
                       roomMenu(101) + kTransferred + kMainMenu));
  // Room 100 turned dark; room 101's new name is dropped.
  EXPECT_EQ(changedLines(dataText, readFile(newData)), (std::vector<int>{1}));
  EXPECT_EQ(readFile(newRooms), roomText);
}

TEST_F(Transfer, TheEndOfInputStillGivesAWholeTransfer) {
  RunResult run = runInProcess(transferKeys("", "50" + std::string("3Dropped\n")));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.find(kTransferred), std::string::npos);
  EXPECT_EQ(readFile(newRooms), roomText);
  EXPECT_EQ(changedLines(dataText, readFile(newData)), (std::vector<int>{1}));
  // At the start prompt, everything is copied.
  run = runInProcess("3" + rooms + "\n" + data + "\n" + newRooms + "\n" + newData + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readFile(newRooms), roomText);
  EXPECT_EQ(readFile(newData), dataText);
  // Before the new data file is named: nothing is written. The new room
  // file as it was stays (its contents are also in a backup); a name that
  // was free stays free.
  unlink(newData.c_str());
  writeFile(newRooms, "as it was\n");
  run = runInProcess("3" + rooms + "\n" + data + "\n" + newRooms + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readFile(newRooms), "as it was\n");
  EXPECT_FALSE(fileExists(newData));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().string().find(".partial-"), std::string::npos) << entry.path();
}

TEST_F(Transfer, HandEditedRecordsAndTextBeforeTheFirstAreCopied) {
  // A comment and an include before the first record, room 101 hand-edited,
  // a row that belongs to no record, and room 102 without a row.
  const std::string prologue = "/* The town */\n#include \"town.h\"\n";
  std::string edited = roomText;
  edited.replace(edited.find("int links[]={ -1,"), 14, "int links[] = { -1,");
  writeFile(rooms, prologue + edited);
  std::string rows = dataText;
  rows.erase(rows.find("vosmerl_102"));
  writeFile(data, "extra,1,2,3\n" + rows);

  const RunResult run = runInProcess(transferKeys("", "3Plaza\n0") + "0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kMainMenu) + header(3, 1) +
                         "Room record at line 16 cannot be edited; it will be copied unchanged.\n"
                         "Room record at line 31 cannot be edited; it will be copied unchanged.\n" +
                         kNewRoomPrompt + kNewDataPrompt2 + kStartEditing + roomMenu(100) +
                         kShortNamePrompt + roomMenu(100) + kTransferred + kMainMenu +
                         "Thank you for using Varneth Room Builder.\n");
  const std::string written = readFile(newRooms);
  EXPECT_EQ(written.substr(0, prologue.size()), prologue);
  EXPECT_EQ(changedLines(prologue + edited, written), (std::vector<int>{10, 13}));
  // The data file in its own order: the row of no record stays first.
  EXPECT_EQ(readFile(newData), "extra,1,2,3\n" + rows);
}

// Key 0 refuses a name another room of the new file has: here room 101
// renamed into room 100's region and number; room 100 can take the name
// room 101 gave up.
TEST_F(Transfer, KeyZeroRefusesANameAnotherRoomHas) {
  const std::string refused =
      "The room file already has a room named vosmerl_101. Change its region name with key 1, "
      "or leave with x.\n";
  // Room 100 becomes "old": then its old name is free, and room 101 keeps
  // its own name.
  RunResult run = runInProcess(transferKeys("", "1old\n0" + std::string("0x")));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(readFile(newRooms).find("oldl_100(user,com,dir)\n"), std::string::npos);
  // A later record named like room 101 (the name twice is check's error):
  // room 101 keeps the name it has all the same; a name another record of
  // the file being read has, given with key 1, is refused.
  std::string later = roomText.substr(roomText.find("vosmerl_101("));
  later = later.substr(0, later.find("vosmerl_102("));
  writeFile(rooms, roomText + later + "other" + later.substr(6));
  writeFile(data, dataText);
  const std::string otherRefused =
      "The room file already has a room named otherl_101. Change its region name with key 1, "
      "or leave with x.\n";
  run = runInProcess(transferKeys("101", "1other\n0" + std::string("1vosmer\n0x")));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(roomMenu(101) + "Enter temporary region name:\t" + roomMenu(101) +
                         otherRefused + roomMenu(101) + "Enter temporary region name:\t" +
                         roomMenu(101) + "\nCurrently editing room: 102\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find(refused), std::string::npos);
}

// The new data file is the old one line for line: comments, preprocessor
// lines, blank lines and rows of no room stay where they were, rows out of
// order keep their order, and each transferred room's row is replaced where
// it stands. The last line gains its line break.
TEST_F(Transfer, TheDataFileKeepsItsOwnOrder) {
  const std::size_t second = dataText.find("vosmerl_101");
  const std::size_t third = dataText.find("vosmerl_102");
  const std::string row100 = dataText.substr(0, second),
                    row101 = dataText.substr(second, third - second),
                    row102 = dataText.substr(third);
  const std::string oldData = "/* rooms of the town */\n#ifdef TOWN\n" + row102 + "\n" + row100 +
                              "#endif\nstray,1,0,0,1,1,0,0,1,\"\",\n" +
                              row101.substr(0, row101.size() - 1);
  writeFile(data, oldData);
  // Room 100 turned dark, the others copied.
  const RunResult run = runInProcess(transferKeys("", "50x"));
  EXPECT_EQ(run.status, 0);
  std::string dark100 = row100;
  dark100.replace(dark100.find(",0,0,1,1,0,0,"), 13, ",0,0,0,1,0,0,");
  EXPECT_EQ(readFile(newData), "/* rooms of the town */\n#ifdef TOWN\n" + row102 + "\n" + dark100 +
                                   "#endif\nstray,1,0,0,1,1,0,0,1,\"\",\n" + row101);
  EXPECT_EQ(readFile(newRooms), roomText);
}

// A file this run holds is never emptied, by whatever name it is given: a
// hard link or a symbolic link to either file being read, or to the new room
// file, is refused at each new-file prompt that could empty it.
TEST_F(Transfer, EveryFileThisRunHoldsIsRefusedByAnyName) {
  const std::string hardRooms = dir.file("hard.c"), softData = dir.file("soft.dat");
  ASSERT_EQ(link(rooms.c_str(), hardRooms.c_str()), 0);
  ASSERT_EQ(symlink(data.c_str(), softData.c_str()), 0);
  const std::string hardNew = dir.file("hard-new.c");
  const std::string reading = "The new files must not be the files being read.\n";
  const std::string newRoom = "The new data file must not be the new room file.\n";
  writeFile(newRooms, "");
  ASSERT_EQ(link(newRooms.c_str(), hardNew.c_str()), 0);
  const RunResult run = runInProcess("3" + rooms + "\n" + data + "\n" + hardRooms + "\n" +
                                     softData + "\n" + newRooms + "\n" + hardRooms + "\n" +
                                     softData + "\n" + hardNew + "\n" + newData + "\n\nx0");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(kNewRoomPrompt + reading + kNewRoomPrompt + reading + kNewRoomPrompt +
                         kNewDataPrompt2 + reading + kNewDataPrompt2 + reading + kNewDataPrompt2 +
                         newRoom + kNewDataPrompt2 + kStartEditing),
            std::string::npos)
      << run.out;
  EXPECT_EQ(readFile(rooms), roomText);
  EXPECT_EQ(readFile(data), dataText);
  EXPECT_EQ(readFile(newRooms), roomText);
  EXPECT_EQ(readFile(newData), dataText);
}

// Records saved with CR LF line ends are not the writer's: they are read
// as records and copied unchanged, byte for byte.
TEST_F(Transfer, CrLfRecordsAreCopiedUnchanged) {
  std::string crlf;
  const std::size_t second = roomText.find("vosmerl_101(");
  for (const char c : roomText.substr(0, second)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  writeFile(rooms, crlf + roomText.substr(second));
  const RunResult run = runInProcess(transferKeys("", "x0"));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("3 rooms read, 2 of them can be edited.\n"
                         "Room record at line 1 cannot be edited; it will be copied unchanged.\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(readFile(newRooms), crlf + roomText.substr(second));
  EXPECT_EQ(readFile(newData), dataText);
}

TEST_F(Transfer, RefusalsAtEveryStep) {
  const std::string link = dir.file("link.c");
  ASSERT_EQ(symlink(rooms.c_str(), link.c_str()), 0);
  writeFile(dir.file("text.c"), "no records here\n");
  const std::string keys = "3" + dir.file("missing.c") + "\n" + dir.path() + "\n" + rooms + "\n" +
                           link + "\n" + data + "\n" +
                           // New files: a file being read (through a link), one that
                           // cannot open, then new.c; new.c again as data, then new.dat.
                           link + "\n" + dir.file("no/such.c") + "\n" + newRooms + "\n" + data +
                           "\n" + newRooms + "\n" + newData + "\n" +
                           // Start: a room that is not there, text, then 102.
                           "999\nabc\n102\n0" +
                           // A file with no records; an empty name at each source prompt.
                           "3" + dir.file("text.c") + "\n" + data + "\n" + "3\n" + "3" + rooms +
                           "\n\n" + "0";
  const RunResult run = runInProcess(keys);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(
      run.out,
      kBanner + std::string(kMainMenu) + kFromPrompt + kUnable + kFromPrompt + kUnable +
          kFromPrompt + kDataFromPrompt + "The data file must not be the room file.\n" +
          kDataFromPrompt + "3 rooms read, 3 of them can be edited.\n" + kNewRoomPrompt +
          "The new files must not be the files being read.\n" + kNewRoomPrompt + kUnable +
          kNewRoomPrompt + kNewDataPrompt2 + "The new files must not be the files being read.\n" +
          kNewDataPrompt2 + "The new data file must not be the new room file.\n" + kNewDataPrompt2 +
          kStartEditing + "No such room.\n" + kStartEditing + "No such room.\n" + kStartEditing +
          roomMenu(102, false) + kTransferred + kMainMenu + kFromPrompt + kDataFromPrompt +
          "0 rooms read, 0 of them can be edited.\n" + "There are no rooms to edit.\n" + kMainMenu +
          kFromPrompt + kMainMenu + kFromPrompt + kDataFromPrompt + kMainMenu +
          "Thank you for using Varneth Room Builder.\n");
  EXPECT_EQ(readFile(newRooms), roomText);
  EXPECT_EQ(readFile(rooms), roomText);
  EXPECT_EQ(readFile(data), dataText);
}

}  // namespace
}  // namespace rb::test
