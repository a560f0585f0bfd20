// Typed lines edited in place on a pseudo-terminal: cursor keys, erasing,
// history, long and multi-byte lines, the prompt kept on screen, and plain
// typing that looks exactly as the terminal's own echo did.
#include <gtest/gtest.h>
#include <signal.h>

#include "pty_session.h"
#include "test_support.h"

namespace rb::test {
namespace {

constexpr tcflag_t kLineMode = ICANON | ECHO;
const std::string kMenuEnd = "s: Edit Setup of Tov.\r\n";
const std::string kLeft = "\x1b[D", kRight = "\x1b[C", kHome = "\x1b[H", kEnd = "\x1b[F",
                  kUp = "\x1b[A", kDelete = "\x1b[3~";

void saveAndQuit(PtySession& session) {
  session.type("0");
  session.readUntil(kMenuEnd);
  session.type("0");
  EXPECT_EQ(session.wait(), 0);
}

// The look line of the saved room: its short name and description.
std::string lookLine(const TempDir& dir) {
  const std::string rooms = readFile(dir.file("r.c"));
  const std::size_t at = rooms.find("case 0:");
  return at == std::string::npos ? "" : rooms.substr(at, rooms.find('\n', at) - at);
}

TEST(TerminalLineEditing, CursorKeysAndErasingChangeTheLineInPlace) {
  TempDir dir;
  PtySession session(dir.path());
  session.startArea();
  session.type("3");
  session.readUntil("short name:\r\n");
  // "Inn of Rst" -> insert after Left, Home, End, Backspace, Delete.
  session.type("Inn of Rst" + kLeft + kLeft + "e" + kHome + "The " + kEnd + "!" + "\x7f" + kHome +
               kDelete + "t" + "\r");
  session.readUntil("9: See summary of room.\r\n");
  session.type("4");
  session.readUntil("-|\r\n");
  // Ctrl-U, Ctrl-K and Ctrl-W, then a line with a multi-byte character.
  session.type("junk\x15kept" + kLeft + kLeft + "\x0b" + "ept" + " two words\x17" + "\r");
  session.type("caf\xc3\xa9 \xe6\x97\xa5" + kLeft + kLeft + "x" + kRight + kRight + "!\r");
  session.type(".\r");
  session.readUntil("9: See summary of room.\r\n");
  saveAndQuit(session);
  EXPECT_EQ(lookLine(dir),
            "case 0: write_user(user,\"the Inn of Rest\\n\");"
            "write_user(user,\"keept two \\ncaf\xc3\xa9x \xe6\x97\xa5!\\n\");");
  // No escape byte reached either file.
  EXPECT_EQ(readFile(dir.file("r.c")).find('\x1b'), std::string::npos);
  EXPECT_EQ(readFile(dir.file("r.dat")).find('\x1b'), std::string::npos);
}

TEST(TerminalLineEditing, UpRecallsAnEarlierFileName) {
  TempDir dir;
  PtySession session(dir.path());
  session.startArea();
  saveAndQuit(session);  // r.c and r.dat now hold room 1
  PtySession again(dir.path());
  again.readUntil(kMenuEnd);
  again.type("1");
  again.readUntil("same directory as this program.\r\n");
  again.type("first.c\r");
  again.readUntil("data file.\r\n");
  again.type("first.dat\r");
  again.readUntil("first room number?\r\n");
  again.type("\x04");  // Ctrl-D on an empty line ends the input
  EXPECT_EQ(again.wait(), 1);

  PtySession explorer(dir.path());
  explorer.readUntil(kMenuEnd);
  explorer.type("2");
  explorer.readUntil("proceeding.\r\n");
  explorer.type("r.c\r");
  explorer.readUntil("proceeding.\r\n");
  explorer.type("x.dat\r");
  explorer.readUntil("first room number?\r\n");
  explorer.type("2 1\r");
  explorer.readUntil("(y/n)\r\n");
  explorer.type("y");
  explorer.readUntil("(e.g. vosmer)\r\n");
  explorer.type("\r");
  explorer.readUntil("region number?\r\n");
  explorer.type("1\r");
  explorer.readUntil("(y/n)\r\n");
  explorer.type("n");
  explorer.readUntil("18: Divine");
  explorer.type("1\r");
  explorer.readUntil(kMenuEnd);
  explorer.type("4");
  explorer.readUntil("incorrectly with this option.\r\n");
  // Up twice: past x.dat to r.c, typed at the file prompts of this run.
  explorer.type(kUp + kUp + "\r");
  explorer.readUntil("lowest room number?\r\n");
  explorer.type("1\r");
  explorer.readUntil("(q to quit)\r\n");
  explorer.type("1\r");
  EXPECT_TRUE(endsWith(explorer.readUntil("Press key 5 to quit.\r\n"), "Press key 5 to quit.\r\n"));
  explorer.type("5");
  explorer.readUntil(kMenuEnd);
  explorer.type("0");
  EXPECT_EQ(explorer.wait(), 0);
}

TEST(TerminalLineEditing, PastedLinesAnswerTheNextPrompts) {
  TempDir dir;
  PtySession session(dir.path());
  session.startArea();
  session.type("4");
  session.readUntil("-|\r\n");
  session.type("First line.\rSecond " + kLeft + "line.\r.\r");
  session.readUntil("This is the room description recorded:\r\n");
  EXPECT_EQ(session.readUntil(".\r\n"), "First line.\r\n");
  session.readUntil("9: See summary of room.\r\n");
  saveAndQuit(session);
  EXPECT_NE(lookLine(dir).find("\"First line.\\nSecondline. \\n\""), std::string::npos)
      << lookLine(dir);
}

TEST(TerminalLineEditing, CtrlCWhileEditingIsStillAnInterrupt) {
  TempDir dir;
  PtySession session(dir.path());
  session.readUntil(kMenuEnd);
  session.type("4");
  session.readUntil("incorrectly with this option.\r\n");
  session.type("half a na" + kLeft);
  session.readUntil("na");
  session.send("\x03");
  EXPECT_EQ(session.wait(), 128 + SIGINT);
  EXPECT_EQ(session.localFlags() & kLineMode, kLineMode);
}

TEST(TerminalLineEditing, LongLinesWrapAndTheRegionPromptStaysOnScreen) {
  TempDir dir;
  PtyOptions narrow;
  narrow.columns = 20;
  PtySession session(dir.path(), narrow);
  session.startArea();
  session.type("1");
  session.readUntil("Enter temporary region name:\t");
  session.type("abc" + kLeft + "X");
  // The line is drawn again after its prompt.
  EXPECT_TRUE(endsWith(session.readUntil("abXc"), "\x1b[JEnter temporary region name:\tabXc"));
  session.type("\r");
  session.readUntil("9: See summary of room.\r\n");
  session.type("4");
  session.readUntil("-|\r\n");
  const std::string longLine = "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ";
  session.type(longLine + kHome + "<" + kEnd + ">" + kHome + kRight + kRight + "^\r");
  session.type(".\r");
  session.readUntil("9: See summary of room.\r\n");
  saveAndQuit(session);
  EXPECT_NE(
      lookLine(dir).find("\"<0^123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ>\\n\""),
      std::string::npos);
  EXPECT_NE(readFile(dir.file("r.dat")).find("abXcl_1,"), std::string::npos);
}

// The same keystrokes typed plainly give the same screen, byte for byte,
// whether the terminal's own line mode echoes them (TERM=dumb) or the line
// editor does.
TEST(TerminalLineEditing, PlainTypingLooksAsTheTerminalsOwnEcho) {
  std::string screens[2];
  for (int editor = 0; editor < 2; ++editor) {
    TempDir dir;
    PtyOptions options;
    options.term = editor ? "xterm" : "dumb";
    PtySession session(dir.path(), options);
    const bool lineMode = !editor;
    std::string& screen = screens[editor];
    screen = session.startArea("r.c", "r.dat", lineMode);
    const std::pair<const char*, const char*> steps[] = {
        {"3", "short name:\r\n"}, {"The Inn\r", "9: See summary of room.\r\n"},
        {"1", "region name:\t"},  {"inner\r", "9: See summary of room.\r\n"},
        {"0", kMenuEnd.c_str()},  {"0", "Thank you for using Varneth Room Builder.\r\n"}};
    for (const auto& [keys, until] : steps) {
      const std::string k = keys;
      session.type(k, lineMode && k.size() > 1);
      screen += session.readUntil(until);
    }
    EXPECT_EQ(session.wait(), 0);
    screen += session.drain();
  }
  EXPECT_NE(screens[1].find("The Inn\r\n"), std::string::npos);
  EXPECT_EQ(screens[0], screens[1]);
}

}  // namespace
}  // namespace rb::test
