// The transfer (main-menu key 3) and the append range on a real terminal:
// keys without Enter, a room left with unsaved changes, an interrupt in the
// middle of a transfer (the new pair whole, as a transfer without edits
// after the point reached), and a transfer killed outright.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "format/data_row.h"
#include "format/room_record.h"
#include "pty_session.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

constexpr tcflag_t kLineMode = ICANON | ECHO;
const std::string kMenuEnd = "s: Edit Setup of Tov.\r\n";
const std::string kRoomMenuEnd = "9: See summary of room.\r\n";

class TerminalTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int number = 1; number <= 30; ++number) {
      const WorkingRoom room = worldRoom(number, "Room " + std::to_string(number), {});
      roomText += roomRecord(room);
      dataText += worldRow(room);
    }
    writeFile(dir.file("rooms.c"), roomText);
    writeFile(dir.file("rooms.dat"), dataText);
  }
  // Starts a transfer into new.c and new.dat at room `start` and goes up
  // to its room menu.
  void startTransfer(PtySession& session, const std::string& start) {
    session.readUntil(kMenuEnd);
    const std::pair<std::string, std::string> steps[] = {{"3", "transfer from.\r\n"},
                                                         {"rooms.c\r", "room data file.\r\n"},
                                                         {"rooms.dat\r", "new room file.\r\n"},
                                                         {"new.c\r", "new room data file.\r\n"},
                                                         {"new.dat\r", "(Enter for the first)\r\n"},
                                                         {start + "\r", kRoomMenuEnd}};
    for (const auto& [keys, until] : steps) {
      session.type(keys);
      session.readUntil(until);
    }
  }
  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  }

  TempDir dir;
  std::string roomText, dataText;
};

TEST_F(TerminalTransfer, XAsksBeforeDroppingChangesAndTheFilesAreWhole) {
  PtySession session(dir.path());
  startTransfer(session, "10");
  session.type("3");
  session.readUntil("short name:\r\n");
  session.type("Renamed\r");
  session.readUntil(kRoomMenuEnd);
  session.type("x");
  session.readUntil("Room 10 has changes that are not saved. Leave without them? (y/n)\r\n");
  session.type("n");  // back to the room menu
  session.readUntil(kRoomMenuEnd);
  session.type("x");
  session.readUntil("(y/n)\r\n");
  session.type("y");
  session.readUntil("Transfer completed, returning to main menu.\r\n");
  session.readUntil(kMenuEnd);
  session.type("0");
  EXPECT_EQ(session.wait(), 0);
  EXPECT_EQ(readFile(dir.file("new.c")), roomText);
  EXPECT_EQ(readFile(dir.file("new.dat")), dataText);
}

// Ctrl-C with room 10 changed and not saved: the rest goes over unchanged,
// room 10 as it was, and the program ends by the signal.
TEST_F(TerminalTransfer, AnInterruptFirstMakesTheNewPairWhole) {
  PtySession session(dir.path());
  startTransfer(session, "5");
  session.type("0");  // room 5 saved as it is
  session.readUntil(kRoomMenuEnd);
  session.type("3");
  session.readUntil("short name:\r\n");
  session.type("Lost\r");
  session.readUntil(kRoomMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("\x03");
  EXPECT_EQ(session.wait(), 128 + SIGINT);
  EXPECT_EQ(session.localFlags() & kLineMode, kLineMode);
  EXPECT_EQ(readFile(dir.file("new.c")), roomText);
  EXPECT_EQ(readFile(dir.file("new.dat")), dataText);
  EXPECT_EQ(names(), (std::vector<std::string>{"new.c", "new.dat", "rooms.c", "rooms.dat"}));
}

// Killed outright: no file of the names typed exists; what was written is
// in files named so that no one takes them for an area.
TEST_F(TerminalTransfer, KilledOutrightLeavesNoFileOfTheNamesTyped) {
  PtySession session(dir.path());
  startTransfer(session, "20");
  kill(session.pid(), SIGKILL);
  EXPECT_EQ(session.wait(), 128 + SIGKILL);
  EXPECT_FALSE(fileExists(dir.file("new.c")));
  EXPECT_FALSE(fileExists(dir.file("new.dat")));
  for (const std::string& name : names()) {
    if (name.rfind("new", 0) == 0) {
      EXPECT_NE(name.find(".partial-"), std::string::npos) << name;
    }
  }
  // No command reads them as a world.
  const RunResult checked = runShell(ROOMBUILDER_BINARY " check -Wno-unreachable *", dir.path());
  EXPECT_EQ(checked.out, "30 rooms, 0 exits: 0 errors, 0 warnings.\n");
}

TEST_F(TerminalTransfer, AppendingRefusesARangeTheRoomFileHasANumberOf) {
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  const std::pair<std::string, std::string> steps[] = {
      {"2", "append to.\r\n"},
      {"rooms.c\r", "data file to append to.\r\n"},
      {"rooms.dat\r", "first room number?\r\n"},
      {"25\r", "last room number?\r\n"},
      {"40\r", "The room file already has room 25; the next free number is 31.\r\n"}};
  for (const auto& [keys, until] : steps) {
    session.type(keys);
    session.readUntil(until);
  }
  session.readUntil("first room number?\r\n");
  session.type("31\r");
  session.readUntil("last room number?\r\n");
  session.type("31\r");
  session.readUntil("This is a total of 1 rooms, is this correct? (y/n)\r\n");
  session.send("\x03");
  EXPECT_EQ(session.wait(), 128 + SIGINT);
}

}  // namespace
}  // namespace rb::test
