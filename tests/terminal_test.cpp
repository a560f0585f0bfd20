// The program on a real (pseudo-)terminal.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "format/data_row.h"
#include "format/room_record.h"
#include "pty_session.h"
#include "test_support.h"

namespace rb::test {
namespace {

constexpr tcflag_t kLineMode = ICANON | ECHO;
const std::string kMenuEnd = "s: Edit Setup of Tov.\r\n";

TEST(Terminal, MenuKeyActsWithoutEnterIsNotEchoedAndTheTerminalIsRestored) {
  TempDir dir;
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  // While the menu waits for its key, the terminal is in keystroke mode.
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("3");
  EXPECT_EQ(session.readUntil("\r\n"),
            "Please enter the name of the room file to transfer from.\r\n");
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("\r");  // an empty name: back to the main menu
  EXPECT_EQ(session.readUntil(kMenuEnd),
            "\r\n"
            "Please Select your option:\r\n"
            "0: Exit Varneth Room Builder.\r\n"
            "1: Create New Room(s).\r\n"
            "2: Append Room File.\r\n"
            "3: Edit Rooms During File Transfer.\r\n"
            "4: Explore Room File.\r\n" +
                kMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("0");
  EXPECT_EQ(session.readUntil("\r\n"), "Thank you for using Varneth Room Builder.\r\n");
  EXPECT_EQ(session.wait(), 0);
  EXPECT_EQ(session.localFlags() & kLineMode, kLineMode);
}

TEST(Terminal, InterruptAtTheMenuRestoresTheTerminalAndEndsBySignal) {
  TempDir dir;
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("\x03");  // Ctrl-C
  EXPECT_EQ(session.wait(), 128 + SIGINT);
  EXPECT_EQ(session.localFlags() & kLineMode, kLineMode);
}

TEST(Terminal, TerminateAndHangupAtTheSetupMenuRestoreTheTerminal) {
  for (int sig : {SIGTERM, SIGHUP, SIGQUIT}) {
    TempDir dir;
    PtySession session(dir.path());
    session.readUntil(kMenuEnd);
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    session.send("s");
    session.readUntil("not suppressed.\r\n");
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    kill(session.pid(), sig);
    EXPECT_EQ(session.wait(), 128 + sig) << "signal " << sig;
    EXPECT_EQ(session.localFlags() & kLineMode, kLineMode) << "signal " << sig;
  }
}

// Every signal that ends the program gives the terminal back first: the
// faults (SIGSEGV and its kind) as well as the requests, while the program
// reads a key.
TEST(Terminal, EveryEndingSignalRestoresTheTerminal) {
  for (int sig : {SIGABRT, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGSEGV, SIGBUS,
                  SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGPIPE}) {
    TempDir dir;
    PtySession session(dir.path());
    session.readUntil(kMenuEnd);
    ASSERT_TRUE(session.waitForFlags(kLineMode, false)) << strsignal(sig);
    kill(session.pid(), sig);
    EXPECT_EQ(session.wait(), 128 + sig) << strsignal(sig);
    EXPECT_EQ(session.localFlags() & kLineMode, kLineMode) << strsignal(sig);
  }
}

// A room file whose texts hold escape sequences cannot retitle or clear the
// user's terminal: the explorer shows their control bytes as caret pairs.
TEST(Terminal, ARoomFileCannotControlTheTerminal) {
  TempDir dir;
  WorkingRoom room;
  room.room = 1;
  room.tempregionname = "h";
  room.shortname = "Hall\x1b]0;pwned\a\x1b[2J";
  room.ldesc[0] = "A\tbell\a and DEL\x7f.";
  room.lines = 0;
  room.exitd.fill(kNoExit);
  writeFile(dir.file("h.c"), roomRecord(room));
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  session.type("4");
  session.readUntil("incorrectly with this option.\r\n");
  session.type("h.c\r");
  session.readUntil("lowest room number?\r\n");
  session.type("1\r");
  session.readUntil("(q to quit)\r\n");
  session.type("1\r");
  session.readUntil("statistics about this room file.\r\n");
  EXPECT_EQ(session.readUntil("\r\n\r\n"), "Hall^[]0;pwned^G^[[2J\r\nA\tbell^G and DEL^?.\r\n\r\n");
  session.type("5");
  session.readUntil(kMenuEnd);
  session.type("0");
  EXPECT_EQ(session.wait(), 0);
}

// Escape sequences of every kind typed into a line are left out whole.
TEST(Terminal, TypedEscapeSequencesStayOutOfTheText) {
  TempDir dir;
  PtySession session(dir.path());
  session.startArea();
  session.type("3");
  session.readUntil("short name:\r\n");
  session.type(
      "A\x1b]0;title\aB\x1bPdcs\x1b\\C\x1b[31mD\x1b(BE\x1b"
      "cF\x1bXsos\x1b\\G"
      "\x1b^pm\x1b\\H\x1b_apc\x1b\\I\r");
  session.readUntil("9: See summary of room.\r\n");
  session.type("0");
  session.readUntil(kMenuEnd);
  session.type("0");
  EXPECT_EQ(session.wait(), 0);
  const std::string text = readFile(dir.file("r.c"));
  EXPECT_NE(text.find("case 0: write_user(user,\"ABCDEFGHI\\n\");"), std::string::npos) << text;
}

TEST(Terminal, PasscodeIsNotEchoed) {
  TempDir dir;
  PtySession session(dir.path());
  // Keys go in only once the program reads a key; lines are typed normally.
  const auto key = [&](const std::string& k) {
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    session.send(k);
  };
  session.readUntil(kMenuEnd);
  key("1");
  session.readUntil("same directory as this program.\r\n");
  session.send("rooms.c\n");
  session.readUntil("data file.\r\n");
  session.send("rooms.dat\n");
  session.readUntil("first room number?\r\n");
  session.send("1 1\n");
  session.readUntil("(y/n)\r\n");
  key("y");
  session.readUntil("(e.g. vosmer)\r\n");
  session.send("r\n");
  session.readUntil("region number?\r\n");
  session.send("1\n");
  session.readUntil("(y/n)\r\n");
  key("n");
  session.readUntil("*restricted use*\r\n18: Divine");
  session.send("17\n");
  session.readUntil("Please give the passcode required to use these terrains.\r\n");
  ASSERT_TRUE(session.waitForFlags(ECHO, false));
  session.send("kelvapass2093\n");
  // Only the line break is echoed; the passcode is accepted.
  EXPECT_EQ(session.readUntil("\r\n"), "\r\n");
  EXPECT_EQ(session.readUntil("\r\n"), "Area initialisation complete, entering room mode.\r\n");
  key("x");
  session.readUntil(kMenuEnd);
  key("0");
  EXPECT_EQ(session.wait(), 0);
  EXPECT_EQ(session.localFlags() & kLineMode, kLineMode);
}

// Ctrl-Z gives the shell its terminal back, and going on (fg) sets the mode
// in force again: raw for a key, hidden for the passcode, in both the line
// editor and the terminal's own line mode.
TEST(Terminal, StoppedAndContinuedAtAKeyAndAtThePasscode) {
  for (const char* term : {"xterm", "dumb"}) {
    TempDir dir;
    PtyOptions options;
    options.term = term;
    PtySession session(dir.path(), options);
    const auto stopAndContinue = [&](tcflag_t offWhileReading) {
      session.send("\x1a");  // Ctrl-Z
      ASSERT_TRUE(session.waitForStopped(true)) << term;
      EXPECT_EQ(session.localFlags() & kLineMode, kLineMode) << term;
      kill(session.pid(), SIGCONT);
      ASSERT_TRUE(session.waitForStopped(false)) << term;
      EXPECT_TRUE(session.waitForFlags(offWhileReading, false)) << term;
    };
    session.readUntil(kMenuEnd);
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    stopAndContinue(kLineMode);
    session.send("1");
    session.readUntil("same directory as this program.\r\n");
    session.send("r.c\r");
    session.readUntil("data file.\r\n");
    session.send("r.dat\r");
    session.readUntil("first room number?\r\n");
    session.send("1 1\r");
    session.readUntil("(y/n)\r\n");
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    session.send("y");
    session.readUntil("(e.g. vosmer)\r\n");
    session.send("r\r");
    session.readUntil("region number?\r\n");
    session.send("1\r");
    session.readUntil("(y/n)\r\n");
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    session.send("n");
    session.readUntil("18: Divine");
    session.send("18\r");
    session.readUntil("Please give the passcode required to use these terrains.\r\n");
    ASSERT_TRUE(session.waitForFlags(ECHO, false));
    // Ctrl-Z before typing: the terminal drops a line not yet read.
    stopAndContinue(ECHO);
    session.send("kelvapass2093\r");
    EXPECT_EQ(session.readUntil("\r\n"), "\r\n") << term;  // nothing of the passcode shows
    EXPECT_EQ(session.readUntil("\r\n"), "Area initialisation complete, entering room mode.\r\n")
        << term;
    session.readUntil("9: See summary of room.\r\n");
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    session.send("x");
    session.readUntil(kMenuEnd);
    ASSERT_TRUE(session.waitForFlags(kLineMode, false));
    session.send("0");
    EXPECT_EQ(session.wait(), 0) << term;
    EXPECT_EQ(session.localFlags() & kLineMode, kLineMode) << term;
  }
}

TEST(Terminal, ALineBeingEditedIsDrawnAgainAfterTheProgramGoesOn) {
  TempDir dir;
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("4");
  session.readUntil("incorrectly with this option.\r\n");
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("rooms");
  session.readUntil("rooms");
  session.send("\x1a");
  ASSERT_TRUE(session.waitForStopped(true));
  kill(session.pid(), SIGCONT);
  EXPECT_TRUE(endsWith(session.readUntil("rooms"), "\x1b[Jrooms"));
  session.send("\x15\r");  // Ctrl-U, Enter: the empty name returns to the menu
  session.readUntil(kMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  session.send("0");
  EXPECT_EQ(session.wait(), 0);
}

TEST(Terminal, AHangupIgnoredAtStartStaysIgnored) {
  TempDir dir;
  PtyOptions options;
  options.ignoreHangup = true;
  PtySession session(dir.path(), options);
  session.readUntil(kMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));
  kill(session.pid(), SIGHUP);
  // The signal is handled before the program reads its next key, so the
  // status after key 0 tells whether it was ignored.
  EXPECT_TRUE(session.alive());
  session.send("0");
  EXPECT_EQ(session.wait(), 0);
}

TEST(Terminal, ATerminalLeftWithTimedReadsStillWaitsForAKey) {
  TempDir dir;
  PtyOptions options;
  options.timedReads = true;  // VMIN 0, VTIME 10: a read would give up after a second
  PtySession session(dir.path(), options);
  session.readUntil(kMenuEnd);
  ASSERT_TRUE(session.waitForFlags(kLineMode, false));  // reading the key
  usleep(1500 * 1000);
  EXPECT_TRUE(session.alive());
  session.send("0");
  EXPECT_EQ(session.wait(), 0);
}

}  // namespace
}  // namespace rb::test
