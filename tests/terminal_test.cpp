// The program on a real (pseudo-)terminal.
#include <gtest/gtest.h>
#include <signal.h>

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
  EXPECT_EQ(session.readUntil(kMenuEnd),
            "Option 3 is currently under construction.\r\n"
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

}  // namespace
}  // namespace rb::test
